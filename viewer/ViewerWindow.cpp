#include "ViewerWindow.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iterator>

#include <commctrl.h>
#include <commdlg.h>

#include "ObjectText.h"
#include "RUVFileTree.h"
#include "Snapshot.h"
#include "platform/com/ComError.h"
#include "platform/com/ScopedVariant.h"
#include "platform/window/Dpi.h"
#include "platform/window/TreeView.h"

using platform::ComPtr;
using platform::DispatchDriver;
using platform::DispatchResult;
using platform::ScopedVariant;

namespace {

constexpr UINT_PTR kTypedPrefixTimer = 1;
constexpr UINT kTypedPrefixTimerMs = 100;

// What the log names a file by: its name, not where it lies on this machine.
std::wstring FileName(const std::wstring& path) { return std::filesystem::path(path).filename().wstring(); }

HTREEITEM TopLevelItemOf(const platform::TreeView& tree, HTREEITEM item)
{
    for (HTREEITEM parent = tree.GetParentItem(item); parent; parent = tree.GetParentItem(parent))
        item = parent;
    return item;
}

double NowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

const wchar_t kClassName[] = L"RUVViewerWindow";
const wchar_t kAttributesClass[] = L"RUVViewerAttributes";
// At 96 DPI; the window's DPI scales them.
constexpr SIZE kWindowSize{900, 700};
constexpr int kLogHeight = 140;

int AtDpi(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), platform::kDefaultDpi); }

// The window's first size: as large at the screen's DPI as at 96, within the work area.
SIZE FirstWindowSize()
{
    const UINT dpi = platform::WindowDpi(nullptr);
    RECT work{0, 0, kWindowSize.cx, kWindowSize.cy};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return SIZE{std::min<LONG>(AtDpi(kWindowSize.cx, dpi), work.right - work.left),
                std::min<LONG>(AtDpi(kWindowSize.cy, dpi), work.bottom - work.top)};
}

// Working-units values: lengths 1 metre, 2 millimetre, 3 feet and inches, 4 inches; weights 1
// kilogram, 2 pound. The displays read lengths under "Coordinates" and weights under "Weights".
constexpr long kMetres = 1, kMillimetres = 2, kFeetInches = 3, kInches = 4, kKilograms = 1, kPounds = 2;


// The View menu's units: which command stores which working units under which value-type key.
struct UnitsCommand {
    UINT id;
    const wchar_t* key;
    long units;
};
constexpr UnitsCommand kUnitsCommands[] = {
    {idMillimetres, L"Coordinates", kMillimetres}, {idMetres, L"Coordinates", kMetres},
    {idFeetInches, L"Coordinates", kFeetInches},   {idInches, L"Coordinates", kInches},
    {idKilograms, L"Weights", kKilograms},         {idPounds, L"Weights", kPounds},
};

// One entry of a menu: a command (its id, and MF_GRAYED or other flags), a submenu (made with
// MakeMenu) or, without text, a separator.
struct MenuEntry {
    const wchar_t* text;
    UINT id = 0;
    HMENU submenu = nullptr;
    UINT flags = 0;
};

struct MenuTraits {
    using Handle = HMENU;
    void Close(HMENU menu) const { DestroyMenu(menu); }
};

template <size_t N>
HMENU MakeMenu(const MenuEntry (&entries)[N], bool bar = false)
{
    HMENU menu = bar ? CreateMenu() : CreatePopupMenu();
    for (const MenuEntry& entry : entries) {
        if (!entry.text)
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        else if (entry.submenu)
            AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(entry.submenu), entry.text);
        else
            AppendMenuW(menu, MF_STRING | entry.flags, entry.id, entry.text);
    }
    return menu;
}

const wchar_t* EventName(DISPID id)
{
    switch (id) {
    case dispidEventSelectionChanged:
        return L"SelectionChanged";
    case dispidEventDropFile:
        return L"DropFile";
    case dispidEventPopupMenu:
        return L"PopupMenu";
    case dispidEventLButtonDblClick:
        return L"LButtonDblClick";
    default:
        return L"(unknown event)";
    }
}

} // namespace

ViewerWindow::ViewerWindow() = default;

ViewerWindow::~ViewerWindow()
{
    if (m_events && m_site)
        m_events->Disconnect(m_site->Control());
    if (m_site)
        m_site->Close();
}

bool ViewerWindow::Create(int show)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowObject::Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);
    WNDCLASSW attributes = wc;
    attributes.lpfnWndProc = DefWindowProcW;
    attributes.lpszClassName = kAttributesClass;
    RegisterClassW(&attributes);

    const SIZE size = FirstWindowSize();
    m_hWnd = CreateWindowExW(0, kClassName, L"RUV Viewer", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, size.cx, size.cy,
                             nullptr, BuildMenu(), instance, static_cast<WindowObject*>(this));
    if (!m_hWnd)
        return false;
    m_logList = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                                0, 0, 0, 0, m_hWnd, nullptr, instance, nullptr);
    SendMessageW(m_logList, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    m_status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, m_hWnd,
                               nullptr, instance, nullptr);
    ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'O', idOpen}, {FVIRTKEY, VK_F5, idRefresh}};
    m_accelerators.Reset(CreateAcceleratorTableW(keys, 2));

    ShowWindow(m_hWnd, show);
    m_site = std::make_unique<ControlSite>(m_hWnd);
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const HRESULT hr = m_site->Create(L"CORBEL.CorbelCtrl.1", client);
    if (FAILED(hr)) {
        wchar_t text[200];
        wsprintfW(text, L"The RUV file tree control could not be created (error 0x%08lX). Is RUVFileTree.ocx registered?",
                  static_cast<unsigned long>(hr));
        AddLog(text);
        MessageBoxW(m_hWnd, text, L"RUV Viewer", MB_ICONERROR);
        return false;
    }
    m_events = std::make_unique<ControlEvents>(
        DIID__DCorbelEvents, [this](DISPID id, const std::vector<ScopedVariant>& args) { OnEvent(id, args); });
    m_events->Connect(m_site->Control());
    Layout();
    UpdateStatus();
    return true;
}

HMENU ViewerWindow::BuildMenu()
{
    const MenuEntry lengths[] = {{L"&Millimetres", idMillimetres}, {L"M&etres", idMetres},
                                 {L"&Feet and Inches", idFeetInches}, {L"&Inches", idInches}};
    const MenuEntry weights[] = {{L"&Kilograms", idKilograms}, {L"&Pounds", idPounds}};
    const MenuEntry text[] = {{L"Component &Type", idComponentType}, {L"&Fly Text", idFlyText}};
    const MenuEntry file[] = {{L"&Open...\tCtrl+O", idOpen}, {L"&Close", 0, CreatePopupMenu()},
                              {L"&Refresh All\tF5", idRefresh}, {nullptr}, {L"E&xit", idExit}};
    const MenuEntry view[] = {{L"Show &Broken Items", idBroken}, {nullptr},
                              {L"&Spools", idSpools}, {L"&Keypoints", idKeypoints},
                              {L"Sequence &Numbers", idSequenceNos}, {L"Component &Text", 0, MakeMenu(text)},
                              {nullptr}, {L"&Length Units", 0, MakeMenu(lengths)},
                              {L"&Weight Units", 0, MakeMenu(weights)}};
    const MenuEntry edit[] = {{L"&Copy\tCtrl+C", idCopy}, {L"Select &All\tCtrl+A", idSelectAll}};
    const MenuEntry control[] = {{L"&Properties...", idProperties}, {L"&About...", idAbout}};
    const MenuEntry bar[] = {{L"&File", 0, MakeMenu(file)}, {L"&Edit", 0, MakeMenu(edit)},
                             {L"&View", 0, MakeMenu(view)}, {L"&Control", 0, MakeMenu(control)}};
    return MakeMenu(bar, true);
}

bool ViewerWindow::PreTranslateMessage(MSG& message)
{
    // A letter typed into the tree finds an item; the status bar follows what has been typed.
    if (message.message == WM_CHAR && message.hwnd == TreeWindow())
        SetTimer(m_hWnd, kTypedPrefixTimer, kTypedPrefixTimerMs, nullptr);
    if (m_site && m_site->TranslateAccelerator(message))
        return true;
    return m_accelerators && TranslateAcceleratorW(m_hWnd, m_accelerators.Get(), &message);
}

void ViewerWindow::Run(const ViewerOptions& options)
{
    for (const std::wstring& path : options.files)
        OpenFile(path);
    if (options.expandLevels > 0)
        Expand(platform::TreeView(TreeWindow()).GetRootItem(), options.expandLevels);
    if (!options.select.empty())
        SelectPipelines(options.select);
    // Let every window paint, and the display catch up, before it is recorded.
    const double paintStart = NowMs();
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    if (!options.metrics.empty() && !SaveMetrics(TreeWindow(), options.metrics))
        AddLog(L"Could not write " + options.metrics);
    if (!options.timing.empty() &&
        !SaveTiming(options.timing, m_readMs, m_buildMs, NowMs() - paintStart, platform::TreeView(TreeWindow()).GetCount()))
        AddLog(L"Could not write " + options.timing);
    if (!options.screenshot.empty()) {
        SetForegroundWindow(m_hWnd);
        for (int round = 0; round < 10; ++round) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            Sleep(50);
        }
    }
    if (!options.dump.empty() && !SaveTreeText(TreeWindow(), options.dump))
        AddLog(L"Could not write " + options.dump);
    if (!options.screenshot.empty() && !SaveWindowBitmap(m_hWnd, options.screenshot))
        AddLog(L"Could not write " + options.screenshot);
    if (options.exit)
        PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

bool ViewerWindow::OpenFile(const std::wstring& path)
{
    OpenedFile opened{path, {}, {}};
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(L"RUVModel.Document", &clsid);
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(opened.document.Receive()));
    DispatchResult step;
    const double readStart = NowMs();
    if (SUCCEEDED(hr)) {
        step = DispatchDriver(opened.document.Get()).Call(L"Open", {path.c_str()});
        hr = step.hr;
    }
    if (SUCCEEDED(hr)) {
        step = DispatchDriver(opened.document.Get()).Call(L"GetFile");
        hr = step.hr;
        opened.file = ComPtr<IDispatch>(step.value.Object());
    }
    const double buildStart = NowMs();
    m_readMs += buildStart - readStart;
    if (SUCCEEDED(hr)) {
        step = Control().Call(L"AddRUVFile", {opened.file.Get()});
        hr = step.hr;
    }
    m_buildMs += NowMs() - buildStart;
    if (FAILED(hr)) {
        wchar_t code[16];
        wsprintfW(code, L"0x%08lX", static_cast<unsigned long>(hr == DISP_E_EXCEPTION ? step.scode : hr));
        AddLog(L"Cannot open " + FileName(path) + L": " + code + (step.description.empty() ? L"" : L" " + step.description));
        return false;
    }
    AddLog(L"Opened " + FileName(path));
    // The new file's branch is the last at the top level: the view starts at its top.
    const platform::TreeView tree(TreeWindow());
    if (HTREEITEM top = tree.GetNextItem(nullptr, TVGN_LASTVISIBLE))
        tree.Send(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(TopLevelItemOf(tree, top)));
    m_files.push_back(std::move(opened));
    UpdateStatus();
    return true;
}

void ViewerWindow::CloseFile(size_t index)
{
    if (index >= m_files.size())
        return;
    Control().Call(L"RemoveRUVFile", {m_files[index].file.Get()});
    AddLog(L"Closed " + m_files[index].path);
    m_files.erase(m_files.begin() + static_cast<std::ptrdiff_t>(index));
    UpdateStatus();
}

HWND ViewerWindow::TreeWindow() const { return m_site ? m_site->TreeWindow() : nullptr; }

void ViewerWindow::Layout()
{
    RECT client{};
    GetClientRect(m_hWnd, &client);
    SendMessageW(m_status, WM_SIZE, 0, 0);
    RECT status{};
    GetWindowRect(m_status, &status);
    const int statusHeight = status.bottom - status.top;
    const int logHeight = AtDpi(kLogHeight, platform::WindowDpi(m_hWnd));
    const int logTop = client.bottom - statusHeight - logHeight;
    MoveWindow(m_logList, 0, logTop, client.right, logHeight, TRUE);
    if (m_site)
        m_site->Move(RECT{0, 0, client.right, logTop > 0 ? logTop : 0});
}

void ViewerWindow::AddLog(const std::wstring& line)
{
    m_log.push_back(line);
    if (m_logList) {
        const auto index = SendMessageW(m_logList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        SendMessageW(m_logList, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    }
}

std::wstring ViewerWindow::StatusText() const
{
    if (!m_site || !m_site->Automation())
        return std::wstring();
    const long count = Control().Get(L"SelectedItemCount").value.ToLong().value_or(0);
    std::wstring text = std::to_wstring(count) + L" selected";
    for (long i = 0; i < count && i < 3; ++i)
        text += (i == 0 ? L": " : L", ") + ObjectName(Control().Get(L"SelectedItem", {i}).value.Object());
    if (count > 3)
        text += L", ...";
    return text;
}

void ViewerWindow::SelectAll()
{
    // As a user's Ctrl+A on the tree: the tree selects, and the control tells of every change.
    SetFocus(TreeWindow());
    INPUT keys[4]{};
    const WORD codes[4] = {VK_CONTROL, 'A', 'A', VK_CONTROL};
    for (size_t i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = codes[i];
        keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    SendInput(4, keys, sizeof(INPUT));
}

void ViewerWindow::UpdateStatus()
{
    // The tree answers its registered message with the letters typed so far to find an item.
    wchar_t typed[64] = {};
    static const UINT typedPrefix = RegisterWindowMessageW(L"RUVFileTree.TypedPrefix");
    if (HWND tree = TreeWindow())
        SendMessageW(tree, typedPrefix, std::size(typed), reinterpret_cast<LPARAM>(typed));
    m_typedPrefix = typed;
    const std::wstring files = std::to_wstring(m_files.size()) + (m_files.size() == 1 ? L" file" : L" files");
    std::wstring text = files + L"  |  " + StatusText();
    if (!m_typedPrefix.empty())
        text += L"  |  Find: " + m_typedPrefix;
    SendMessageW(m_status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ViewerWindow::OnEvent(DISPID id, const std::vector<ScopedVariant>& args)
{
    std::wstring line = EventName(id);
    line += L"(";
    for (size_t i = 0; i < args.size(); ++i) {
        if (i)
            line += L", ";
        const ScopedVariant& arg = args[i];
        if (arg.Type() == VT_DISPATCH || arg.Type() == VT_EMPTY)
            line += ObjectName(arg.Object());
        else if (arg.Type() == VT_BSTR)
            line += arg.Text();
        else
            line += std::to_wstring(arg.ToLong().value_or(0));
    }
    AddLog(line + L")");
    switch (id) {
    case dispidEventSelectionChanged:
        UpdateStatus();
        break;
    case dispidEventDropFile:
        if (!args.empty())
            OpenFile(args[0].Text());
        break;
    case dispidEventPopupMenu:
        if (args.size() == 3)
            ShowPopupMenu(args[0].ToLong().value_or(0), args[1].ToLong().value_or(0), args[2].Object());
        break;
    case dispidEventLButtonDblClick:
        if (args.size() == 3)
            ShowAttributes(args[2].Object());
        break;
    default:
        break;
    }
}

void ViewerWindow::ShowPopupMenu(long x, long y, IDispatch* object)
{
    const UINT onObject = object ? 0 : MF_GRAYED;
    const MenuEntry entries[] = {{L"&Attributes", idPopupAttributes, nullptr, onObject},
                                 {L"&Select Only This", idPopupSelect, nullptr, onObject},
                                 {L"&Bold", idPopupBold, nullptr, onObject},
                                 {L"&Not Bold", idPopupClearBold, nullptr, onObject},
                                 {L"&Update", idPopupUpdate, nullptr, onObject},
                                 {nullptr},
                                 {L"Show B&roken Items", idBroken},
                                 {L"Refresh A&ll", idRefresh}};
    const platform::ScopedHandle<MenuTraits> menu(MakeMenu(entries));
    POINT point{x, y};
    ClientToScreen(m_site->ControlWindow(), &point);
    // The object stays referenced while the menu is open: the host may refresh meanwhile.
    ComPtr<IDispatch> held(object);
    const UINT chosen =
        TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr);
    switch (chosen) {
    case idPopupAttributes:
        ShowAttributes(held.Get());
        break;
    case idPopupSelect:
        Control().Call(L"SetSelection", {held.Get()});
        UpdateStatus();
        break;
    case idPopupBold:
        Control().Call(L"MakeBold", {held.Get()});
        break;
    case idPopupClearBold:
        Control().Call(L"ClearBold", {held.Get()});
        break;
    case idPopupUpdate:
        Control().Call(L"Update", {held.Get()});
        break;
    case 0:
        break;
    default:
        OnCommand(chosen);
        break;
    }
}

void ViewerWindow::ShowAttributes(IDispatch* object)
{
    if (!m_attributes || !IsWindow(m_attributes)) {
        m_attributes = CreateWindowExW(WS_EX_TOOLWINDOW, kAttributesClass, L"Attributes",
                                       WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 100, 100, 420, 300,
                                       m_hWnd, nullptr, GetModuleHandleW(nullptr), nullptr);
        HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0,
                                    400, 260, m_attributes, reinterpret_cast<HMENU>(1), GetModuleHandleW(nullptr),
                                    nullptr);
        SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }
    HWND list = GetDlgItem(m_attributes, 1);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    SetWindowTextW(m_attributes, (L"Attributes of " + ObjectName(object)).c_str());
    const std::vector<std::wstring> lines = ObjectAttributes(object);
    for (const std::wstring& line : lines)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    if (lines.empty())
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"(no attributes)"));
    ShowWindow(m_attributes, SW_SHOWNOACTIVATE);
}

void ViewerWindow::SetFlag(const wchar_t* property, bool value)
{
    const DispatchResult result = Control().Put(property, {value});
    AddLog(std::wstring(property) + (value ? L" on" : L" off") + (FAILED(result.hr) ? L" (failed)" : L""));
}

void ViewerWindow::SetUnits(const wchar_t* key, long units)
{
    // Units take effect at the next refresh.
    Control().Put(L"WorkingUnits", {key, units});
    Control().Call(L"UpdateAll");
    AddLog(std::wstring(L"WorkingUnits(") + key + L") = " + std::to_wstring(units));
}

void ViewerWindow::Expand(HTREEITEM first, int levels)
{
    platform::TreeView tree(TreeWindow());
    for (HTREEITEM item = first; item && levels > 0; item = tree.GetNextSiblingItem(item)) {
        tree.Expand(item, TVE_EXPAND);
        Expand(tree.GetChildItem(item), levels - 1);
    }
}

void ViewerWindow::SelectPipelines(const std::vector<std::wstring>& names)
{
    for (const OpenedFile& opened : m_files) {
        const DispatchResult pipelines = DispatchDriver(opened.file.Get()).Call(L"GetPipelines");
        if (!pipelines.value.Object())
            continue;
        const DispatchDriver list(pipelines.value.Object());
        const long count = list.Call(L"GetCount").value.ToLong().value_or(0);
        for (long i = 0; i < count; ++i) {
            const DispatchResult pipeline = list.Call(L"Item", {i});
            for (const std::wstring& name : names) {
                if (pipeline.value.Object() && ObjectName(pipeline.value.Object()) == name)
                    Control().Call(L"AddToSelection", {pipeline.value.Object()});
            }
        }
    }
    UpdateStatus();
}

void ViewerWindow::ChooseFiles()
{
    std::vector<wchar_t> buffer(32 * 1024, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = m_hWnd;
    dialog.lpstrFilter = L"RUV files (*.json;*.ruv)\0*.json;*.ruv\0All files\0*.*\0";
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST;
    if (!GetOpenFileNameW(&dialog))
        return;
    // One file: its path. Several: the folder, then each name, each ended by a null.
    const std::wstring first = buffer.data();
    const wchar_t* name = buffer.data() + first.size() + 1;
    if (!*name) {
        OpenFile(first);
        return;
    }
    for (; *name; name += wcslen(name) + 1)
        OpenFile(first + L"\\" + name);
}

void ViewerWindow::OnInitMenuPopup(HMENU menu)
{
    const DispatchDriver control = Control();
    CheckMenuItem(menu, idSpools, control.Get(L"ShowSpools").value.IsTrue() ? MF_CHECKED : MF_UNCHECKED);
    CheckMenuItem(menu, idKeypoints, control.Get(L"ShowComponentKeypoints").value.IsTrue() ? MF_CHECKED : MF_UNCHECKED);
    CheckMenuItem(menu, idSequenceNos, control.Get(L"ComponentSequenceNos").value.IsTrue() ? MF_CHECKED : MF_UNCHECKED);
    const long text = control.Get(L"ComponentText").value.ToLong().value_or(0);
    CheckMenuRadioItem(menu, idComponentType, idFlyText, text == 1 ? idFlyText : idComponentType, MF_BYCOMMAND);
    // Units never set show as the displays' defaults, millimetres and kilograms.
    const long length = control.Get(L"WorkingUnits", {L"Coordinates"}).value.ToLong().value_or(0);
    const long weight = control.Get(L"WorkingUnits", {L"Weights"}).value.ToLong().value_or(0);
    for (const UnitsCommand& units : kUnitsCommands) {
        const long current = std::wstring(units.key) == L"Weights" ? (weight ? weight : kKilograms)
                                                                  : (length ? length : kMillimetres);
        CheckMenuItem(menu, units.id, current == units.units ? MF_CHECKED : MF_UNCHECKED);
    }

    // File > Close lists the open files.
    HMENU bar = GetMenu(m_hWnd);
    HMENU closeMenu = GetSubMenu(GetSubMenu(bar, 0), 1);
    if (menu != closeMenu)
        return;
    while (GetMenuItemCount(closeMenu) > 0)
        DeleteMenu(closeMenu, 0, MF_BYPOSITION);
    for (size_t i = 0; i < m_files.size(); ++i)
        AppendMenuW(closeMenu, MF_STRING, idCloseFirst + i, m_files[i].path.c_str());
    if (m_files.empty())
        AppendMenuW(closeMenu, MF_STRING | MF_GRAYED, 0, L"(no files)");
}

void ViewerWindow::OnCommand(UINT id)
{
    const DispatchDriver control = Control();
    switch (id) {
    case idCopy:
        SendMessageW(TreeWindow(), WM_COPY, 0, 0);
        return;
    case idSelectAll:
        SelectAll();
        return;
    case idOpen:
        ChooseFiles();
        break;
    case idRefresh:
        control.Call(L"UpdateAll");
        AddLog(L"UpdateAll");
        break;
    case idExit:
        PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        break;
    case idBroken:
        control.Call(L"ShowBrokenItems");
        AddLog(L"ShowBrokenItems");
        break;
    case idSpools:
        SetFlag(L"ShowSpools", !control.Get(L"ShowSpools").value.IsTrue());
        control.Call(L"UpdateAll"); // spools show at the next refresh
        break;
    case idKeypoints:
        SetFlag(L"ShowComponentKeypoints", !control.Get(L"ShowComponentKeypoints").value.IsTrue());
        break;
    case idSequenceNos:
        SetFlag(L"ComponentSequenceNos", !control.Get(L"ComponentSequenceNos").value.IsTrue());
        break;
    case idComponentType:
    case idFlyText:
        control.Put(L"ComponentText", {id == idFlyText ? 1 : 0});
        AddLog(id == idFlyText ? L"ComponentText = Fly Text" : L"ComponentText = Component Type");
        break;
    case idProperties:
        if (ComPtr<IOleObject> object = platform::QueryOrNull<IOleObject>(m_site->Control()))
            object->DoVerb(OLEIVERB_PROPERTIES, nullptr, m_site.get(), 0, m_hWnd, nullptr);
        break;
    case idAbout:
        control.Call(L"AboutBox");
        break;
    default:
        for (const UnitsCommand& units : kUnitsCommands) {
            if (units.id == id)
                SetUnits(units.key, units.units);
        }
        if (id >= idCloseFirst && id < idCloseFirst + m_files.size())
            CloseFile(id - idCloseFirst);
        break;
    }
}

LRESULT ViewerWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        Layout();
        return 0;
    case WM_DPICHANGED:
        // Per-monitor aware, the window takes the place the system suggests at the new DPI; the
        // control's window hears of the change after it.
        if (const auto* place = reinterpret_cast<const RECT*>(lParam)) {
            SetWindowPos(m_hWnd, nullptr, place->left, place->top, place->right - place->left,
                         place->bottom - place->top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return 0;
    case WM_COMMAND:
        if (lParam == 0) {
            OnCommand(LOWORD(wParam));
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == kTypedPrefixTimer) {
            UpdateStatus();
            if (m_typedPrefix.empty())
                KillTimer(m_hWnd, kTypedPrefixTimer);
            return 0;
        }
        break;
    case WM_INITMENUPOPUP:
        if (m_site && m_site->Automation())
            OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_CLOSE:
        if (m_events && m_site)
            m_events->Disconnect(m_site->Control());
        if (m_site)
            m_site->Close();
        DestroyWindow(m_hWnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefaultProc(message, wParam, lParam);
}
