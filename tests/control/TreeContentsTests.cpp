// The list of loaded files over the real RUV display: files added, replaced, found and removed,
// refreshes of an entity's owners only and of every file past a failing one, and a parent that
// removes the files from inside the notifications of a rebuild.
#include "Faults.h"
#include "support/ModelTreeTest.h"
#include "control/TreeContents.h"
#include "platform/com/ComError.h"
#include "platform/com/ScopedVariant.h"

using platform::ComPtr;

namespace {

class Contents : public ModelTreeTest {
protected:
    void SetUp() override
    {
        ModelTreeTest::SetUp();
        first = modelkit::Document(R"({"version": 1, "attributes": [ {"name": "A", "value": "1"}, {"name": "B", "value": "2"} ],
                                       "pipelines": [ {"name": "P-1", "sheets": [1]} ]})", L"first.json");
        second = modelkit::Document(R"({"version": 1, "pipelines": [ {"name": "Q-1"}, {"name": "Q-2"} ]})", L"second.json");
        firstFile = modelkit::FileOf(first.Get());
        secondFile = modelkit::FileOf(second.Get());
        contents = std::make_unique<CTreeContents>(&Tree());
        contents->AddFile(firstFile.Get());
        contents->AddFile(secondFile.Get());
        attributeRow = Tree().GetChildItem(Tree().GetChildItem(Tree().GetRootItem())); // "A = 1" of the first
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

    ComPtr<IRUVDocument> first, second;
    ComPtr<IRUVFile> firstFile, secondFile;
    std::unique_ptr<CTreeContents> contents;
    HTREEITEM attributeRow = nullptr;
};

TEST_F(Contents, FilesAreAddedFoundReplacedAndRemoved)
{
    EXPECT_EQ(contents->GetFileCount(), 2u);
    ASSERT_NE(contents->GetEntity(attributeRow), nullptr);
    EXPECT_EQ(contents->GetEntity(nullptr), nullptr);
    EXPECT_EQ(contents->GetItems(contents->GetEntity(attributeRow)), (std::vector<HTREEITEM>{attributeRow}));
    EXPECT_TRUE(contents->IsTopItem(Tree().GetRootItem()) && contents->IsTopItem(attributeRow));
    CCorbEntities broken;
    contents->GetBrokenItems(broken);
    EXPECT_TRUE(broken.GetAllItems().empty());
    const UINT count = Tree().GetCount();
    contents->AddFile(firstFile.Get());
    EXPECT_EQ(contents->GetFileCount(), 2u) << "adding a listed file again replaces its branch";
    EXPECT_EQ(Tree().GetCount(), count) << "no orphaned items of the old display";
    contents->RemoveFile(nullptr); // not listed: nothing
    contents->RemoveFile(firstFile.Get());
    EXPECT_EQ(Dump(), L"second.json {Attributes | Q-1 {Attributes | Components | Sheets} | Q-2 {Attributes | Components | Sheets}}");
}

TEST_F(Contents, UpdateRebuildsOwnersOnlyAndEveryFilePastAFailingOne)
{
    ComPtr<IUnknown> attribute(contents->GetEntity(attributeRow));
    ASSERT_EQ(first->SetAttributeValue(attribute.Query<IRUVAttribute>().Get(), platform::ScopedVariant(L"changed").Value()), S_OK);
    contents->Update(attribute.Get());
    EXPECT_EQ(Dump(attributeRow).substr(0, 14), L"A = changed  |") << "a value without units ends in a blank";
    EXPECT_EQ(Tree().GetChildItem(Tree().GetChildItem(Tree().GetRootItem())), attributeRow) << "rebuilt in place";
    const UINT count = Tree().GetCount();
    contents->Update(second.Get()); // a document object is no entity of any file
    contents->Update(nullptr);
    EXPECT_EQ(Tree().GetCount(), count);

    // Both files gain a pipeline; whichever is refreshed first fails, and the other still shows its.
    modelkit::Call(first.Get(), L"AddPipeline", {L"P-2"});
    modelkit::Call(second.Get(), L"AddPipeline", {L"Q-3"});
    ruvmodel::faults::Inject(L"IRUVFile.GetFileName", 1, E_FAIL);
    EXPECT_THROW(contents->Update(nullptr), platform::ComError);
    const std::wstring shown = Dump();
    EXPECT_NE(shown.find(L"P-2") == std::wstring::npos, shown.find(L"Q-3") == std::wstring::npos) << shown;
}

TEST_F(Contents, AParentMayRemoveTheFilesBeingRebuilt)
{
    // The selected row's attribute goes; deleting its row notifies the parent, which removes both
    // files there and then.
    Tree().SetItemState(attributeRow, TVIS_SELECTED, TVIS_SELECTED, FALSE);
    ASSERT_EQ(first->RemoveAttribute(ComPtr<IUnknown>(contents->GetEntity(attributeRow)).Query<IRUVAttribute>().Get()), S_OK);
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
}

} // namespace
