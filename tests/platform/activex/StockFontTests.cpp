// The stock Font: a default font with a handle; changes in place and replacements reported to the
// control; replacements cloned, so that the host's own font stays the host's; and a font that
// outlives its control reaching nobody.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include "platform/activex/StockFont.h"
#include "platform/com/ComError.h"

namespace {

using platform::ComPtr;
using platform::StockFont;

double Points(IFontDisp* font)
{
    CY size{};
    platform::QueryOrNull<IFont>(font)->get_Size(&size);
    return size.int64 / 10000.0;
}

TEST(StockFont, ChangesReachTheControlWhileItLives)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    int changes = 0;
    ComPtr<IFontDisp> kept;
    {
        StockFont font([&] { ++changes; });
        ASSERT_NE(font.Handle(), nullptr);
        const HFONT before = font.Handle();
        ASSERT_EQ(platform::QueryOrNull<IFont>(font.Get().Get())->put_Size(CY{{20 * 10000, 0}}), S_OK);
        EXPECT_EQ(changes, 1);
        EXPECT_NE(font.Handle(), before) << "a new handle for the new size";

        FONTDESC description = StockFont::DefaultDescription();
        description.cySize.int64 = 14 * 10000;
        ComPtr<IFont> hosts;
        ASSERT_EQ(OleCreateFontIndirect(&description, IID_IFont, reinterpret_cast<void**>(hosts.Receive())), S_OK);
        ASSERT_EQ(font.Set(hosts.Get()), S_OK);
        EXPECT_EQ(changes, 2);
        EXPECT_NEAR(Points(font.Get().Get()), 14, 0.5) << "the font object rounds to what it realises";
        hosts->put_Size(CY{{24 * 10000, 0}});
        EXPECT_EQ(changes, 2) << "the host's own font is not the control's";
        ASSERT_EQ(font.Set(nullptr), S_OK);
        EXPECT_NEAR(Points(font.Get().Get()), 8, 0.5) << "none restores the default";
        EXPECT_EQ(changes, 3);
        kept = font.Get();
    }
    // The control is gone but a script still holds its font: a change must reach nobody.
    EXPECT_EQ(platform::QueryOrNull<IFont>(kept.Get())->put_Size(CY{{30 * 10000, 0}}), S_OK);
    EXPECT_EQ(changes, 3);
    kept.Reset();
    CoUninitialize();
}

} // namespace
