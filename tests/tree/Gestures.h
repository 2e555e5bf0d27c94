// The tree tests' gesture language over the tree harness, and the behaviour table rows it runs.
#pragma once

#include <functional>
#include <string>

#include "support/TreeHarness.h"

// A row of a behaviour table: on the default tree, the selection and the caret before ("-": none),
// a gesture, then the selection, the caret and the tree's own notifications (OwnLog) after it.
struct TreeRow {
    const char *selected, *caret, *gesture, *selectedAfter, *caretAfter, *log;
};

class GestureTest : public TreeTest {
protected:
    // Runs a gesture: steps separated by blanks, each "[ctrl+][shift+]verb[:arguments]".
    //   keys   up down left right space home end pgup pgdn a c; type:TEXT; focus, blur
    //   mouse  click:W rclick:W drag:W rdrag:W band:W: W as PointAt takes it (band: right of the
    //          label), then ">event"s the mouse loop reads: an item (a move there), "~" (a move within
    //          the drag distance), "esc", "!" (runs action); clicks and bands end with the button up,
    //          drags with a move past the drag distance
    //   calls  set:I:FLAGS (SetItemState; "+" sets and "-" clears f(ocus), s(elected), b(old),
    //          e(xpanded); "!" notifies with focus), native-set:I:FLAGS, caret:I, span:A:B, addspan:A:B,
    //          all, none, all-but:I, none-but:I, select-below:I, deselect-children:I, expand:I,
    //          collapse:I, delete:I, native-delete:I ("*": all), single (no multi-selection), nodrag
    //          acc:FLAGS:I (accSelect through the accessible object, "-" the tree itself; FLAGS from
    //          f(TAKEFOCUS) s(TAKESELECTION) e(EXTENDSELECTION) a(ADDSELECTION) r(REMOVESELECTION))
    //   parent parent-deletes:T:V (on first hearing T, a word of OwnLog, it deletes V; logged "deleted:V"),
    //          parent-vetoes (every selection)
    //   newer tree-views announce:I:OLD:NEW (TVN_ITEMCHANGINGW; states as "sb", "-" for none),
    //          announcing (the tree-view announces every write of the selected bit from now on)
    void Do(const std::string& gesture, const std::function<void()>& action = {});
    // Builds the default tree, selects and sets the caret as the row says, runs its gesture and
    // expects what the row expects after it.
    void Run(const TreeRow& row, const std::function<void()>& action = {});
    template <size_t N>
    void Run(const TreeRow (&rows)[N]) { for (const TreeRow& row : rows) Run(row); }

private:
    void Mouse(const std::string& verb, UINT keys, const std::string& events, const std::function<void()>& action);
};
