// Conformance of painting and memory contexts on the headless layer:
// BeginPaint gives a context of the window's client area that EndPaint
// releases, SelectObject answers the object of the same kind selected
// before, the mapping mode
// is MM_TEXT and DPtoLP leaves the points as they are, BitBlt needs two
// valid contexts, and a window's context is not deleted by DeleteDC.
#include <gtest/gtest.h>
#include <windows.h>

#include "winapi_headless.h"

namespace {

class Contexts : public ::testing::Test {
  protected:
    void SetUp() override {
        WinapiDialogsReset();
        window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 30, 20, nullptr, nullptr, nullptr,
                                 nullptr);
        ASSERT_NE(nullptr, window);
    }
    void TearDown() override {
        DestroyWindow(window);
        WinapiDialogsReset();
    }
    HWND window = nullptr;
};

TEST_F(Contexts, BeginPaintGivesAContextOfTheClientAreaThatEndPaintReleases) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    ASSERT_NE(nullptr, dc);
    EXPECT_EQ(dc, ps.hdc);
    EXPECT_EQ(0, ps.rcPaint.left);
    EXPECT_EQ(0, ps.rcPaint.top);
    EXPECT_EQ(30, ps.rcPaint.right);
    EXPECT_EQ(20, ps.rcPaint.bottom);
    EXPECT_TRUE(TextOutA(dc, 0, 0, "x", 1));
    EXPECT_TRUE(EndPaint(window, &ps));
    EXPECT_FALSE(TextOutA(dc, 0, 0, "x", 1)) << "released by EndPaint";
    EXPECT_EQ(nullptr, BeginPaint(reinterpret_cast<HWND>(0x1234), &ps));
    EXPECT_EQ(nullptr, BeginPaint(window, nullptr));
}

TEST_F(Contexts, SelectObjectAnswersWhatWasSelectedOfTheSameKind) {
    HDC memory = CreateCompatibleDC(nullptr);
    ASSERT_NE(nullptr, memory);
    LOGFONTA description = {};
    description.lfHeight = -11;
    HFONT font = CreateFontIndirectA(&description);
    ASSERT_NE(nullptr, font);
    // A new context holds the white brush, the black pen and the system font.
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), SelectObject(memory, GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(GetStockObject(BLACK_PEN), SelectObject(memory, GetStockObject(WHITE_PEN)));
    EXPECT_EQ(GetStockObject(SYSTEM_FONT), SelectObject(memory, font));
    // Each kind keeps its own: the font back, the brush as it was chosen.
    EXPECT_EQ(font, SelectObject(memory, GetStockObject(SYSTEM_FONT)));
    EXPECT_EQ(GetStockObject(BLACK_BRUSH), SelectObject(memory, GetStockObject(WHITE_BRUSH)));
    // Invalid contexts and objects select nothing.
    EXPECT_EQ(nullptr, SelectObject(reinterpret_cast<HDC>(0x1234), font));
    EXPECT_EQ(nullptr, SelectObject(memory, reinterpret_cast<HGDIOBJ>(0x1234)));
    EXPECT_EQ(nullptr, SelectObject(memory, nullptr));
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), SelectObject(memory, GetStockObject(GRAY_BRUSH)));
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_FALSE(DeleteDC(memory));
    EXPECT_EQ(nullptr, SelectObject(memory, font)) << "a deleted context";
    EXPECT_TRUE(DeleteObject(font));
}

TEST_F(Contexts, TheMappingModeIsText) {
    HDC dc = GetDC(window);
    ASSERT_NE(nullptr, dc);
    EXPECT_EQ(MM_TEXT, GetMapMode(dc));
    EXPECT_EQ(MM_TEXT, SetMapMode(dc, MM_TEXT));
    EXPECT_EQ(0, SetMapMode(dc, 2)) << "only MM_TEXT is kept";
    EXPECT_EQ(MM_TEXT, GetMapMode(dc));
    POINT points[2] = {{3, 4}, {-5, 6}};
    EXPECT_TRUE(DPtoLP(dc, points, 2));
    EXPECT_EQ(3, points[0].x);
    EXPECT_EQ(4, points[0].y);
    EXPECT_EQ(-5, points[1].x);
    EXPECT_EQ(6, points[1].y);
    EXPECT_FALSE(DPtoLP(dc, nullptr, 1));
    EXPECT_EQ(0, GetMapMode(reinterpret_cast<HDC>(0x1234)));
    ReleaseDC(window, dc);
}

TEST_F(Contexts, BitBltNeedsTwoValidContextsAndAWindowsContextIsNotDeleted) {
    HDC dc = GetDC(window);
    HDC memory = CreateCompatibleDC(dc);
    ASSERT_NE(nullptr, dc);
    ASSERT_NE(nullptr, memory);
    EXPECT_TRUE(BitBlt(dc, 0, 0, 10, 10, memory, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dc, 0, 0, 10, 10, reinterpret_cast<HDC>(0x1234), 0, 0, SRCCOPY));
    EXPECT_FALSE(DeleteDC(dc)) << "a window's context is released, not deleted";
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_FALSE(BitBlt(dc, 0, 0, 10, 10, memory, 0, 0, SRCCOPY));
    EXPECT_EQ(1, ReleaseDC(window, dc));
    EXPECT_EQ(nullptr, CreateCompatibleDC(dc)) << "a released context makes none";
}

} // namespace
