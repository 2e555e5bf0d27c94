// The file display list: files added, replaced and removed, fan-outs, and a parent that removes
// files from inside the notifications of a rebuild.
#include "support/ModelTreeTest.h"
#include "control/TreeContents.h"

using platform::ComPtr;

namespace {

const char* const kFirst = R"({"version": 1,
  "attributes": [ {"name": "A", "value": "1"}, {"name": "B", "value": "2"} ],
  "pipelines": [ {"name": "P-1", "sheets": [1]} ]})";
const char* const kSecond = R"({"version": 1, "pipelines": [ {"name": "Q-1"}, {"name": "Q-2"} ]})";

class Contents : public ModelTreeTest {
protected:
    void SetUp() override
    {
        ModelTreeTest::SetUp();
        first = modelkit::Document(kFirst, L"first.json");
        second = modelkit::Document(kSecond, L"second.json");
        firstFile = modelkit::FileOf(first.Get());
        secondFile = modelkit::FileOf(second.Get());
        contents = std::make_unique<CTreeContents>(&Tree());
    }
    void ReleaseAll() override
    {
        Parent().onNotice = nullptr;
        contents.reset();
        firstFile.Reset();
        secondFile.Reset();
        first.Reset();
        second.Reset();
    }

    // The first attribute row of the first file.
    HTREEITEM FirstAttributeRow()
    {
        for (HTREEITEM file = Tree().GetRootItem(); file; file = Tree().GetNextSiblingItem(file)) {
            HTREEITEM attributes = Tree().GetChildItem(file);
            if (attributes && Tree().GetChildItem(attributes) && Dump(file).rfind(L"first.json", 0) == 0)
                return Tree().GetChildItem(attributes);
        }
        return nullptr;
    }

    ComPtr<IRUVDocument> first, second;
    ComPtr<IRUVFile> firstFile, secondFile;
    std::unique_ptr<CTreeContents> contents;
};

TEST_F(Contents, FilesAreAddedFoundAndRemoved)
{
    contents->AddFile(firstFile.Get());
    contents->AddFile(secondFile.Get());
    EXPECT_EQ(contents->GetFileCount(), 2u);
    HTREEITEM row = FirstAttributeRow();
    ASSERT_NE(row, nullptr);
    EXPECT_NE(contents->GetEntity(row), nullptr);
    EXPECT_EQ(contents->GetEntity(nullptr), nullptr);
    EXPECT_EQ(contents->GetItems(contents->GetEntity(row)), (std::vector<HTREEITEM>{row}));
    EXPECT_TRUE(contents->IsTopItem(Tree().GetRootItem()));
    EXPECT_TRUE(contents->IsTopItem(row));

    contents->RemoveFile(nullptr); // not listed: nothing
    EXPECT_EQ(contents->GetFileCount(), 2u);
    contents->RemoveFile(firstFile.Get());
    EXPECT_EQ(Dump(), L"second.json {Attributes | Q-1 {Attributes | Components | Sheets} | Q-2 {Attributes | Components | Sheets}}");
    CheckInvariant();
}

TEST_F(Contents, AddingAListedFileAgainReplacesItsBranch)
{
    contents->AddFile(firstFile.Get());
    const UINT count = Tree().GetCount();
    contents->AddFile(firstFile.Get());
    EXPECT_EQ(contents->GetFileCount(), 1u);
    EXPECT_EQ(Tree().GetCount(), count) << "no orphaned items of the old display";
}

TEST_F(Contents, UpdateRebuildsOwnersOnly)
{
    contents->AddFile(firstFile.Get());
    contents->AddFile(secondFile.Get());
    HTREEITEM row = FirstAttributeRow();
    ComPtr<IUnknown> attribute(contents->GetEntity(row));
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = SysAllocString(L"changed");
    ASSERT_EQ(first->SetAttributeValue(attribute.Query<IRUVAttribute>().Get(), value), S_OK);
    VariantClear(&value);
    contents->Update(attribute.Get());
    EXPECT_EQ(Dump(Tree().GetChildItem(Tree().GetChildItem(Tree().GetRootItem()))).substr(0, 14), L"A = changed  |") << "a value without units ends in a blank";
    EXPECT_EQ(FirstAttributeRow(), row) << "rebuilt in place";

    const UINT count = Tree().GetCount();
    contents->Update(second.Get()); // a document object is no entity of any file
    EXPECT_EQ(Tree().GetCount(), count);
    contents->Update(nullptr);
    EXPECT_EQ(Tree().GetCount(), count);
    CheckInvariant();
}

TEST_F(Contents, AParentMayRemoveTheFileBeingRebuilt)
{
    contents->AddFile(firstFile.Get());
    contents->AddFile(secondFile.Get());
    HTREEITEM row = FirstAttributeRow();
    Tree().SetItemState(row, TVIS_SELECTED, TVIS_SELECTED, FALSE);
    // The selected row's attribute goes; deleting its row notifies the parent, which removes both
    // files there and then.
    ComPtr<IRUVAttribute> attribute = ComPtr<IUnknown>(contents->GetEntity(row)).Query<IRUVAttribute>();
    ASSERT_EQ(first->RemoveAttribute(attribute.Get()), S_OK);
    attribute.Reset();
    Parent().onNotice = [this](const Notice& n) {
        if (n.own && n.code == TVN_SELCHANGEDW && n.itemOld) {
            contents->RemoveFile(firstFile.Get());
            contents->RemoveFile(secondFile.Get());
        }
    };
    contents->Update(nullptr);
    Parent().onNotice = nullptr;
    EXPECT_EQ(contents->GetFileCount(), 0u);
    EXPECT_EQ(Tree().GetRootItem(), nullptr) << "both branches are gone once the rebuild is over";
    CheckInvariant();
}

TEST_F(Contents, BrokenItemsOfEveryFile)
{
    contents->AddFile(firstFile.Get());
    CCorbEntities broken;
    contents->GetBrokenItems(broken);
    EXPECT_EQ(broken.GetAllItems().size(), 0u);
}

} // namespace

namespace {

// A display whose branch is one item of the file, a child of another entity, and a grandchild that
// shows the file again.
class NestedDisplay : public CFileTreeDisplay {
public:
    NestedDisplay(CMultiTree* tree, CTreeContentSettings* settings, IUnknown* file, IUnknown* other)
        : CFileTreeDisplay(tree, settings), m_file(file), m_other(other)
    {
    }
    void Populate(IUnknown*, HTREEITEM hParent) override
    {
        HTREEITEM top = InsertEntityItem(m_file, L"file", hParent, TVI_LAST, 0, 0);
        HTREEITEM child = InsertEntityItem(m_other, L"child", top, TVI_LAST, 0, 0);
        InsertEntityItem(m_file, L"again", child, TVI_LAST, 0, 0);
    }

private:
    IUnknown* m_file;
    IUnknown* m_other;
};

TEST_F(Contents, TopItemsAreThoseWithoutAnAncestorOfTheirEntity)
{
    ComPtr<IRUVPipelines> other;
    firstFile->GetPipelines(other.Receive());
    CTreeContents nested(&Tree(), [&](CMultiTree* tree, CTreeContentSettings* settings, ComPtr<IRUVFile> file) {
        return std::make_shared<NestedDisplay>(tree, settings, file.Get(), other.Get());
    });
    nested.AddFile(firstFile.Get());
    HTREEITEM top = Tree().GetRootItem();
    HTREEITEM child = Tree().GetChildItem(top);
    HTREEITEM grandchild = Tree().GetChildItem(child);
    EXPECT_TRUE(nested.IsTopItem(top));
    EXPECT_TRUE(nested.IsTopItem(child));
    EXPECT_FALSE(nested.IsTopItem(grandchild)) << "its grandparent shows the same entity";
    // In the registry's order: by parent handle, and TVI_ROOT is the largest.
    EXPECT_EQ(nested.GetItems(firstFile.Get()), (std::vector<HTREEITEM>{grandchild, top}));
    nested.RemoveFile(firstFile.Get());
    EXPECT_EQ(Tree().GetRootItem(), nullptr);
}

} // namespace
