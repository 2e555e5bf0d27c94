// The viewer's main window: the control in its site, an event log below it and a status bar;
// menus for files, what the tree shows, units, property pages and the About box; and the
// control's events: the log, the selection in the status bar, a pop-up menu, dropped files opened,
// and a double click showing the object's attributes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "host/ControlEvents.h"
#include "host/ControlSite.h"
#include "Options.h"
#include "ViewerCommands.h"
#include "platform/automation/DispatchDriver.h"
#include "platform/com/ScopedVariant.h"
#include "platform/com/ScopedHandle.h"
#include "platform/window/WindowObject.h"

class ViewerWindow : public platform::WindowObject {
public:
    ViewerWindow();
    ~ViewerWindow() override;

    // Creates and shows the window with the control; false (with a message) when the control
    // cannot be created, for example because it is not registered.
    bool Create(int show);
    HWND Window() const { return m_hWnd; }
    HWND StatusWindow() const { return m_status; }
    // Keys for the control first, then the menu's accelerators.
    bool PreTranslateMessage(MSG& message);
    // Opens the files and does what the options ask.
    void Run(const ViewerOptions& options);

    // What a user or a test does through the menus.
    bool OpenFile(const std::wstring& path);
    void CloseFile(size_t index);
    size_t FileCount() const { return m_files.size(); }
    const std::vector<std::wstring>& Log() const { return m_log; }
    std::wstring StatusText() const;
    HWND TreeWindow() const;
    ControlSite& Site() { return *m_site; }
    // The attributes tool window, once a double click or the pop-up menu opened it.
    HWND AttributesWindow() const { return m_attributes; }

private:
    struct OpenedFile {
        std::wstring path;
        platform::ComPtr<IDispatch> document;
        platform::ComPtr<IDispatch> file;
    };

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    HMENU BuildMenu();
    void OnCommand(UINT id);
    void OnInitMenuPopup(HMENU menu);
    void Layout();
    void OnEvent(DISPID id, const std::vector<platform::ScopedVariant>& args);
    void ShowPopupMenu(long x, long y, IDispatch* object);
    void ShowAttributes(IDispatch* object);
    void UpdateStatus();
    void SelectAll();
    void AddLog(const std::wstring& line);
    void SetFlag(const wchar_t* property, bool value);
    void SetUnits(const wchar_t* key, long units);
    void Expand(HTREEITEM first, int levels);
    void SelectPipelines(const std::vector<std::wstring>& names);
    void ChooseFiles();
    platform::DispatchDriver Control() const { return platform::DispatchDriver(m_site->Automation()); }

    HWND m_logList = nullptr;
    HWND m_status = nullptr;
    HWND m_attributes = nullptr;
    struct AcceleratorTraits {
        using Handle = HACCEL;
        void Close(HACCEL table) const { DestroyAcceleratorTable(table); }
    };
    platform::ScopedHandle<AcceleratorTraits> m_accelerators;
    std::unique_ptr<ControlSite> m_site;
    std::unique_ptr<ControlEvents> m_events;
    std::vector<OpenedFile> m_files;
    std::vector<std::wstring> m_log;
    // How long the files took to open, as a user waits for them: reading, then building the tree.
    double m_readMs = 0, m_buildMs = 0;
    std::wstring m_typedPrefix; // shown in the status bar while the user types to find an item
};
