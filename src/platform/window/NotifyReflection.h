// Reflected notifications: a parent window offers each WM_NOTIFY to the child that sent it
// before handling it itself, so that a control can react to its own notifications.
#pragma once

#include <windows.h>

namespace platform {

// What the child receives as the lParam of ReflectedNotifyMessage().
struct ReflectedNotify {
    NMHDR* pHeader;
    LRESULT result; // the answer to WM_NOTIFY when the child consumes the notification
};

// The registered message through which a child is offered its own notification. The child
// returns nonzero to consume it (the parent then answers with ReflectedNotify::result and does
// not see it) or zero to let the parent handle it as well.
UINT ReflectedNotifyMessage();

// For a parent's own WM_NOTIFY handling: offers the notification to its sender (a child on this
// thread). True when the child consumed it; result then holds the answer.
bool OfferNotifyToSender(HWND parent, LPARAM lParam, LRESULT& result);

// Makes any window offer its children's notifications to them first, by replacing its window
// procedure (the old one gets every message after that). Calling it again for the same window
// changes nothing; the record goes when the window is destroyed.
bool InstallNotifyReflection(HWND parent);

} // namespace platform
