#include <gtest/gtest.h>

#include "settings/TreeContentSettings.h"
#include "units/Length.h"

namespace {

TEST(CTreeContentSettings, StartsWithKeypointsAndNumbersShownAndEveryCaptionItsKey)
{
    CTreeContentSettings settings;
    EXPECT_TRUE(settings.GetShowComponentKeypoints());
    EXPECT_FALSE(settings.GetShowSpools());
    EXPECT_EQ(settings.GetComponentText(), eCTComponentType);
    EXPECT_EQ(settings.GetComponentSequenceNos(), 1);
    EXPECT_EQ(settings.PeekWorkingUnits(L"Coordinates"), 0);
    EXPECT_EQ(settings.GetAttributeWorkingUnits(L"LENGTH"), L"");

    const wchar_t* const keys[] = {
        L"Keypoints", L"Internal", L"External", L"Coordinate", L"Bore", L"End Type", L"Information Items",
        L"Material", L"Component Type", L"SKEY", L"Item Code", L"Description", L"Group", L"Configuration",
        L"Construction Material", L"Pressure Rating", L"Weight", L"Attributes", L"Sheet", L"Sheets",
        L"Components", L"Unidentified Spool", L"Erection Items"};
    EXPECT_EQ(settings.GetDisplayNames().size(), std::size(keys));
    for (const wchar_t* key : keys)
        EXPECT_EQ(settings.GetDisplayName(key), key);
    EXPECT_EQ(settings.GetDisplayNames().size(), std::size(keys)) << "reading known keys enters nothing";
}

TEST(CTreeContentSettings, SwitchWritersNormalise)
{
    CTreeContentSettings settings;
    settings.SetShowSpools(-5);
    EXPECT_TRUE(settings.GetShowSpools());
    settings.SetShowSpools(0);
    EXPECT_FALSE(settings.GetShowSpools());
    settings.SetShowComponentKeypoints(0);
    EXPECT_FALSE(settings.GetShowComponentKeypoints());
    settings.SetShowComponentKeypoints(2);
    EXPECT_TRUE(settings.GetShowComponentKeypoints());
    settings.SetComponentSequenceNos(-1);
    EXPECT_EQ(settings.GetComponentSequenceNos(), 1);
    settings.SetComponentSequenceNos(0);
    EXPECT_EQ(settings.GetComponentSequenceNos(), 0);

    EXPECT_TRUE(settings.SetComponentText(eCTFlyText));
    EXPECT_EQ(settings.GetComponentText(), eCTFlyText);
    EXPECT_FALSE(settings.SetComponentText(2));
    EXPECT_FALSE(settings.SetComponentText(-1));
    EXPECT_FALSE(settings.SetComponentText(0x10000));
    EXPECT_EQ(settings.GetComponentText(), eCTFlyText) << "other values leave the setting as it was";
    EXPECT_TRUE(settings.SetComponentText(eCTComponentType));
    EXPECT_EQ(settings.GetComponentText(), eCTComponentType);
}

TEST(CTreeContentSettings, UnknownDisplayNameIsEnteredEmpty)
{
    CTreeContentSettings settings;
    EXPECT_EQ(settings.GetDisplayName(L"Valves"), L"");
    EXPECT_EQ(settings.GetDisplayNames().count(L"Valves"), 1u);
    EXPECT_EQ(settings.GetDisplayName(L"keypoints"), L"") << "keys compare exactly";

    settings.SetDisplayName(L"Keypoints", L"Points");
    settings.SetDisplayName(L"Valves", L"Armatures");
    EXPECT_EQ(settings.GetDisplayName(L"Keypoints"), L"Points");
    EXPECT_EQ(settings.GetDisplayName(L"Valves"), L"Armatures");
}

TEST(CTreeContentSettings, WorkingUnitsReadByDisplaysEnterTheKeyButTheHostsReadDoesNot)
{
    CTreeContentSettings settings;
    EXPECT_EQ(settings.PeekWorkingUnits(L"Weights"), 0);
    EXPECT_FALSE(settings.GetWorkingUnitsTable().Contains(L"Weights"));
    EXPECT_EQ(settings.GetWorkingUnits(L"Weights"), 0);
    EXPECT_TRUE(settings.GetWorkingUnitsTable().Contains(L"Weights"));

    settings.SetWorkingUnits(L"Coordinates", 3);
    settings.SetWorkingUnits(L"Anything", 99);
    EXPECT_EQ(settings.GetWorkingUnits(L"Coordinates"), 3);
    EXPECT_EQ(settings.PeekWorkingUnits(L"Anything"), 99);
}

TEST(CTreeContentSettings, AttributeMapChoosesTheValueTypeKey)
{
    CTreeContentSettings settings;
    EXPECT_EQ(settings.ValueTypeKeyOfAttribute(L"LENGTH", CTreeContentSettings::kCoordinatesKey), L"Coordinates");
    EXPECT_EQ(settings.GetAttributeWorkingUnits(L"LENGTH"), L"") << "the lookup enters nothing";

    // A length attribute sent to "Weights" takes the weights' code as a length code: 1 is metres.
    settings.SetAttributeWorkingUnits(L"LENGTH", L"Weights");
    settings.SetWorkingUnits(L"Weights", 1);
    std::wstring key = settings.ValueTypeKeyOfAttribute(L"LENGTH", CTreeContentSettings::kCoordinatesKey);
    EXPECT_EQ(key, L"Weights");
    EXPECT_EQ(settings.GetAttributeWorkingUnits(L"LENGTH"), L"Weights");
    int units = settings.GetWorkingUnits(key);
    CLength length;
    EXPECT_EQ(length.FormatInUnits(length.Convert(1500.0, CLength::eMillimetres, units), units), L"1.5m");
}

} // namespace
