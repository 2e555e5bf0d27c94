#include "platform/window/TreeDump.h"

namespace platform {

namespace {

std::wstring Marks(const TreeView& tree, HTREEITEM item, const TreeDumpFormat& format)
{
    std::wstring marks;
    auto add = [&marks](const std::wstring& mark) { marks += (marks.empty() ? L"" : L", ") + mark; };
    if (format.selected && tree.GetNativeState(item, TVIS_SELECTED))
        add(L"selected");
    if (format.images)
        add(L"image " + std::to_wstring(tree.GetItemImage(item)));
    if (format.data)
        add(L"data " + std::to_wstring(tree.GetItemData(item)));
    return marks.empty() ? marks : L"  [" + marks + L"]";
}

void Dump(const TreeView& tree, HTREEITEM first, int depth, const TreeDumpFormat& format, std::wstring& out)
{
    for (HTREEITEM item = first; item; item = tree.GetNextSiblingItem(item)) {
        const HTREEITEM child = tree.GetChildItem(item);
        if (!format.inlined) {
            out += std::wstring(static_cast<size_t>(depth) * 2, L' ') + tree.GetItemText(item) +
                   Marks(tree, item, format) + L"\n";
            Dump(tree, child, depth + 1, format, out);
            continue;
        }
        out += tree.GetItemText(item);
        if (format.images)
            out += L"#" + std::to_wstring(tree.GetItemImage(item));
        if (child) {
            out += L" {";
            Dump(tree, child, depth + 1, format, out);
            out += L"}";
        }
        if (tree.GetNextSiblingItem(item))
            out += L" | ";
    }
}

} // namespace

std::wstring DumpTree(const TreeView& tree, HTREEITEM first, TreeDumpFormat format)
{
    std::wstring out;
    Dump(tree, first ? first : tree.GetRootItem(), 0, format, out);
    return out;
}

} // namespace platform
