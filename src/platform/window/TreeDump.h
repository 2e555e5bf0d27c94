// A tree-view's items as text, for snapshots, golden files and tests.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "platform/window/TreeView.h"

namespace platform {

struct TreeDumpFormat {
    // Lines: one line per item, indented two spaces per level, with the marks asked for in
    // brackets after two spaces ("label  [selected, image 3, data 7]"; "selected" only when it is).
    // Inline: "label {child | child} | next", with "#image" after each label when images are asked.
    bool inlined = false;
    bool selected = false;
    bool images = false;
    bool data = false;
};

// The items from first (the root item when null) and its next siblings, with all their children.
std::wstring DumpTree(const TreeView& tree, HTREEITEM first, TreeDumpFormat format);

} // namespace platform
