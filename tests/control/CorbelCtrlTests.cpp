// The control's logic under a real tree: selection events per entity, programmatic selection,
// bold marking, files, settings properties and hosts that call back from inside an event.
#include "ControlFixture.h"

namespace {
TEST_F(Control, AnEntityIsSelectedWhileAnyOfItsItemsIs)
{
    AddFile();
    UserSelects(x1, true);
    UserSelects(x2, true);
    EXPECT_EQ(control->GetSelectedItemCount(), 1);
    UserSelects(x1, false);
    UserSelects(x2, false);
    EXPECT_EQ(control->GetSelectedItemCount(), 0);
    ASSERT_EQ(control->events.size(), 4u);
    EXPECT_TRUE(!control->events[0].unselected && Same(control->events[0].selected.Get(), x.Get()));
    EXPECT_TRUE(!control->events[1].unselected && !control->events[1].selected) << "second item of a selected entity";
    EXPECT_TRUE(!control->events[2].unselected && !control->events[2].selected) << "one of two items left";
    EXPECT_TRUE(Same(control->events[3].unselected.Get(), x.Get()) && !control->events[3].selected);
}

TEST_F(Control, ProgrammaticSelectionFollowsTopItemsAndFiresNothing)
{
    AddFile();
    EXPECT_FALSE(Expanded(fileRow));
    control->SetSelection(x.Get());
    EXPECT_TRUE(Selected(x1) && Selected(x2) && !Selected(yRow));
    EXPECT_TRUE(Expanded(fileRow)) << "the collapsed branch is opened";
    EXPECT_EQ(control->GetSelectedItemCount(), 1);
    EXPECT_TRUE(Same(SelectedItem(0).Get(), x.Get()));
    EXPECT_TRUE(Ctl().GetCaretItem() == x1 || Ctl().GetCaretItem() == x2);

    control->SetSelection(file.Get());
    EXPECT_TRUE(Selected(fileRow));
    EXPECT_FALSE(Selected(again)) << "an ancestor shows the same file";
    EXPECT_FALSE(Selected(x1) || Selected(x2)) << "the earlier selection is cleared";
    EXPECT_EQ(Ctl().GetCaretItem(), fileRow);

    control->AddToSelection(y.Get());
    EXPECT_EQ(control->GetSelectedItemCount(), 2);
    EXPECT_EQ(Ctl().GetCaretItem(), fileRow) << "adding keeps the caret";
    control->RemoveFromSelection(file.Get());
    EXPECT_EQ(control->GetSelectedItemCount(), 1);
    EXPECT_TRUE(Same(SelectedItem(0).Get(), y.Get()));
    control->ClearSelection();
    EXPECT_EQ(control->GetSelectedItemCount(), 0);

    control->SetSelection(nullptr);
    EXPECT_EQ(Ctl().GetCaretItem(), nullptr) << "nothing to select removes the caret";
    EXPECT_TRUE(control->events.empty());
}

TEST_F(Control, SelectedItemRefusesIndexesOutsideTheSelection)
{
    AddFile();
    control->SetSelection(x.Get());
    ComPtr<IDispatch> object;
    EXPECT_EQ(control->GetSelectedItem(1, object.Receive()), DISP_E_BADINDEX);
    EXPECT_EQ(control->GetSelectedItem(-1, object.Receive()), DISP_E_BADINDEX);
    EXPECT_FALSE(object);
    EXPECT_EQ(control->GetSelectedItem(0, nullptr), E_POINTER);
}

TEST_F(Control, BoldMarksTopItemsWithoutTouchingTheSelection)
{
    AddFile();
    control->SetSelection(y.Get());
    control->MakeBold(file.Get());
    EXPECT_TRUE(Bold(fileRow));
    EXPECT_FALSE(Bold(again));
    EXPECT_EQ(Ctl().GetCaretItem(), fileRow);
    EXPECT_TRUE(Selected(yRow));
    EXPECT_FALSE(Selected(fileRow));
    control->ClearBold(file.Get());
    EXPECT_FALSE(Bold(fileRow));
    EXPECT_EQ(control->GetSelectedItemCount(), 1);
}

TEST_F(Control, FilesWithoutAnRUVFileAreRefused)
{
    EXPECT_EQ(control->AddRUVFile(nullptr), E_INVALIDARG);
    EXPECT_EQ(control->AddRUVFile(x.Get()), E_INVALIDARG);
    EXPECT_EQ(Ctl().GetRootItem(), nullptr);
    control->RemoveRUVFile(file.Get()); // never added
    control->RemoveRUVFile(nullptr);
    AddFile();
    EXPECT_NE(fileRow, nullptr);
    control->Update(nullptr);
    EXPECT_EQ(populated, 2) << "Update(null) refreshes all";
    control->RemoveRUVFile(file.Get());
    EXPECT_EQ(Ctl().GetRootItem(), nullptr);
}

TEST_F(Control, SettingsPropertiesRefreshAndNotifyAsEachRequires)
{
    AddFile();
    control->SetComponentText(eCTFlyText);
    control->SetComponentText(2);
    EXPECT_EQ(control->GetComponentText(), eCTFlyText) << "2 is not a choice";
    EXPECT_EQ(populated, 3);
    EXPECT_EQ(control->modified, 2);
    EXPECT_EQ(control->boundChanges, (std::vector<DISPID>{4, 4}));

    control->SetShowComponentKeypoints(5);
    control->SetComponentSequenceNos(TRUE);
    EXPECT_EQ(control->GetShowComponentKeypoints(), TRUE);
    EXPECT_EQ(control->GetComponentSequenceNos(), TRUE);
    EXPECT_EQ(populated, 5);

    control->SetShowSpools(FALSE);
    EXPECT_EQ(control->GetShowSpools(), FALSE);
    EXPECT_EQ(populated, 5) << "ShowSpools only stores";
    EXPECT_EQ(control->boundChanges.back(), 22);

    const size_t notices = control->boundChanges.size();
    EXPECT_EQ(control->GetWorkingUnits(L"Length"), 0);
    control->SetWorkingUnits(L"Length", 2);
    EXPECT_EQ(control->GetWorkingUnits(L"Length"), 2);
    EXPECT_EQ(control->GetAttributeWorkingUnits(L"WALL"), L"");
    control->SetAttributeWorkingUnits(L"WALL", L"Length");
    EXPECT_EQ(control->GetAttributeWorkingUnits(L"WALL"), L"Length");
    control->SetDisplayNames(L"Pipelines", L"Lines");
    EXPECT_EQ(control->GetDisplayNames(L"Pipelines"), L"Lines");
    EXPECT_EQ(control->GetDisplayNames(L"Nothing"), L"");
    EXPECT_EQ(populated, 5);
    EXPECT_EQ(control->boundChanges.size(), notices);
    EXPECT_EQ(control->modified, 8);
}

TEST_F(Control, HostsMayChangeEverythingFromInsideSelectionChanged)
{
    AddFile();
    Ctl().Expand(fileRow, TVE_EXPAND); // ClearSelection walks the visible items
    control->onSelectionChanged = [this] {
        control->onSelectionChanged = nullptr;
        control->ClearSelection();
    };
    UserSelects(x1, true);
    EXPECT_EQ(control->GetSelectedItemCount(), 0);
    EXPECT_FALSE(Selected(x1));

    control->onSelectionChanged = [this] {
        control->onSelectionChanged = nullptr;
        control->UpdateAll();
    };
    UserSelects(yRow, true);
    yRow = Ctl().GetNextSiblingItem(Ctl().GetNextSiblingItem(Ctl().GetChildItem(Ctl().GetRootItem())));
    EXPECT_EQ(control->GetSelectedItemCount(), Selected(yRow) ? 1 : 0);

    control->onSelectionChanged = [this] {
        control->onSelectionChanged = nullptr;
        control->RemoveRUVFile(file.Get());
    };
    UserSelects(Ctl().GetRootItem(), true);
    EXPECT_EQ(Ctl().GetRootItem(), nullptr);
    EXPECT_EQ(control->GetSelectedItemCount(), 0) << "the file's items left the registry with the tree";
}

TEST_F(Control, ClicksReportTheItemUnderThePointerInControlCoordinates)
{
    AddFile();
    Ctl().Expand(fileRow, TVE_EXPAND);
    const POINT onX1 = LabelCentre(x1);
    MouseNotification(onX1, NM_RCLICK);
    MouseNotification(onX1, NM_DBLCLK);
    const POINT below{onX1.x, LabelCentre(yRow).y + 100};
    MouseNotification(below, NM_RCLICK);
    ASSERT_EQ(control->pointed.size(), 3u);
    EXPECT_TRUE(control->pointed[0].popup && At(control->pointed[0], InControl(onX1)));
    EXPECT_TRUE(Same(control->pointed[0].object.Get(), x.Get()));
    EXPECT_FALSE(control->pointed[1].popup);
    EXPECT_TRUE(Same(control->pointed[1].object.Get(), x.Get()));
    EXPECT_TRUE(control->pointed[2].popup && At(control->pointed[2], InControl(below)));
    EXPECT_FALSE(control->pointed[2].object) << "below the last item";
}

TEST_F(Control, TheMenuKeyPopsUpAtTheCaretOrTheTreesCentre)
{
    AddFile();
    SendMessageW(Ctl().GetSafeHwnd(), WM_KEYDOWN, VK_APPS, 0);
    RECT client{};
    GetClientRect(Ctl().GetSafeHwnd(), &client);
    ASSERT_EQ(control->pointed.size(), 1u) << "the tree passes the key on as TVN_KEYDOWN";
    EXPECT_TRUE(control->pointed[0].popup);
    EXPECT_TRUE(At(control->pointed[0], InControl(POINT{client.right / 2, client.bottom / 2})));
    EXPECT_FALSE(control->pointed[0].object) << "no caret item";

    control->SetSelection(y.Get());
    SendMessageW(Ctl().GetSafeHwnd(), WM_KEYDOWN, VK_F10, 0);
    EXPECT_EQ(control->pointed.size(), 1u) << "F10 alone is not the menu key";
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(Ctl().GetSafeHwnd(), WM_KEYDOWN, VK_F10, 0);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    ASSERT_EQ(control->pointed.size(), 2u);
    EXPECT_TRUE(At(control->pointed[1], InControl(LabelCentre(yRow))));
    EXPECT_TRUE(Same(control->pointed[1].object.Get(), y.Get()));
}

TEST_F(Control, DroppedFilesAreReportedInDropOrder)
{
    const std::wstring names[] = {L"C:\\plant\\b.ruv", L"C:\\plant\\a.ruv", L"D:\\c.ruv"};
    std::wstring list;
    for (const std::wstring& name : names)
        list += name + L'\0';
    list += L'\0';
    const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    ASSERT_NE(memory, nullptr);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    memcpy(header + 1, list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    control->OnDropFiles(static_cast<HDROP>(memory)); // and releases it
    EXPECT_EQ(control->drops, (std::vector<std::wstring>(std::begin(names), std::end(names))));
}

TEST_F(Control, OnlyEndHomeAndArrowsAreForwardedToTheTree)
{
    AddFile();
    control->SetSelection(y.Get());
    MSG home{host, WM_KEYDOWN, VK_HOME, 0, 0, {}};
    EXPECT_TRUE(control->ForwardNavigationKey(home));
    EXPECT_EQ(Ctl().GetCaretItem(), fileRow) << "the key reached the tree";
    MSG pageDown{host, WM_KEYDOWN, VK_NEXT, 0, 0, {}};
    EXPECT_FALSE(control->ForwardNavigationKey(pageDown));
    MSG character{host, WM_CHAR, 'a', 0, 0, {}};
    EXPECT_FALSE(control->ForwardNavigationKey(character));
}

TEST_F(Control, NativeNotificationsOfTheTreeAreIgnored)
{
    AddFile();
    NMTREEVIEWW nm{};
    nm.hdr.hwndFrom = Ctl().GetSafeHwnd();
    nm.hdr.idFrom = CCorbelCtrl::kTreeId;
    nm.hdr.code = TVN_SELCHANGEDW;
    nm.itemNew.hItem = x1;
    SendMessageW(host, WM_NOTIFY, CCorbelCtrl::kTreeId, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(control->GetSelectedItemCount(), 0);
    EXPECT_TRUE(control->events.empty());
}

} // namespace
