// Conformance of the colour and font choosers (comdlg32): the structure
// sizes they insist on, what OK and Cancel leave in the structures, the
// custom colours, the hook's WM_INITDIALOG with the structure as lParam, and
// the focus the hook's answer decides.
#include <gtest/gtest.h>
#include <windows.h>

#include <commdlg.h>
#include <string.h>

#include "winapi_headless.h"

namespace {

struct HookLog {
    int initDialogs = 0;
    LPARAM initParam = 0;
    HWND dialog = nullptr;
    UINT_PTR answer = TRUE;
    bool focusCancel = false;
};
HookLog* gHook = nullptr;

UINT_PTR CALLBACK RecordingHook(HWND dialog, UINT msg, WPARAM, LPARAM lp) {
    if (msg != WM_INITDIALOG) return 0;
    gHook->initDialogs++;
    gHook->initParam = lp;
    gHook->dialog = dialog;
    if (gHook->focusCancel) SetFocus(GetDlgItem(dialog, IDCANCEL));
    return gHook->answer;
}

class Choosers : public ::testing::Test {
  protected:
    void SetUp() override {
        WinapiDialogsReset();
        gHook = &log;
        memset(custom, 0, sizeof custom);
        memset(&cc, 0, sizeof cc);
        cc.lStructSize = sizeof cc;
        cc.lpCustColors = custom;
        memset(&font, 0, sizeof font);
        memset(&cf, 0, sizeof cf);
        cf.lStructSize = sizeof cf;
        cf.lpLogFont = &font;
    }
    void TearDown() override {
        gHook = nullptr;
        WinapiDialogsReset();
    }
    WinapiChooserCall Last() {
        WinapiChooserCall call;
        memset(&call, 0, sizeof call);
        EXPECT_EQ(1, WinapiChooserAt(WinapiChooserCount() - 1, &call));
        return call;
    }
    HookLog log;
    COLORREF custom[16];
    CHOOSECOLORA cc;
    LOGFONTA font;
    CHOOSEFONTA cf;
};

TEST_F(Choosers, StructureSizeIsChecked) {
    cc.lStructSize = sizeof cc - 4;
    EXPECT_FALSE(ChooseColorA(&cc));
    EXPECT_EQ(static_cast<DWORD>(CDERR_STRUCTSIZE), CommDlgExtendedError());
    cf.lStructSize = 0;
    EXPECT_FALSE(ChooseFontA(&cf));
    EXPECT_EQ(static_cast<DWORD>(CDERR_STRUCTSIZE), CommDlgExtendedError());
    cf.lStructSize = sizeof cf;
    cf.lpLogFont = nullptr;
    EXPECT_FALSE(ChooseFontA(&cf));
    EXPECT_EQ(static_cast<DWORD>(CDERR_INITIALIZATION), CommDlgExtendedError());
    EXPECT_EQ(0, WinapiChooserCount()); // no dialog was shown
}

TEST_F(Choosers, ColourOkGivesTheChoiceAndTheCustomColours) {
    cc.rgbResult = RGB(1, 2, 3);
    cc.Flags = CC_RGBINIT;
    WinapiQueueColor(1, RGB(9, 8, 7), 15, RGB(0, 0, 255));
    EXPECT_TRUE(ChooseColorA(&cc));
    EXPECT_EQ(RGB(9, 8, 7), cc.rgbResult);
    EXPECT_EQ(RGB(0, 0, 255), custom[15]);
    EXPECT_EQ(0u, CommDlgExtendedError());
}

TEST_F(Choosers, ColourCancelLeavesTheStructure) {
    cc.rgbResult = RGB(1, 2, 3);
    WinapiQueueColor(0, RGB(9, 8, 7), 15, RGB(0, 0, 255));
    EXPECT_FALSE(ChooseColorA(&cc));
    EXPECT_EQ(0u, CommDlgExtendedError()); // a cancel is no error
    EXPECT_EQ(RGB(1, 2, 3), cc.rgbResult);
    EXPECT_EQ(0u, custom[15]);
    // Without an answer the chooser cancels and says so.
    EXPECT_FALSE(ChooseColorA(&cc));
    EXPECT_EQ(1, WinapiUnansweredChooserCount());
    EXPECT_EQ(0, Last().answered);
}

TEST_F(Choosers, HookGetsInitDialogWithTheStructure) {
    cc.Flags = CC_ENABLEHOOK;
    cc.lpfnHook = RecordingHook;
    WinapiQueueColor(0, 0, -1, 0);
    ChooseColorA(&cc);
    EXPECT_EQ(1, log.initDialogs);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&cc), log.initParam);
    EXPECT_FALSE(IsWindow(log.dialog)); // the dialog is gone when the chooser returns

    cf.Flags = CF_SCREENFONTS | CF_ENABLEHOOK;
    cf.lpfnHook = RecordingHook;
    WinapiQueueFont(nullptr);
    ChooseFontA(&cf);
    EXPECT_EQ(2, log.initDialogs);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&cf), log.initParam);
}

TEST_F(Choosers, HookIsCalledOnlyWhenEnabled) {
    cc.lpfnHook = RecordingHook; // CC_ENABLEHOOK not set
    WinapiQueueColor(0, 0, -1, 0);
    ChooseColorA(&cc);
    EXPECT_EQ(0, log.initDialogs);
    EXPECT_EQ(0, Last().hooked);
}

TEST_F(Choosers, HooksAnswerDecidesTheFocus) {
    // TRUE: the dialog's first control takes the focus.
    cc.Flags = CC_ENABLEHOOK;
    cc.lpfnHook = RecordingHook;
    log.answer = TRUE;
    log.focusCancel = true;
    WinapiQueueColor(0, 0, -1, 0);
    ChooseColorA(&cc);
    WinapiChooserCall call = Last();
    EXPECT_NE(IDCANCEL, call.focusId);
    EXPECT_NE(0, call.focusId);
    // FALSE: the focus stays where the hook put it.
    log.answer = FALSE;
    WinapiQueueColor(0, 0, -1, 0);
    ChooseColorA(&cc);
    EXPECT_EQ(IDCANCEL, Last().focusId);
}

TEST_F(Choosers, FontOkFillsTheLogFontAndThePointSize) {
    LOGFONTA chosen;
    memset(&chosen, 0, sizeof chosen);
    chosen.lfHeight = -16; // 12 points on a 96 dpi screen
    chosen.lfWeight = FW_BOLD;
    strcpy(chosen.lfFaceName, "Courier New");
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    WinapiQueueFont(&chosen);
    EXPECT_TRUE(ChooseFontA(&cf));
    EXPECT_STREQ("Courier New", font.lfFaceName);
    EXPECT_EQ(FW_BOLD, font.lfWeight);
    EXPECT_EQ(120, cf.iPointSize);

    strcpy(font.lfFaceName, "Arial");
    WinapiQueueFont(nullptr);
    EXPECT_FALSE(ChooseFontA(&cf));
    EXPECT_STREQ("Arial", font.lfFaceName);
}

} // namespace
