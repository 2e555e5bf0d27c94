// The multi-selection tree as one behaviour table: selection and caret, gesture, and what follows.
#include "Gestures.h"

namespace {

using SelectionTable = GestureTest;

const TreeRow kRows[] = {
    // Keys. A plain arrow deselects every other item, each with its own pair, then names its target.
    {"A1 C D", "A1", "down", "A2", "A2", "?+A2 ?-A1 -A1 ?-C -C ?-D -D +A2"},
    {"A1", "A1", "up", "A", "A", "?+A ?-A1 -A1 +A"},
    {"A3", "A3", "left", "A", "A", "?+A ?-A3 -A3 +A"},
    {"A", "A", "right", "A1", "A1", "?+A1 ?-A -A +A1"},
    // Left and right on the caret's own branch collapse and expand it natively.
    {"A", "A", "left down", "B", "B", "?+B ?-A -A +B"},
    {"A1", "A", "left", "", "A", "?-A1 -A1"}, // the native collapse deselects the branch too
    {"A", "A", "left right down", "A1", "A1", "?+A1 ?-A -A +A1"},
    // No target: the others go, the caret stays; with Shift nothing changes.
    {"A C D", "A", "up", "A", "A", "?-C -C ?-D -D"},
    {"C E", "E", "shift+down", "C E", "E", ""},
    // Ctrl moves the caret alone; the old caret keeps its state.
    {"A1 C", "A1", "ctrl+down", "A1 C", "A2", "?+A2 ?-A1 -A1 ?+A1 +A1"},
    {"", "A2", "ctrl+up", "", "A1", "?+A1"},
    // Shift selects from the anchor (the caret when there is none) to the target, and nothing else.
    {"A1 D", "A1", "shift+down", "A1 A2", "A2", "?+A2 ?-A1 -A1 ?+A1 +A1 +A2 ?-D -D"},
    {"A1", "A1", "shift+down shift+down shift+up", "A1 A2", "A2",
     "?+A2 ?-A1 -A1 ?+A1 +A1 +A2 ?+A3 ?-A2 -A2 ?+A2 +A2 +A3 ?+A2 ?-A3 -A3"},
    {"A1", "A1", "shift+down shift+up shift+up", "A A1", "A",
     "?+A2 ?-A1 -A1 ?+A1 +A1 +A2 ?+A1 ?-A2 -A2 ?+A ?-A1 -A1 +A ?+A1 +A1"},
    {"A1", "A1", "shift+down down shift+down", "A3 B", "B", // a plain arrow drops the anchor
     "?+A2 ?-A1 -A1 ?+A1 +A1 +A2 ?+A3 ?-A1 -A1 ?-A2 -A2 +A3 ?+B ?-A3 -A3 ?+A3 +A3 +B"},
    // Space toggles the caret.
    {"B", "B", "space space", "B", "B", "?-B -B ?+B +B"},
    // Home and End (and the page keys, which go a page or to the first or last row) as the arrows:
    // plain the target alone, Shift the span from the anchor, Ctrl the caret only, Ctrl+Shift adds.
    {"C", "C", "home", "A", "A", "?+A ?-C -C +A"},
    {"C", "C", "end", "E", "E", "?+E ?-C -C +E"},
    {"C", "C", "pgup pgdn", "E", "E", "?+A ?-C -C +A ?+E ?-A -A +E"},
    {"C", "C", "shift+end shift+home", "A A1 A2 A3 B C", "A",
     "?+E ?+D +D +E ?+A +A ?+A1 +A1 ?+A2 +A2 ?+A3 +A3 ?+B +B ?-D -D ?-E -E"},
    {"E", "C", "ctrl+home ctrl+shift+end", "C D E", "E", "?+A ?+E ?+C +C ?+D +D"},
    {"E", "C", "ctrl+shift+home", "A A1 A2 A3 B C E", "A", "?+A +A ?+A1 +A1 ?+A2 +A2 ?+A3 +A3 ?+B +B ?+C +C"},
    // Ctrl+A selects every visible item and keeps the caret; a refused or a deleting parent.
    {"C", "C", "ctrl+a", "A A1 A2 A3 B C D E", "C", "?+A +A ?+A1 +A1 ?+A2 +A2 ?+A3 +A3 ?+B +B ?+D +D ?+E +E"},
    {"C", "C", "parent-vetoes ctrl+a", "C", "C", "?+A ?+A1 ?+A2 ?+A3 ?+B ?+D ?+E"},
    {"", "C", "parent-deletes:+A1:A2 ctrl+a", "A A1 A3 B C D E", "C",
     "?+A +A ?+A1 +A1 deleted:A2 ?+A3 +A3 ?+B +B ?+C +C ?+D +D ?+E +E"},
    {"", "C", "parent-deletes:+D:E shift+end", "C D", "C", "?+E ?+C +C ?+D +D deleted:E"},
    // Typing finds the next label that starts with the letters, case aside, going round; the same
    // letter again goes on to the next; a longer prefix stays on a caret that still matches.
    {"", "A", "type:a", "A1", "A1", "?+A1 +A1"},
    {"", "A", "type:aaa", "A3", "A3", "?+A1 +A1 ?+A2 ?-A1 -A1 +A2 ?+A3 ?-A2 -A2 +A3"},
    {"", "A", "type:a2", "A2", "A2", "?+A1 +A1 ?+A2 ?-A1 -A1 +A2"},
    {"", "E", "type:A", "A", "A", "?+A +A"},
    {"B", "B", "type:x", "B", "B", ""},
    // Focus without a caret puts it on the first visible item, unselected.
    {"", "-", "focus blur", "", "A", ""},
    // A collapse deselects the branch; a caret inside goes, or to the collapsing item if selected.
    {"A1 C", "-", "expand:A2 caret:A2a set:A2a:+s collapse:A", "C", "-", "?+A2a +A2a ?-A1 -A1 ?-A2a -A2a"},
    {"A1", "C", "collapse:A", "", "C", "?-A1 -A1"},
    {"A A1", "A1", "collapse:A", "A", "A", "?-A1 -A1"},
    // A deleted branch is deselected first; a deleted caret goes to the next selected item, else
    // the first selected, else the next visible, else the first.
    {"A1 C", "-", "expand:A2 set:A2a:+s delete:A", "C", "-", "?+A2a +A2a ?-A1 -A1 ?-A2a -A2a"},
    {"B D", "B", "delete:B", "D", "D", "?-B -B"},
    {"A1 D", "D", "delete:D", "A1", "A1", "?-D -D"},
    {"", "C", "delete:C", "", "D", ""},
    {"", "E", "delete:E", "", "A", ""},
    {"", "A3", "delete:A", "", "B", ""},
    // Deletion by the native message is reported too.
    {"C D", "-", "native-delete:C native-delete:*", "", "-", "?-C -C ?-D -D"},

    // Mouse. A plain click replaces the selection; a press on a selected item keeps it.
    {"A1 C", "-", "click:B", "B", "B", "?-A1 -A1 ?-C -C ?+B +B click:B"},
    {"A1 B C", "C", "rclick:B", "A1 B C", "B", "rclick:B"},
    {"A1 B", "B", "rclick:D", "D", "D", "?-A1 -A1 ?-B -B ?+D +D rclick:D"},
    // Ctrl toggles; Shift selects the range from the anchor, else the caret, else the item alone.
    {"A1 C", "C", "ctrl+click:B", "A1 B C", "B", "?+B +B click:B"},
    {"A1 B C", "C", "ctrl+click:B", "A1 C", "B", "?-B -B click:B"},
    {"E", "A2", "shift+click:B", "A2 A3 B", "B", "?+A2 +A2 ?+A3 +A3 ?+B +B ?-E -E click:B"},
    {"E", "A2", "ctrl+shift+click:B", "A2 A3 B E", "B", "?+A2 +A2 ?+A3 +A3 ?+B +B click:B"},
    {"", "-", "shift+click:B", "B", "B", "?+B +B click:B"},
    {"A1", "A1", "shift+rclick:C", "A1", "A1", "rclick:C"},
    // A Shift click keeps its anchor; a Ctrl right click sets it, a Ctrl left click clears it.
    {"", "-", "click:A1 shift+click:B shift+click:C", "A1 A2 A3 B C", "C",
     "?+A1 +A1 click:A1 ?+A2 +A2 ?+A3 +A3 ?+B +B click:B ?+C +C click:C"},
    {"", "E", "ctrl+rclick:A1 shift+click:A3", "A1 A2 A3", "A3", "rclick:A1 ?+A1 +A1 ?+A2 +A2 ?+A3 +A3 click:A3"},
    {"", "-", "ctrl+rclick:E ctrl+click:D shift+click:B", "B C D", "B",
     "rclick:E ?+D +D click:D ?+B +B ?+C +C click:B"},
    // Drags keep a selection they start in, select an item they start on, and honour the style.
    {"A1 B C", "-", "drag:B", "A1 B C", "B", "drag:B"},
    {"", "-", "click:C>~", "C", "C", "?+C +C click:C"},
    {"A1", "-", "nodrag ctrl+drag:D", "A1 D", "D", "?+D +D"},
    {"", "-", "shift+rdrag:C", "C", "C", "?+C +C rdrag:C"},
    // The expand button is the native control's.
    {"C", "-", "click:+B caret:B ctrl+down", "C", "B1", "?+B1"},
    // Empty space: a click clears the selection, unless Ctrl is held; the focus puts the caret on A.
    {"A1 C", "-", "click:-", "", "A", "?-A1 -A1 ?-C -C click"},
    {"D", "-", "ctrl+rclick:-", "D", "A", "rclick"},
    // The band selects exactly the rows it touches as it follows the mouse; Ctrl toggles the rows
    // selected before, Shift adds them, Escape deselects everything.
    {"E", "-", "band:C>A2", "A2 A3 B C", "A", "?-E -E ?+A2 +A2 ?+A3 +A3 ?+B +B ?+C +C click"},
    {"", "-", "band:D>A1>B", "B C D", "A",
     "?+A1 +A1 ?+A2 +A2 ?+A3 +A3 ?+B +B ?+C +C ?+D +D ?-A1 -A1 ?-A2 -A2 ?-A3 -A3 click"},
    {"A3 E", "-", "ctrl+band:C>A2", "A2 B C E", "A", "?+A2 +A2 ?-A3 -A3 ?+B +B ?+C +C click"},
    {"A3 E", "-", "shift+band:C>A2", "A2 A3 B C E", "A", "?+A2 +A2 ?+B +B ?+C +C click"},
    // A row selected before a Shift band belongs to the band once touched: it goes when the band leaves it.
    {"B", "-", "shift+band:C>A2>C", "C", "A", "?+A2 +A2 ?+A3 +A3 ?+C +C ?-A2 -A2 ?-A3 -A3 ?-B -B click"},
    {"E", "-", "shift+band:C>A2>esc>A1", "", "A",
     "?+A2 +A2 ?+A3 +A3 ?+B +B ?+C +C ?-A2 -A2 ?-A3 -A3 ?-B -B ?-C -C ?-E -E click"},

    // Selection model. A change of the selected bit is announced before and after; no change, nothing.
    {"", "-", "set:B:+s set:B:-s", "", "-", "?+B +B ?-B -B"},
    {"C", "-", "set:C:+s! set:D:-s!", "C", "-", ""},
    // The caret moves without joining the selection; the old caret keeps its place in it.
    {"", "-", "set:C:+f", "", "C", ""},
    {"B", "B", "set:C:+f", "B", "C", ""},
    {"B", "B", "set:C:+f+s!", "B C", "C", "?+C +C"},
    {"", "-", "set:C:+f+s", "C", "C", "?+C +C"},
    {"C", "B", "set:C:+f+s!", "C", "C", ""},
    {"C", "B", "set:C:+f-s!", "", "C", "?-C -C"},
    // Taking the caret away keeps the selection; selecting with it is done only when announced.
    {"C", "C", "set:C:-f!", "C", "-", ""},
    {"C", "C", "set:C:-f-s!", "", "-", "?-C -C"},
    {"", "C", "set:C:-f+s!", "C", "-", "?+C +C"},
    {"", "C", "set:C:-f+s", "", "-", ""},
    {"", "B", "set:C:-f!", "", "B", ""},
    {"", "C", "caret:-", "", "-", ""},
    {"", "-", "set:C:+b", "", "-", ""},
    // The walks cover the visible items only: A2a and B1 are in collapsed branches.
    {"A A1 A2 A3 B D", "-", "all", "A A1 A2 A3 B C D E", "-", "?+C +C ?+E +E"},
    {"A1 C E", "-", "none-but:C", "C", "-", "?-A1 -A1 ?-E -E"},
    {"A A2 A3 B C D", "-", "all-but:A1", "A A2 A3 B C D E", "-", "?+E +E"},
    {"A C", "-", "none", "", "-", "?-A -A ?-C -C"},
    // A span runs from the end met first; exclusive, it clears everything outside; an end that is
    // not visible, or none, extends it to the last item.
    {"", "-", "span:A1:B", "A1 A2 A3 B", "-", "?+A1 +A1 ?+A2 +A2 ?+A3 +A3 ?+B +B"},
    {"", "-", "span:B:A1", "A1 A2 A3 B", "-", "?+A1 +A1 ?+A2 +A2 ?+A3 +A3 ?+B +B"},
    {"A D", "-", "span:A1:A3", "A1 A2 A3", "-", "?-A -A ?+A1 +A1 ?+A2 +A2 ?+A3 +A3 ?-D -D"},
    {"A D", "-", "addspan:A1:A3", "A A1 A2 A3 D", "-", "?+A1 +A1 ?+A2 +A2 ?+A3 +A3"},
    {"E", "-", "span:C:C", "C", "-", "?+C +C ?-E -E"},
    {"A", "-", "span:B1:C", "C D E", "-", "?-A -A ?+C +C ?+D +D ?+E +E"},
    {"A", "-", "addspan:-:D", "A D E", "-", "?+D +D ?+E +E"},
    // Descendants: recursively into expanded children, or the children alone.
    {"", "-", "expand:A2 select-below:A", "A1 A2 A2a A3", "-", "?+A1 +A1 ?+A2 +A2 ?+A2a +A2a ?+A3 +A3"},
    {"A1 A3", "-", "expand:A2 set:A2a:+s deselect-children:A", "A2a", "-", "?+A2a +A2a ?-A1 -A1 ?-A3 -A3"},

    // accSelect does what the click its flags stand for does, without the click's notice: focus and
    // selection a plain click, focus and add or remove a Ctrl click, focus and extend a Shift click
    // (with add, Ctrl+Shift); without focus the caret stays. Focus alone moves the caret and the
    // anchor; contradictory flags, the tree itself and items in collapsed branches change nothing.
    {"A1 C", "-", "acc:fs:B", "B", "B", "?-A1 -A1 ?-C -C ?+B +B"},
    {"A1 C", "C", "acc:s:B", "B", "C", "?-A1 -A1 ?-C -C ?+B +B"},
    {"A1 C", "C", "acc:fa:B acc:r:A1", "B C", "B", "?+B +B ?-A1 -A1"},
    {"A1 B C", "C", "acc:fr:B acc:a:E", "A1 C E", "B", "?-B -B ?+E +E"},
    {"E", "A2", "acc:fe:B", "A2 A3 B", "B", "?+A2 +A2 ?+A3 +A3 ?+B +B ?-E -E"},
    {"E", "A2", "acc:e:B acc:fea:D", "A2 A3 B C D", "D", "?+A2 +A2 ?+A3 +A3 ?+B +B ?-E -E ?+C +C ?+D +D"},
    {"", "-", "ctrl+rclick:E acc:f:A1 shift+click:A3", "A1 A2 A3", "A3", "rclick:E ?+A1 +A1 ?+A2 +A2 ?+A3 +A3 click:A3"},
    {"C", "C", "acc:ar:B acc:sa:B acc:er:B acc:s:- acc:fs:A2a", "C", "C", ""},
    {"", "-", "acc:f:-", "", "A", ""},
    {"C", "C", "parent-vetoes acc:fs:B", "", "B", "?-C -C ?+B"},
    {"C", "C", "parent-deletes:-C:B acc:fs:B", "", "C", "?-C -C deleted:B"},

    // Native guard (newer tree-views change selection bits themselves): a change of the selected bit
    // that the tree is not making is refused and never reaches the parent; the others pass.
    {"", "-", "announce:C:-:s", "", "-", ""},
    {"", "-", "announce:C:sb:b", "", "-", ""},
    {"", "-", "announce:C:-:b", "", "-", "changing:C"},
    {"", "-", "announce:C:s:se", "", "-", "changing:C"},
    {"", "-", "single announce:C:-:s", "", "-", "changing:C"},
    {"A1 C", "-", "announcing ctrl+click:B", "A1 B C", "B", "changing:B ?+B changing:B +B click:B"},
    {"A1 C", "-", "announcing ctrl+click:B shift+down", "B C", "C",
     "changing:B ?+B changing:B +B click:B ?+C ?-B changing:B -B ?-A1 changing:A1 -A1 ?+B changing:B +B"},
    {"A1 C", "-", "announcing ctrl+click:B down", "C", "C",
     "changing:B ?+B changing:B +B click:B ?+C ?-A1 changing:A1 -A1 ?-B changing:B -B"},
    {"D", "D", "announcing native-set:E:+s", "D", "D", ""},
};

TEST_F(SelectionTable, EveryRow) { Run(kRows); }

} // namespace
