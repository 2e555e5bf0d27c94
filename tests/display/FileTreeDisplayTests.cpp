// The file display base: inserting, rebuilding in place, deleting leftovers, over a real tree.
#include <functional>
#include <map>
#include <set>

#include "support/TreeHarness.h"
#include "display/FileTreeDisplay.h"

namespace {

class FakeEntity : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    ULONG references = 0;
};

// A node of the scripted file: its entity, text, image, item data and children.
struct Node {
    Node(FakeEntity* e, std::wstring t, int i = 0, DWORD_PTR d = 0, std::vector<Node> c = {})
        : entity(e), text(std::move(t)), image(i), data(d), children(std::move(c))
    {
    }
    FakeEntity* entity;
    std::wstring text;
    int image;
    DWORD_PTR data;
    std::vector<Node> children;
};

// A display whose file is a scripted list of nodes.
class ScriptedDisplay : public CFileTreeDisplay {
public:
    ScriptedDisplay(CMultiTree* tree, CTreeContentSettings* settings) : CFileTreeDisplay(tree, settings) {}

    std::vector<Node> model;
    std::vector<IUnknown*> broken;
    std::function<void()> duringPopulate;
    int populateCalls = 0;

    void Populate(IUnknown* entity, HTREEITEM hParent) override
    {
        ++populateCalls;
        if (duringPopulate)
            duringPopulate();
        if (!entity) {
            for (const Node& node : model)
                Insert(node, TVI_ROOT);
            return;
        }
        // The node of the entity whose parent is shown by hParent.
        std::function<bool(const std::vector<Node>&, HTREEITEM)> find = [&](const std::vector<Node>& nodes,
                                                                              HTREEITEM parentItem) {
            for (const Node& node : nodes) {
                if (node.entity == entity && parentItem == hParent) {
                    Insert(node, hParent);
                    return true;
                }
                HTREEITEM item = m_current.FindItem(node.entity, parentItem, node.data);
                if (!item)
                    item = m_stale.FindItem(node.entity, parentItem, node.data);
                if (item && find(node.children, item))
                    return true;
            }
            return false;
        };
        find(model, TVI_ROOT);
    }
    void GetBrokenEntities(std::vector<IUnknown*>& out) override { out.insert(out.end(), broken.begin(), broken.end()); }

    const CCorbEntities& Current() const { return m_current; }
    bool Settled() const { return m_stale.GetAllItems().empty() && m_lastInserted.empty(); }

private:
    void Insert(const Node& node, HTREEITEM parent)
    {
        HTREEITEM item = InsertEntityItem(node.entity, node.text, parent, TVI_LAST, node.image, node.data);
        for (const Node& child : node.children)
            Insert(child, item);
    }
};

class DisplayTest : public TreeTest {
protected:
    FakeEntity file, pipe1, pipe2, comp1, comp2, comp3, attrs;
    CTreeContentSettings settings;
    std::unique_ptr<ScriptedDisplay> display;
    std::map<UINT, int> sent; // tree messages by kind

    void SetUp() override
    {
        TreeTest::SetUp();
        Build({});
        display = std::make_unique<ScriptedDisplay>(&Tree(), &settings);
        display->model = {Node{&file, L"plant.json", 0, 0,
                               {Node{&attrs, L"Attributes", 2},
                                Node{&pipe1, L"P-101", 1, 0, {Node{&comp1, L"1.Elbow", 12}, Node{&comp2, L"2.Pipe", 13}}},
                                Node{&pipe2, L"P-102", 1, 0, {Node{&comp3, L"1.Valve", 16}}}}}};
        SetWindowSubclass(Tree().GetSafeHwnd(), CountingProc, 55, reinterpret_cast<DWORD_PTR>(&sent));
    }
    void TearDown() override
    {
        RemoveWindowSubclass(Tree().GetSafeHwnd(), CountingProc, 55);
        display.reset();
        TreeTest::TearDown();
    }

    static LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR counts)
    {
        if (message == TVM_INSERTITEMW || message == TVM_DELETEITEM || message == TVM_SETITEMW)
            ++(*reinterpret_cast<std::map<UINT, int>*>(counts))[message];
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }

    // Every item of the tree is registered, and nothing else; no refresh is half done.
    void CheckRegistry()
    {
        const std::vector<HTREEITEM> registered = display->Current().GetAllItems();
        EXPECT_EQ(AllItems(), std::set<HTREEITEM>(registered.begin(), registered.end()));
        EXPECT_TRUE(display->Settled());
    }

    HTREEITEM ItemOf(FakeEntity& entity)
    {
        auto items = display->GetItems(&entity);
        return items.empty() ? nullptr : items.front();
    }

    void Refresh(IUnknown* entity)
    {
        sent.clear();
        display->Refresh(entity);
        CheckRegistry();
        CheckInvariant();
    }
};

TEST_F(DisplayTest, BuildShowsTheFileWithOneInsertPerNode)
{
    Refresh(nullptr);
    EXPECT_EQ(Dump(nullptr, true), L"plant.json#0 {Attributes#2 | P-101#1 {1.Elbow#12 | 2.Pipe#13} | P-102#1 {1.Valve#16}}");
    EXPECT_EQ(sent[TVM_INSERTITEMW], 7);
    EXPECT_EQ(sent[TVM_SETITEMW], 0) << "text, image and item data travel with the insert";
    EXPECT_EQ(display->GetEntity(ItemOf(comp2)), &comp2);
    EXPECT_EQ(display->GetEntity(nullptr), nullptr);
    EXPECT_EQ(comp2.references, 1u);
}

TEST_F(DisplayTest, UnchangedFullRefreshKeepsEveryItemAndSendsNothing)
{
    Refresh(nullptr);
    const std::vector<HTREEITEM> before = display->Current().GetAllItems();
    Refresh(nullptr);
    EXPECT_EQ(display->Current().GetAllItems().size(), before.size());
    for (HTREEITEM item : before)
        EXPECT_NE(display->GetEntity(item), nullptr) << "every handle is kept";
    EXPECT_EQ(sent[TVM_INSERTITEMW], 0);
    EXPECT_EQ(sent[TVM_DELETEITEM], 0);
    EXPECT_EQ(sent[TVM_SETITEMW], 0);
}

TEST_F(DisplayTest, VanishedEntityTakesItsSubtreeAndKeptSelectionStays)
{
    Refresh(nullptr);
    HTREEITEM valve = ItemOf(comp3);
    HTREEITEM elbow = ItemOf(comp1);
    Tree().SetItemState(valve, TVIS_SELECTED, TVIS_SELECTED, FALSE);
    Tree().SetItemState(ItemOf(comp2), TVIS_SELECTED, TVIS_SELECTED, FALSE);
    display->model[0].children[1].children.pop_back(); // 2.Pipe goes
    display->model[0].children[2].text = L"P-102 (rev. B)";
    Refresh(nullptr);
    EXPECT_EQ(Dump(nullptr, true), L"plant.json#0 {Attributes#2 | P-101#1 {1.Elbow#12} | P-102 (rev. B)#1 {1.Valve#16}}");
    EXPECT_EQ(ItemOf(comp3), valve);
    EXPECT_EQ(ItemOf(comp1), elbow);
    EXPECT_TRUE(Tree().GetNativeState(valve, TVIS_SELECTED)) << "a selected kept item stays selected";
    EXPECT_EQ(sent[TVM_DELETEITEM], 1);
    EXPECT_EQ(sent[TVM_SETITEMW] - 1, 1) << "one text set; the deleted item's deselection is the other";
    EXPECT_EQ(comp2.references, 0u) << "the vanished entity is released";
}

TEST_F(DisplayTest, NewItemDataMakesANewNode)
{
    Refresh(nullptr);
    HTREEITEM old = ItemOf(attrs);
    display->model[0].children[0].data = 7;
    Refresh(nullptr);
    EXPECT_NE(ItemOf(attrs), old);
    EXPECT_EQ(sent[TVM_INSERTITEMW], 1);
    EXPECT_EQ(sent[TVM_DELETEITEM], 1);
    EXPECT_EQ(Dump(nullptr, true), L"plant.json#0 {Attributes#2 | P-101#1 {1.Elbow#12 | 2.Pipe#13} | P-102#1 {1.Valve#16}}")
        << "the new node takes the old one's place";
}

TEST_F(DisplayTest, ChildrenEndInTheOrderPopulateProducedThem)
{
    Refresh(nullptr);
    FakeEntity inserted;
    display->model[0].children[1].children.insert(display->model[0].children[1].children.begin() + 1,
                                                  Node{&inserted, L"1a.Flange", 14});
    Refresh(nullptr);
    EXPECT_EQ(Dump(nullptr, true), L"plant.json#0 {Attributes#2 | P-101#1 {1.Elbow#12 | 1a.Flange#14 | 2.Pipe#13} | P-102#1 {1.Valve#16}}");
    display.reset(); // before the entity it holds goes out of scope
}

TEST_F(DisplayTest, OneEntityRefreshRebuildsOnlyItsSubtrees)
{
    Refresh(nullptr);
    HTREEITEM file1 = ItemOf(file), other = ItemOf(comp3);
    display->model[0].children[1].children[0].text = L"1.Elbow 90";
    display->populateCalls = 0;
    Refresh(&pipe1);
    EXPECT_EQ(display->populateCalls, 1);
    EXPECT_EQ(Dump(nullptr, true), L"plant.json#0 {Attributes#2 | P-101#1 {1.Elbow 90#12 | 2.Pipe#13} | P-102#1 {1.Valve#16}}");
    EXPECT_EQ(sent[TVM_INSERTITEMW], 0);
    EXPECT_EQ(sent[TVM_SETITEMW], 1);
    EXPECT_EQ(ItemOf(file), file1);
    EXPECT_EQ(ItemOf(comp3), other);

    FakeEntity stranger;
    Refresh(&stranger);
    EXPECT_EQ(sent[TVM_INSERTITEMW] + sent[TVM_DELETEITEM] + sent[TVM_SETITEMW], 0) << "an entity not shown changes nothing";
}

TEST_F(DisplayTest, EntityAtSeveralPlacesIsRebuiltAtEachAndAnInnerPlaceOnce)
{
    // comp1 also shows in P-102, and once more inside its own node in P-101.
    display->model[0].children[2].children.push_back(Node{&comp1, L"1.Elbow", 12});
    display->model[0].children[1].children[0].children.push_back(Node{&comp1, L"(same)", 3, 1});
    Refresh(nullptr);
    ASSERT_EQ(display->GetItems(&comp1).size(), 3u);
    EXPECT_EQ(display->GetTopItems(&comp1).size(), 2u);
    display->populateCalls = 0;
    Refresh(&comp1);
    EXPECT_EQ(display->populateCalls, 2) << "once per top place";
    EXPECT_EQ(sent[TVM_INSERTITEMW] + sent[TVM_DELETEITEM], 0);
}

TEST_F(DisplayTest, LeftoversAreStillListedDuringARefresh)
{
    Refresh(nullptr);
    size_t during = 0;
    display->duringPopulate = [&] { during = display->GetItems(&comp2).size(); };
    display->Refresh(nullptr);
    EXPECT_EQ(during, 1u) << "the leftover of comp2, not yet reused";
    display->duringPopulate = nullptr;
    CheckRegistry();
}

TEST_F(DisplayTest, RemoveAllItemsDeselectsWithNotificationsAndDeletesEverything)
{
    Refresh(nullptr);
    Tree().SetItemState(ItemOf(comp1), TVIS_SELECTED, TVIS_SELECTED, FALSE);
    Tree().SetItemState(ItemOf(file), TVIS_SELECTED, TVIS_SELECTED, FALSE);
    ClearLog();
    display->RemoveAllItems();
    EXPECT_EQ(Tree().GetRootItem(), nullptr);
    EXPECT_EQ(OwnNotices(TVN_SELCHANGEDW).size(), 2u);
    CheckInvariant();
}

TEST_F(DisplayTest, BrokenItemsAreCopiedFromTheCurrentRegistry)
{
    // comp1 shows twice.
    display->model[0].children[2].children.push_back(Node{&comp1, L"1.Elbow", 12});
    Refresh(nullptr);
    display->broken = {&comp1};
    CCorbEntities out;
    display->GetBrokenItems(out);
    EXPECT_EQ(out.GetEntityItems(&comp1).size(), 2u);
    EXPECT_EQ(out.GetEntityCount(), 1);
}

} // namespace
