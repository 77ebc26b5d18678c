// The running window's paint, the window grabbed as the user sees it.
#include "app/main_dialog.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include "device/apply_settings.h"
#include "macro/macro_record.h"
#include "profile/profile_settings.h"
#include "support/program_in_process.h"
#include "support/qt_app.h"
#include "ui/shell/window_state.h"

namespace {

class MainWindowPaintTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dlg.OnInitDialog()); }
    void TearDown() override {
        g_page = PageMain;
        g_recording = 0;
    }
    // The rectangle r of the window as painted on page.
    QImage Grab(std::uint8_t page, const ui::ButtonPos& r) {
        g_page = page;
        return dlg.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(r.x, r.y, r.w, r.h);
    }

    QApplication& app = testing_support::TestApplication();
    testing_support::ProgramInProcess program;
    CKVE_ZelboDlg dlg;
};

TEST_F(MainWindowPaintTest, DpiCaptionChangesOnlyAfterApply) {
    const ui::ButtonPos caption = dlg.layouts().m_posColor[18];
    const QImage applied = Grab(PageColor, caption);
    g_dpiSet[g_dpiLevel] = g_dpiSet[g_dpiLevel] == 11 ? 0 : 11;
    EXPECT_EQ(Grab(PageColor, caption), applied) << "the slider alone";
    ApplySettings();
    EXPECT_NE(Grab(PageColor, caption), applied);
}

TEST_F(MainWindowPaintTest, RecordCaptionFollowsTheLanguageAndTheRecording) {
    auto caption = [&](std::uint8_t lang, std::uint8_t recording) {
        g_langSel = lang;
        g_recording = recording;
        Grab(PageAdvanced, {});
        return dlg.layouts().m_strAdv[4];
    };
    EXPECT_EQ(caption(1, 0), QStringLiteral("Record"));
    EXPECT_EQ(caption(1, 1), QStringLiteral("Stop"));
    EXPECT_EQ(caption(0, 0), QStringLiteral("录制"));
    EXPECT_EQ(caption(2, 1), QStringLiteral("停止")) << "any language but English is Chinese";
}

TEST_F(MainWindowPaintTest, SlotsShowKeyboardAndUserMacroCaptions) {
    const ui::ButtonPos slot = dlg.layouts().m_posMain[26];
    auto& function = KeyFunc[static_cast<std::size_t>(g_curConfigIdx.load())][4];
    function = 0;  // no name
    const QImage empty = Grab(PageMain, slot);
    function = 90;
    const QImage keyboard = Grab(PageMain, slot);
    SetMacroName(g_macros[3], QStringLiteral("键盘"));
    function = 53;
    EXPECT_EQ(Grab(PageMain, slot), keyboard) << "captioned with the macro's name";
    SetMacroName(g_macros[3], QStringLiteral("Burst"));
    EXPECT_NE(Grab(PageMain, slot), keyboard);
    EXPECT_NE(keyboard, empty);
    function = 66;  // no function: no caption
    EXPECT_EQ(Grab(PageMain, slot), empty);
    ClearMacro(g_macros, 3);
}

}  // namespace
