// The file display base over a real tree: inserting, rebuilding in place, deleting leftovers, and
// parents that read or refresh the display from the notifications of a rebuild.
#include <map>

#include "display/FileTreeDisplay.h"
#include "support/ComStub.h"
#include "support/TreeHarness.h"

namespace {

using Entity = teststub::ComStub<IUnknown>;

// A node of the scripted file: its entity, text, image, item data and children.
struct Node {
    Entity* entity;
    std::wstring text;
    int image = 0, data = 0;
    std::vector<Node> children = {};
};

// A display whose file is a scripted list of nodes.
class ScriptedDisplay : public CFileTreeDisplay {
public:
    using CFileTreeDisplay::CFileTreeDisplay;

    std::vector<Node> model;
    std::vector<IUnknown*> broken;
    int populated = 0;

    void Populate(IUnknown* entity, HTREEITEM hParent) override
    {
        ++populated;
        Place(model, TVI_ROOT, entity, hParent);
    }
    void GetBrokenEntities(std::vector<IUnknown*>& out) override { out.insert(out.end(), broken.begin(), broken.end()); }

    const CCorbEntities& Current() const { return m_current; }
    bool Settled() const { return m_stale.GetAllItems().empty() && m_lastInserted.empty(); }

private:
    // Inserts the nodes under parent; with an entity, only that entity's nodes under target,
    // finding the items of the nodes above them in the registry.
    void Place(const std::vector<Node>& nodes, HTREEITEM parent, IUnknown* entity, HTREEITEM target)
    {
        for (const Node& node : nodes) {
            if (!entity || (node.entity == entity && parent == target))
                Place(node.children, InsertEntityItem(node.entity, node.text, parent, TVI_LAST, node.image, node.data),
                      nullptr, nullptr);
            else if (HTREEITEM item = m_current.FindItem(node.entity, parent, node.data))
                Place(node.children, item, entity, target);
        }
    }
};

class DisplayTest : public TreeTest {
protected:
    Entity file, pipe1, pipe2, comp1, comp2, comp3, attrs, flange;
    CTreeContentSettings settings;
    std::unique_ptr<ScriptedDisplay> display;
    std::map<UINT, int> sent; // tree messages by kind
    unsigned long long messages = 0; // all the messages the display sent

    void SetUp() override
    {
        TreeTest::SetUp();
        Build({});
        checkCollapsed = true;
        display = std::make_unique<ScriptedDisplay>(&Tree(), &settings);
        display->model = {{&file, L"plant.json", 0, 0,
                           {{&attrs, L"Attributes", 2},
                            {&pipe1, L"P-101", 1, 0, {{&comp1, L"1.Elbow", 12}, {&comp2, L"2.Pipe", 13}}},
                            {&pipe2, L"P-102", 1, 0, {{&comp3, L"1.Valve", 16}}}}}};
        SetWindowSubclass(Hwnd(), CountingProc, 1, reinterpret_cast<DWORD_PTR>(&sent)); // gone with the window
    }

    static LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR counts)
    {
        if (message == TVM_INSERTITEMW || message == TVM_DELETEITEM || message == TVM_SETITEMW)
            ++(*reinterpret_cast<std::map<UINT, int>*>(counts))[message];
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }

    HTREEITEM ItemOf(Entity& entity) { return display->GetItems(entity.Unknown()).at(0); }
    // Shows every item, and selects those of the entities.
    void ExpandAndSelect(std::initializer_list<Entity*> selected)
    {
        for (HTREEITEM item : AllItems())
            Tree().Expand(item, TVE_EXPAND);
        for (Entity* entity : selected)
            Tree().SetItemState(ItemOf(*entity), TVIS_SELECTED, TVIS_SELECTED, FALSE);
    }

    // Refreshes; then every item is registered, and nothing else, and no refresh is half done.
    void Refresh(IUnknown* entity)
    {
        sent.clear();
        const auto before = Tree().MessagesSent();
        display->Refresh(entity);
        messages = Tree().MessagesSent() - before;
        const std::vector<HTREEITEM> registered = display->Current().GetAllItems();
        EXPECT_EQ(AllItems(), std::set<HTREEITEM>(registered.begin(), registered.end()));
        EXPECT_TRUE(display->Settled());
        CheckInvariant();
    }
};

TEST_F(DisplayTest, BuildInsertsOncePerNodeAndAnUnchangedRefreshSendsNothing)
{
    Refresh(nullptr);
    EXPECT_EQ(Dump(nullptr, true), L"plant.json#0 {Attributes#2 | P-101#1 {1.Elbow#12 | 2.Pipe#13} | P-102#1 {1.Valve#16}}");
    EXPECT_EQ(sent[TVM_INSERTITEMW], 7);
    EXPECT_EQ(sent[TVM_SETITEMW], 0) << "text, image and item data travel with the insert";
    EXPECT_EQ(display->GetEntity(ItemOf(comp2)), comp2.Unknown());
    EXPECT_EQ(comp2.references, 2u) << "the registry holds one reference";
    const std::set<HTREEITEM> before = AllItems();
    Refresh(nullptr);
    EXPECT_EQ(messages, 0u);
    EXPECT_EQ(AllItems(), before) << "every handle kept";
}

TEST_F(DisplayTest, FullRefreshKeepsWhatStaysAndPutsNewNodesInPlace)
{
    Refresh(nullptr);
    ExpandAndSelect({&comp2, &comp3});
    HTREEITEM valve = ItemOf(comp3), oldAttributes = ItemOf(attrs);
    auto& file1 = display->model[0];
    file1.children.erase(file1.children.begin() + 1); // P-101 goes, with the selected 2.Pipe
    file1.children[0].data = 7;                        // new item data: a new node
    file1.children[1].text = L"P-102 (rev. B)";
    auto& valves = file1.children[1].children; // new nodes before and after a kept one
    valves = {Node{&flange, L"0.Flange", 14}, valves[0], Node{&flange, L"2.Cap", 15, 1}};
    Refresh(nullptr);
    EXPECT_EQ(Dump(), L"plant.json {Attributes | P-102 (rev. B) {0.Flange | 1.Valve | 2.Cap}}");
    EXPECT_NE(ItemOf(attrs), oldAttributes);
    EXPECT_EQ(ItemOf(comp3), valve);
    EXPECT_EQ(Selected(), "1.Valve") << "the kept item stays selected";
    EXPECT_EQ(sent[TVM_INSERTITEMW], 3);
    EXPECT_EQ(sent[TVM_DELETEITEM], 2) << "the old Attributes, and P-101 once, with its children";
    EXPECT_EQ(sent[TVM_SETITEMW], 2) << "the new text, and the deselection of 2.Pipe on its way out";
    EXPECT_EQ(pipe1.references + comp1.references + comp2.references, 3u) << "the vanished entities are released";
}

TEST_F(DisplayTest, ItemsKeepNoMoreTextThanATreeViewShows)
{
    auto& children = display->model[0].children;
    children[0].text = std::wstring(1000000, L'x');
    children[1].text = std::wstring(258, L'y') + L"\xD83D\xDE00"; // a surrogate pair across the bound
    Refresh(nullptr);
    EXPECT_EQ(Tree().GetItemText(ItemOf(attrs)), std::wstring(259, L'x'));
    EXPECT_EQ(Tree().GetItemText(ItemOf(pipe1)), std::wstring(258, L'y'));
    children[0].text += L"more";
    Refresh(nullptr);
    EXPECT_EQ(messages, 0u) << "a change beyond what an item shows changes nothing";
}

TEST_F(DisplayTest, OneEntityRefreshRebuildsOnlyItsSubtrees)
{
    Refresh(nullptr);
    const std::set<HTREEITEM> before = AllItems();
    display->model[0].children[1].children[0].text = L"1.Elbow 90";
    display->populated = 0;
    Refresh(pipe1.Unknown());
    EXPECT_EQ(display->populated, 1);
    EXPECT_EQ(TextOf(ItemOf(comp1)), L"1.Elbow 90");
    EXPECT_EQ(sent[TVM_SETITEMW], 1);
    EXPECT_EQ(AllItems(), before) << "every item kept";

    Entity stranger;
    Refresh(stranger.Unknown());
    EXPECT_TRUE(sent.empty()) << "an entity not shown changes nothing";
}

TEST_F(DisplayTest, EntityAtSeveralPlacesIsRebuiltAtEachAndAnInnerPlaceOnce)
{
    // comp1 also shows in P-102, and once more inside its own node in P-101.
    display->model[0].children[2].children.push_back(Node{&comp1, L"1.Elbow", 12});
    display->model[0].children[1].children[0].children.push_back(Node{&comp1, L"(same)", 3, 1});
    Refresh(nullptr);
    ASSERT_EQ(display->GetItems(comp1.Unknown()).size(), 3u);
    EXPECT_EQ(display->GetTopItems(comp1.Unknown()).size(), 2u);
    display->populated = 0;
    Refresh(comp1.Unknown());
    EXPECT_EQ(display->populated, 2) << "once per top place";
    EXPECT_TRUE(sent.empty());
    // Broken items are copied from the current registry, every place of the entity.
    display->broken = {comp1.Unknown()};
    CCorbEntities out;
    display->GetBrokenItems(out);
    EXPECT_EQ(out.GetEntityItems(comp1.Unknown()).size(), 3u);
    EXPECT_EQ(out.GetEntityCount(), 1);
}

TEST_F(DisplayTest, ParentsHearingOfDeselectionsMayReadAndRefreshTheDisplay)
{
    Refresh(nullptr);
    ExpandAndSelect({&file, &comp1, &comp2, &comp3});
    std::vector<size_t> leftovers;
    std::vector<IUnknown*> entities;
    auto& pipes = display->model[0].children;
    Parent().onNotice = [&](const Notice& n) {
        if (!n.own || n.code != TVN_SELCHANGEDW || !n.itemOld)
            return;
        leftovers.push_back(display->GetItems(comp2.Unknown()).size());
        entities.push_back(display->GetEntity(n.itemOld));
        if (leftovers.size() == 1) { // edits and refreshes: P-102 goes, with the 1.Valve not yet deleted; two nodes come
            pipes.pop_back();
            display->Refresh(nullptr);
            pipes[1].children.insert(pipes[1].children.end(), {Node{&flange, L"3.Flange", 14}, Node{&flange, L"4.Cap", 15, 1}});
            display->Refresh(pipe1.Unknown());
        }
    };
    pipes[1].children.pop_back(); // the selected 2.Pipe and 1.Valve go
    pipes[2].children.clear();
    Refresh(nullptr);
    EXPECT_EQ(leftovers, (std::vector<size_t>{1, 0})) << "a leftover is listed until it is deleted";
    EXPECT_EQ(Dump(), L"plant.json {Attributes | P-101 {1.Elbow | 3.Flange | 4.Cap}}") << "the refreshes ran after";
    entities.clear();
    display->RemoveAllItems();
    EXPECT_EQ(entities, (std::vector<IUnknown*>{file.Unknown(), comp1.Unknown()})) << "deselected before it goes";
    EXPECT_EQ(Tree().GetRootItem(), nullptr);
}

} // namespace
