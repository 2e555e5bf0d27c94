// One RUV file's branch of the tree, built from the RUV object model: the file node, its
// attributes and pipelines, and below them the detail nodes (attributes, keypoints, sheets).
// Classification of entities comes from the navigator the display creates for its file.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "RUVObjectModel.h"
#include "display/FileTreeDisplay.h"
#include "platform/com/ComPtr.h"
#include "units/UnitVal.h"

class CRUV3TreeDisplay : public CFileTreeDisplay {
public:
    template <typename T>
    using Ptr = platform::ComPtr<T>;
    using SharedUnitValPtr = std::shared_ptr<CUnitVal>;

    // Creates and attaches the navigator; raises the COM error E_POINTER when it cannot be
    // created, run or queried, and Attach's error when attaching fails.
    CRUV3TreeDisplay(CMultiTree* pTree, CTreeContentSettings* pSettings, Ptr<IRUVFile> file);
    ~CRUV3TreeDisplay() override;

    bool OwnsEntity(IUnknown* entity) override;
    IUnknown* GetRefreshEntity(IUnknown* entity) override;
    void Populate(IUnknown* entity, HTREEITEM hParent) override;
    void GetBrokenEntities(std::vector<IUnknown*>& out) override;

    using SpoolSummaryMap = std::map<std::wstring, Ptr<IRUVInformationItem>>;

    HTREEITEM PopulateFile(Ptr<IRUVFile> file, HTREEITEM hParent);
    HTREEITEM PopulatePipeline(Ptr<IRUVPipeline> pipeline, HTREEITEM hParent);
    HTREEITEM PopulateAttributes(Ptr<IRUVAttributes> attributes, HTREEITEM hParent, int image, int rowImage);
    HTREEITEM PopulateKeypoints(Ptr<IRUVComponent> component, HTREEITEM hParent, int image, int keypointImage,
                                int rowImage);
    HTREEITEM PopulateSheets(Ptr<IRUVSheets> sheets, HTREEITEM hParent, int image, int sheetImage);

    // Components and materials.
    HTREEITEM PopulateComponent(Ptr<IRUVComponent> component, HTREEITEM hParent, int number);
    HTREEITEM PopulateMaterial(Ptr<IRUVMaterial> material, HTREEITEM hParent);
    int GetComponentImage(Ptr<IRUVMaterial> material);
    static int GetGroupImage(const std::wstring& group);
    static int GetMaterialImage(const std::wstring& group);
    // The number a component's node shows now, for rebuilding that node alone.
    int GetSequenceNumber(Ptr<IRUVComponent> component);

    // Component lists, spools and information items.
    HTREEITEM PopulateInformationItems(Ptr<IRUVInformationItems> items, HTREEITEM hParent, int groupImage,
                                       int itemImage, int attributesImage, int rowImage);
    HTREEITEM PopulateComponents(Ptr<IRUVPipeline> pipeline, HTREEITEM hParent);
    SpoolSummaryMap BuildSpoolSummaryMap(Ptr<IRUVInformationItems> items);
    HTREEITEM PopulateSpool(Ptr<IRUVInformationItem> summary, Ptr<IRUVComponentGroup> group, HTREEITEM hParent);
    HTREEITEM PopulateErectionItems(Ptr<IRUVPipeline> pipeline, Ptr<IRUVComponentGroup> group, HTREEITEM hParent,
                                    int groupIndex);

    std::wstring FormatAttribute(Ptr<IRUVAttribute> attribute);
    SharedUnitValPtr MakeLengthValue(Ptr<IRUVAttribute> attribute, const std::wstring& key, int native);
    SharedUnitValPtr MakeWeightValue(Ptr<IRUVAttribute> attribute, const std::wstring& key, int native);
    std::wstring FormatCoordinates(double x, double y, double z);
    std::wstring FormatSheetName(Ptr<IRUVSheet> sheet);

    // Whether the component's IMPORT-STATUS attribute reads exactly "BROKEN".
    bool IsBroken(Ptr<IRUVComponent> component);
    // The component a group member names (its VARIANT holds it as IDispatch or IUnknown).
    static Ptr<IRUVComponent> ComponentOfMember(Ptr<IRUVGroupMember> member);

    // The navigator's kind of an entity of this file (0: not of it).
    long KindOf(IUnknown* entity);

private:
    void ForEachPipeline(const std::function<void(Ptr<IRUVPipeline>)>& visit);
    void ForEachMember(const Ptr<IRUVComponentGroup>& group, const std::function<void(Ptr<IRUVComponent>, long)>& visit);
    // The spools of a pipeline, each a spool node or an "Erection Items" node.
    void PopulateSpools(Ptr<IRUVPipeline> pipeline, HTREEITEM pipelineItem);
    // The type dictionary of a material's file (null when it lacks the interface).
    Ptr<IRUVTypeDictionary> DictionaryOf(Ptr<IRUVMaterial> material);
    // The owner of the given kind of an entity, through the navigator, or null.
    Ptr<IUnknown> OwnerOf(IUnknown* entity, long kind);
    std::wstring DisplayName(const wchar_t* key);
    template <typename Value>
    SharedUnitValPtr MakeUnitValue(Ptr<IRUVAttribute> attribute, const std::wstring& key, int native);

    CMultiTree* m_pTreeCtrl;
    Ptr<IRUVFile> m_file;
    Ptr<IRUVNavigator> m_navigator;
};
