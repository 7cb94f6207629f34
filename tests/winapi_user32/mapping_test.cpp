// Conformance of MapWindowPoints and of the window device contexts: the
// offsets it answers in its low and high words, NULL as the screen, an
// invalid window, and GetDC / ReleaseDC in pairs.
#include <gtest/gtest.h>
#include <windows.h>

#include "winapi_headless.h"

namespace {

LRESULT CALLBACK PlainProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(h, msg, wp, lp);
}

class Mapping : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA wc;
        memset(&wc, 0, sizeof wc);
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "MappingTest";
        RegisterClassA(&wc);
        top = CreateWindowExA(0, "MappingTest", "top", WS_OVERLAPPEDWINDOW, 100, 50, 400, 300,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        child = CreateWindowExA(0, "MappingTest", "child", WS_CHILD | WS_VISIBLE, 30, 20, 100, 80,
                                top, nullptr, GetModuleHandleA(nullptr), nullptr);
        other = CreateWindowExA(0, "MappingTest", "other", WS_POPUP, 600, 400, 100, 100, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(top && child && other);
    }
    void TearDown() override {
        DestroyWindow(other);
        DestroyWindow(top);
    }
    HWND top = nullptr, child = nullptr, other = nullptr;
};

TEST_F(Mapping, OffsetsInTheWordsOfTheAnswer) {
    POINT origin = {0, 0};
    ClientToScreen(child, &origin);
    POINT points[2] = {{1, 2}, {-5, 10}};
    int answer = MapWindowPoints(child, nullptr, points, 2);
    EXPECT_EQ(origin.x, static_cast<SHORT>(LOWORD(answer)));
    EXPECT_EQ(origin.y, static_cast<SHORT>(HIWORD(answer)));
    EXPECT_EQ(origin.x + 1, points[0].x);
    EXPECT_EQ(origin.y + 2, points[0].y);
    EXPECT_EQ(origin.x - 5, points[1].x);
    EXPECT_EQ(origin.y + 10, points[1].y);
}

TEST_F(Mapping, BetweenTwoWindowsAndBack) {
    POINT p = {7, 9};
    POINT expected = p;
    ClientToScreen(child, &expected);
    ScreenToClient(other, &expected);
    MapWindowPoints(child, other, &p, 1);
    EXPECT_EQ(expected.x, p.x);
    EXPECT_EQ(expected.y, p.y);
    MapWindowPoints(other, child, &p, 1);
    EXPECT_EQ(7, p.x);
    EXPECT_EQ(9, p.y);
    // Negative offsets come back as 16-bit values.
    int answer = MapWindowPoints(other, child, nullptr, 0);
    POINT a = {0, 0}, b = {0, 0};
    ClientToScreen(other, &a);
    ClientToScreen(child, &b);
    EXPECT_EQ(a.x - b.x, static_cast<SHORT>(LOWORD(answer)));
    EXPECT_EQ(a.y - b.y, static_cast<SHORT>(HIWORD(answer)));
}

TEST_F(Mapping, InvalidWindowAnswersZero) {
    POINT p = {7, 9};
    HWND gone = CreateWindowExA(0, "MappingTest", "gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    DestroyWindow(gone);
    SetLastError(0);
    EXPECT_EQ(0, MapWindowPoints(gone, top, &p, 1));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), GetLastError());
    EXPECT_EQ(7, p.x);
}

TEST_F(Mapping, DeviceContextsInPairs) {
    HDC dc = GetDC(top);
    ASSERT_NE(nullptr, dc);
    EXPECT_EQ(0, ReleaseDC(other, dc)); // not the window it belongs to
    EXPECT_EQ(1, ReleaseDC(top, dc));
    EXPECT_EQ(0, ReleaseDC(top, dc)); // released already
    HDC screen = GetDC(nullptr);
    ASSERT_NE(nullptr, screen);
    EXPECT_EQ(1, ReleaseDC(nullptr, screen));
    HWND gone = CreateWindowExA(0, "MappingTest", "gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    DestroyWindow(gone);
    EXPECT_EQ(nullptr, GetDC(gone));
}

} // namespace
