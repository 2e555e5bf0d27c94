// The stock Font: a default font with a handle, changes in place and replacements reported to the
// control, replacements cloned so that the host's own font stays the host's.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include "platform/activex/StockFont.h"

namespace {

using platform::ComPtr;
using platform::StockFont;

ComPtr<IFont> FontOf(const ComPtr<IFontDisp>& disp)
{
    ComPtr<IFont> font;
    disp->QueryInterface(IID_IFont, reinterpret_cast<void**>(font.Receive()));
    return font;
}

LONG HeightOf(HFONT font)
{
    LOGFONTW description{};
    GetObjectW(font, sizeof(description), &description);
    return description.lfHeight;
}

class StockFontTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(StockFontTest, ChangesInPlaceReachTheControl)
{
    int changes = 0;
    ComPtr<IFontDisp> kept;
    {
        StockFont font([&] { ++changes; });
        ASSERT_NE(font.Handle(), nullptr);
        const LONG before = HeightOf(font.Handle());
        kept = font.Get();
        CY size;
        size.int64 = 20 * 10000;
        ASSERT_EQ(FontOf(kept)->put_Size(size), S_OK);
        EXPECT_EQ(changes, 1);
        EXPECT_NE(HeightOf(font.Handle()), before);
    }
    // The control is gone but a script still holds its font: changing it must reach nobody.
    CY size;
    size.int64 = 30 * 10000;
    EXPECT_EQ(FontOf(kept)->put_Size(size), S_OK);
    EXPECT_EQ(changes, 1);
}

TEST_F(StockFontTest, AReplacementIsClonedAndNullRestoresTheDefault)
{
    int changes = 0;
    StockFont font([&] { ++changes; });
    FONTDESC description = StockFont::DefaultDescription();
    description.cySize.int64 = 14 * 10000;
    ComPtr<IFont> hosts;
    ASSERT_EQ(OleCreateFontIndirect(&description, IID_IFont, reinterpret_cast<void**>(hosts.Receive())), S_OK);

    ASSERT_EQ(font.Set(hosts.Get()), S_OK);
    EXPECT_EQ(changes, 1);
    CY size{};
    FontOf(font.Get())->get_Size(&size);
    EXPECT_NEAR(size.int64 / 10000.0, 14, 0.5) << "the font object rounds to what it realises";
    EXPECT_NE(static_cast<IUnknown*>(FontOf(font.Get()).Get()), static_cast<IUnknown*>(hosts.Get()));

    CY bigger;
    bigger.int64 = 24 * 10000;
    hosts->put_Size(bigger);
    EXPECT_EQ(changes, 1) << "the host's own font is not the control's";

    ASSERT_EQ(font.Set(nullptr), S_OK);
    FontOf(font.Get())->get_Size(&size);
    EXPECT_NEAR(size.int64 / 10000.0, 8, 0.5);
    EXPECT_EQ(changes, 2);
}

} // namespace
