// The control: its automation interface and events, its window (image list, font and the tree, at
// the window's DPI), and its behaviour behind them: the loaded files, the selection registry and
// its events, programmatic selection, bold marking, broken items and the settings properties. The
// platform's control base supplies the OLE side: embedding, activation, connection points and the
// stock properties.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "resources/RUVFileTreeDispids.h"
#include "control/TreeContents.h"
#include "display/CorbEntities.h"
#include "platform/window/Gdi.h"
#include "platform/activex/OleControl.h"
#include "tree/MultiTree.h"

class CCorbelCtrl : public platform::OleControl {
public:
    // The tree window's control ID and style.
    static constexpr UINT kTreeId = 101;
    static constexpr DWORD kTreeStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                                        TVS_LINESATROOT | TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS;
    static_assert(kTreeStyle == 0x50010037, "the tree's style is part of what hosts see");
    // The format version of the saved properties: major 1, minor 0.
    static constexpr DWORD kPersistenceVersion = 0x00010000;

    // The control's identities and the three property pages it offers.
    static const platform::ControlIdentity& ClassIdentity();

    // outer aggregates the control (null for none); factory makes the file displays (null for
    // the RUV file display).
    explicit CCorbelCtrl(IUnknown* outer = nullptr, CTreeContents::DisplayFactory factory = nullptr);
    ~CCorbelCtrl() override;
    CCorbelCtrl(const CCorbelCtrl&) = delete;
    CCorbelCtrl& operator=(const CCorbelCtrl&) = delete;

    // Creates the tree window as child kTreeId of the control window, covering rect.
    bool CreateTree(HWND control, const RECT& rect);
    CMultiTree& Tree() { return m_tree; }

    // Files. A null object, or one without IRUVFile, is refused with E_INVALIDARG and adds nothing.
    HRESULT AddRUVFile(IDispatch* file);
    void RemoveRUVFile(IDispatch* file);
    void UpdateAll() { m_contents->Update(nullptr); }
    using platform::OleControl::Update; // IOleObject's
    void Update(IDispatch* object);

    // Programmatic selection: the registry follows, no SelectionChanged fires.
    void ClearSelection();
    void SetSelection(IDispatch* object);
    void AddToSelection(IDispatch* object);
    void RemoveFromSelection(IDispatch* object);
    long GetSelectedItemCount() const { return m_selection.GetEntityCount(); }
    // The index-th distinct selected entity; DISP_E_BADINDEX outside the selection, E_POINTER for
    // an entity without IDispatch.
    HRESULT GetSelectedItem(long index, IDispatch** object);
    // A new collection of the selected entities as they are now, in GetSelectedItem's order;
    // failing as GetSelectedItem does.
    HRESULT GetSelectedItems(IDispatch** items);

    void MakeBold(IDispatch* object) { MarkBold(object, true); }
    void ClearBold(IDispatch* object) { MarkBold(object, false); }
    void ShowBrokenItems();

    // Settings properties.
    BOOL GetShowComponentKeypoints() { return Settings().GetShowComponentKeypoints(); }
    void SetShowComponentKeypoints(BOOL value)
    {
        Settings().SetShowComponentKeypoints(value);
        RefreshedSettingChanged(dispidShowComponentKeypoints);
    }
    BOOL GetComponentSequenceNos() { return Settings().GetComponentSequenceNos() != 0; }
    void SetComponentSequenceNos(BOOL value)
    {
        Settings().SetComponentSequenceNos(value);
        RefreshedSettingChanged(dispidComponentSequenceNos);
    }
    short GetComponentText();
    void SetComponentText(short value);
    BOOL GetShowSpools() { return Settings().GetShowSpools(); }
    void SetShowSpools(BOOL value);
    long GetWorkingUnits(const std::wstring& key) { return Settings().PeekWorkingUnits(key); }
    void SetWorkingUnits(const std::wstring& key, long units);
    std::wstring GetAttributeWorkingUnits(const std::wstring& name) { return Settings().GetAttributeWorkingUnits(name); }
    void SetAttributeWorkingUnits(const std::wstring& name, const std::wstring& key);
    std::wstring GetDisplayNames(const std::wstring& key) { return Settings().GetDisplayName(key); }
    void SetDisplayNames(const std::wstring& key, const std::wstring& caption);

    // A notification from the control window's children; true when it was the tree's and handled.
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    // Fires DropFile for each file of the drop, in its order, then releases the drop.
    void OnDropFiles(HDROP drop) override;
    // Sends End, Home and the arrow keys straight to the tree (the container would otherwise keep
    // them for its own navigation); true when the message was taken.
    bool ForwardNavigationKey(const MSG& message);

protected:
    // The events of _DCorbelEvents. Coordinates are the control window's client coordinates.
    virtual void FireSelectionChanged(IDispatch* unselected, IDispatch* selected);
    virtual void FireDropFile(const std::wstring& fileName);
    virtual void FirePopupMenu(long x, long y, IDispatch* object);
    virtual void FireLButtonDblClick(long x, long y, IDispatch* object);

    // The version, the standard state, then ShowComponentKeypoints, ComponentText,
    // ComponentSequenceNos and ShowSpools through their setters (a reset sets each to 0).
    void DoPropExchange(platform::PropertyExchange& exchange) override;

    // The control window's hooks.
    std::vector<platform::DispatchMember> ControlMembers() override;
    bool OnCreate(HWND window) override;
    void OnSize(int width, int height) override;
    void OnSetFocus() override;
    void OnDestroy() override;
    bool PreTranslateMessage(const MSG& message) override { return ForwardNavigationKey(message); }
    void OnFontChanged() override;
    void OnAboutBox() override;

    CTreeContentSettings& Settings() { return *m_contents->GetSettings(); }

private:
    class SuppressSelectionEvents;
    // The item images for the window's DPI, from the module's strip of the largest pictures that
    // fit, given to the tree.
    bool CreateImageList();
    // The window is shown at another DPI: new item images and the font realised again.
    void OnDpiChanged(UINT dpi);
    void OnTreeSelectionChanged(const NMTREEVIEWW& nm);
    // A double or right click: the item under the click's position, if the position is on its
    // icon, label, indent or state icon.
    void OnTreeMouseEvent(UINT code);
    // Shift+F10 or the context-menu key as the tree reports it: the keyboard pop-up.
    bool OnTreeKeyDown(const NMTVKEYDOWN& key);
    // A keyboard request raises the keyboard pop-up unless it only repeats a menu key that the
    // tree reported; a mouse request was answered by the right click's PopupMenu.
    bool OnContextMenu(std::optional<POINT> at) override;
    // PopupMenu at the centre of the caret's label, or of the tree without a caret.
    void FireKeyboardPopup();
    platform::ComPtr<IDispatch> EntityDispatch(HTREEITEM item);
    // The items of an object, and those of them that no ancestor shows too.
    std::vector<HTREEITEM> ItemsOf(IDispatch* object);
    std::vector<HTREEITEM> TopItemsOf(IDispatch* object);
    // Sets or clears state on the object's top items and expands their ancestors; returns the last
    // of them, or null.
    HTREEITEM MarkTopItems(IDispatch* object, UINT state, UINT mask);
    void MarkBold(IDispatch* object, bool bold);
    // Refreshes every file after a setting changed, and tells the shell.
    void RefreshedSettingChanged(DISPID id);

    HWND m_hWndControl = nullptr;
    CMultiTree m_tree;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI; // what the image list and the font were made for
    platform::ImageList m_imageList;
    platform::GdiObject<HFONT> m_font; // the control's own copy of the stock Font, set on the tree
    BOOL m_bFireSelectionEvents = TRUE;
    // The menu key whose press the tree reported and that raised a pop-up (0 for none): the system
    // may follow it with WM_CONTEXTMENU, on the context-menu key's release or while F10 is down.
    WPARAM m_menuKeyPressed = 0;
    std::unique_ptr<CTreeContents> m_contents;
    CCorbEntities m_selection;
};
