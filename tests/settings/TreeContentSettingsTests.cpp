// The content settings: switches that normalise what hosts write, captions that enter unknown
// keys empty, working units that only the displays' read enters, and the attribute-to-key map.
// (Their starting values and captions show in the golden dumps of the sample plant.)
#include <gtest/gtest.h>

#include "settings/TreeContentSettings.h"

namespace {

TEST(CTreeContentSettings, SwitchesTakeAnyNonzeroAsOnAndComponentTextOnlyItsTwoValues)
{
    CTreeContentSettings settings;
    const std::pair<long, bool> values[] = {{-5, true}, {0, false}, {2, true}, {1, true}};
    for (const auto& [value, on] : values) {
        settings.SetShowSpools(value);
        settings.SetShowComponentKeypoints(value);
        settings.SetComponentSequenceNos(value);
        EXPECT_EQ(settings.GetShowSpools(), on) << value;
        EXPECT_EQ(settings.GetShowComponentKeypoints(), on) << value;
        EXPECT_EQ(settings.GetComponentSequenceNos(), on ? 1 : 0) << value;
    }
    EXPECT_TRUE(settings.SetComponentText(eCTFlyText));
    for (long refused : {2L, -1L, 0x10000L})
        EXPECT_FALSE(settings.SetComponentText(refused)) << refused;
    EXPECT_EQ(settings.GetComponentText(), eCTFlyText) << "refused values leave the setting as it was";
}

TEST(CTreeContentSettings, AnUnknownCaptionIsEnteredEmptyAndKnownOnesEnterNothing)
{
    CTreeContentSettings settings;
    const size_t known = settings.GetDisplayNames().size();
    EXPECT_EQ(settings.GetDisplayName(L"Keypoints"), L"Keypoints");
    EXPECT_EQ(settings.GetDisplayNames().size(), known);
    EXPECT_EQ(settings.GetDisplayName(L"keypoints"), L"") << "keys compare exactly";
    EXPECT_EQ(settings.GetDisplayNames().size(), known + 1);
    settings.SetDisplayName(L"Keypoints", L"Points");
    settings.SetDisplayName(L"Valves", L"Armatures");
    EXPECT_EQ(settings.GetDisplayName(L"Keypoints"), L"Points");
    EXPECT_EQ(settings.GetDisplayName(L"Valves"), L"Armatures");
}

TEST(CTreeContentSettings, TheDisplaysReadOfWorkingUnitsEntersTheKeyTheHostsDoesNot)
{
    CTreeContentSettings settings;
    EXPECT_EQ(settings.PeekWorkingUnits(L"Weights"), 0);
    EXPECT_FALSE(settings.GetWorkingUnitsTable().Contains(L"Weights"));
    EXPECT_EQ(settings.GetWorkingUnits(L"Weights"), 0);
    EXPECT_TRUE(settings.GetWorkingUnitsTable().Contains(L"Weights"));
    settings.SetWorkingUnits(L"Anything", 99);
    EXPECT_EQ(settings.PeekWorkingUnits(L"Anything"), 99);
}

TEST(CTreeContentSettings, AnAttributesOwnKeyWinsOverTheKeyOfItsKind)
{
    CTreeContentSettings settings;
    EXPECT_EQ(settings.ValueTypeKeyOfAttribute(L"LENGTH", CTreeContentSettings::kCoordinatesKey), L"Coordinates");
    EXPECT_EQ(settings.GetAttributeWorkingUnits(L"LENGTH"), L"") << "the lookup enters nothing";
    settings.SetAttributeWorkingUnits(L"LENGTH", L"Weights");
    EXPECT_EQ(settings.ValueTypeKeyOfAttribute(L"LENGTH", CTreeContentSettings::kCoordinatesKey), L"Weights");
    EXPECT_EQ(settings.GetAttributeWorkingUnits(L"LENGTH"), L"Weights");
}

} // namespace
