// The control as a container gets it: RUVFileTree.ocx loaded from the build, the control made by
// its class factory, embedded in the test container, its events and property notices advised,
// and the sample plant from the reference model at hand. After each test the control is closed
// and released; the container, the sinks and the model must have every reference back, and the
// module must agree to unload.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <ocidl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/ModelKit.h"
#include "support/DropFiles.h"
#include "AutomationClient.h"
#include "DocumentObject.h"
#include "RUVFileTree.h"
#include "Reader.h"
#include "TestContainer.h"
#include "platform/com/ComError.h"

#ifndef RUV_CONTROL_PATH
#error "RUV_CONTROL_PATH must name the built RUVFileTree.ocx"
#endif
#ifndef RUV_SAMPLES_DIR
#error "RUV_SAMPLES_DIR must name the samples folder"
#endif

using platform::ComPtr;
using platform::QueryOrNull;

// The loaded module and its entry points.
HMODULE ControlModule();
HRESULT ControlClassObject(REFCLSID clsid, REFIID iid, void** object);
HRESULT ControlCanUnloadNow();

class HostedControl : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Tests release what they hold here, before the control goes.
    virtual void ReleaseAll() {}

    // Sets the client site and runs verb (in-place activation with the user interface by default).
    HRESULT Embed(LONG verb = OLEIVERB_SHOW);
    HWND ControlWindow() const;
    HWND TreeWindow() const;
    // The tree's item count.
    int ItemCount() const;
    HTREEITEM Root() const;
    HTREEITEM NextVisible(HTREEITEM item) const;
    HTREEITEM Caret() const;

    // The sample plant as a model document and its file object.
    void OpenPlant();
    // A key press as the container's message loop passes it: through TranslateAccelerator first,
    // and to the focused window when the control did not take it.
    void PressKey(UINT key);

    std::optional<modelkit::InProcessModel> model;
    hosttest::TestSite site;
    hosttest::EventSink events{DIID__DCorbelEvents};
    hosttest::NoticeSink notices;
    ComPtr<IUnknown> control;
    ComPtr<IOleObject> object;
    ComPtr<IDispatch> dispatch;
    std::unique_ptr<hosttest::AutomationClient> automation;
    ComPtr<IRUVDocument> document;
    ComPtr<IRUVFile> file;

    // Closes and releases the control under test, as a host that is done with it.
    void LetGo();

private:

    DWORD m_noticeCookie = 0;
};
