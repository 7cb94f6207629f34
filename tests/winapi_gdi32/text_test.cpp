// Conformance of TextOutA and GetTextExtentPoint32A on a headless context:
// the text drawn is recorded with its position and length, the extent grows
// with the count, a count of 0 measures the height only, and invalid
// contexts and counts fail.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include "winapi_headless.h"

namespace {

class Text : public ::testing::Test {
  protected:
    void SetUp() override {
        WinapiDialogsReset();
        dc = GetDC(nullptr);
        ASSERT_NE(nullptr, dc);
    }
    void TearDown() override {
        ReleaseDC(nullptr, dc);
        WinapiDialogsReset();
    }
    HDC dc = nullptr;
};

TEST_F(Text, TextOutDrawsCountCharacters) {
    EXPECT_TRUE(TextOutA(dc, 5, 7, "12,50 extra", 5));
    EXPECT_TRUE(TextOutA(dc, 0, 0, "", 0));
    ASSERT_EQ(2, WinapiTextOutCount());
    WinapiTextOutCall call;
    ASSERT_EQ(1, WinapiTextOutAt(0, &call));
    EXPECT_STREQ("12,50", call.text);
    EXPECT_EQ(5, call.x);
    EXPECT_EQ(7, call.y);
    EXPECT_EQ(dc, call.dc);
    EXPECT_EQ(nullptr, call.window);
}

TEST_F(Text, TextOutRefusesAnInvalidContextOrCount) {
    EXPECT_FALSE(TextOutA(reinterpret_cast<HDC>(0x1234), 0, 0, "x", 1));
    EXPECT_FALSE(TextOutA(dc, 0, 0, "x", -1));
    EXPECT_FALSE(TextOutA(dc, 0, 0, nullptr, 1));
    HDC released = GetDC(nullptr);
    ReleaseDC(nullptr, released);
    EXPECT_FALSE(TextOutA(released, 0, 0, "x", 1));
    EXPECT_EQ(0, WinapiTextOutCount());
}

TEST_F(Text, ExtentGrowsWithTheCount) {
    SIZE one, five, none;
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "0000g", 1, &one));
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "0000g", 5, &five));
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "", 0, &none));
    EXPECT_GT(one.cx, 0);
    EXPECT_EQ(5 * one.cx, five.cx); // one fixed width for every character
    EXPECT_EQ(one.cy, five.cy);
    EXPECT_EQ(0, none.cx);
    EXPECT_EQ(one.cy, none.cy);
    EXPECT_FALSE(GetTextExtentPoint32A(dc, "x", -1, &one));
    EXPECT_FALSE(GetTextExtentPoint32A(dc, "x", 1, nullptr));
    EXPECT_FALSE(GetTextExtentPoint32A(reinterpret_cast<HDC>(0x1234), "x", 1, &one));
}

} // namespace
