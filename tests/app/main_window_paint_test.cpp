// The running window's paint and its colour choice: the window grabbed as the user sees it.
#include "app/main_dialog.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include "app/core/paths.h"
#include "device/apply_settings.h"
#include "device/discovery.h"
#include "device/settings_image.h"
#include "macro/macro_record.h"
#include "platform/clock.h"
#include "platform/dialog_service.h"
#include "platform/hid.h"
#include "platform/message_service.h"
#include "platform/simulated_mouse.h"
#include "profile/profile_settings.h"
#include "support/program_run.h"
#include "support/qt_app.h"
#include "ui/page_painter.h"
#include "ui/window_state.h"

namespace {

class MainWindowPaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::TestApplication();
        ASSERT_TRUE(folder_.ok());
        savedExeDir_ = g_strExeDir;
        g_strExeDir = folder_.Dir();
        previousClock_ = platform::SetClock(&clock_);
        previousMessages_ = platform::SetMessageService(&messages_);
        previousDialogs_ = platform::SetDialogService(&dialogs_);
        platform::SetHidBackend(&mouse_);
    }
    void TearDown() override {
        platform::SetHidBackend(nullptr);
        platform::SetDialogService(previousDialogs_);
        platform::SetMessageService(previousMessages_);
        platform::SetClock(previousClock_);
        g_strExeDir = savedExeDir_;
        g_page = PageMain;
        g_hoverMain = 0;  // as before the first movement
        g_recording = 0;
    }

    QImage Grab(CKVE_ZelboDlg& dlg, std::uint8_t page) {
        g_page = page;
        return dlg.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    static QImage Region(const QImage& image, const ui::ButtonPos& r) {
        return image.copy(r.x, r.y, r.w, r.h);
    }

    testing_support::ProgramFolder folder_{QStringLiteral(ZELBO_PROGRAM_DIR)};
    QString savedExeDir_;
    platform::VirtualClock clock_;
    platform::Clock* previousClock_ = nullptr;
    platform::RecordingMessageService messages_;
    platform::MessageService* previousMessages_ = nullptr;
    platform::ScriptedDialogService dialogs_;
    platform::DialogService* previousDialogs_ = nullptr;
    platform::SimulatedMouse mouse_{BuiltInMouseAttributes()};
};

TEST_F(MainWindowPaintTest, DpiCaptionChangesOnlyAfterApply) {
    CKVE_ZelboDlg dlg;
    ASSERT_TRUE(dlg.OnInitDialog());
    const ui::ButtonPos caption = dlg.layouts().m_posColor[18];
    const QImage applied = Region(Grab(dlg, PageColor), caption);
    g_dpiSet[g_dpiLevel] = g_dpiSet[g_dpiLevel] == 11 ? 0 : 11;
    EXPECT_EQ(Region(Grab(dlg, PageColor), caption), applied) << "the slider alone";
    ApplySettings();
    EXPECT_NE(Region(Grab(dlg, PageColor), caption), applied);
}

TEST_F(MainWindowPaintTest, RecordCaptionFollowsTheLanguageAndTheRecording) {
    CKVE_ZelboDlg dlg;
    ASSERT_TRUE(dlg.OnInitDialog());
    auto caption = [&](std::uint8_t lang, std::uint8_t recording) {
        g_langSel = lang;
        g_recording = recording;
        Grab(dlg, PageAdvanced);
        return dlg.layouts().m_strAdv[4];
    };
    EXPECT_EQ(caption(1, 0), QStringLiteral("Record"));
    EXPECT_EQ(caption(1, 1), QStringLiteral("Stop"));
    EXPECT_EQ(caption(0, 0), QStringLiteral("录制"));
    EXPECT_EQ(caption(0, 1), QStringLiteral("停止"));
    EXPECT_EQ(caption(2, 1), QStringLiteral("停止")) << "any language but English is Chinese";
}

TEST_F(MainWindowPaintTest, SlotsShowKeyboardAndUserMacroCaptions) {
    CKVE_ZelboDlg dlg;
    ASSERT_TRUE(dlg.OnInitDialog());
    const ui::ButtonPos slot = dlg.layouts().m_posMain[22 + 4];
    const int row = g_curConfigIdx.load();
    KeyFunc[row][4] = 0;  // no caption
    const QImage empty = Region(Grab(dlg, PageMain), slot);
    KeyFunc[row][4] = 90;
    const QImage keyboard = Region(Grab(dlg, PageMain), slot);
    SetMacroName(g_macros[3], QStringLiteral("键盘"));
    KeyFunc[row][4] = 53;
    EXPECT_EQ(Region(Grab(dlg, PageMain), slot), keyboard) << "captioned with the macro's name";
    SetMacroName(g_macros[3], QStringLiteral("Burst"));
    const QImage burst = Region(Grab(dlg, PageMain), slot);
    EXPECT_NE(burst, keyboard);
    EXPECT_NE(keyboard, empty);
    KeyFunc[row][4] = 66;  // no function: no caption, as code 0 here
    EXPECT_EQ(Region(Grab(dlg, PageMain), slot), empty);
    ClearMacro(g_macros, 3);
}

TEST_F(MainWindowPaintTest, ColourChoiceStoresInvertedNibblesAndShowsThem) {
    CKVE_ZelboDlg dlg;
    dialogs_.QueueColor(0x0000FF);  // red
    dialogs_.QueueColor(0x000000);  // black
    dialogs_.QueueColor(0xFFFFFF);  // white
    dialogs_.QueueColor(0x5F9FCF);  // a shown colour: (207, 159, 95)
    dialogs_.QueueColor(std::nullopt);
    dlg.OnPickLedColor(41);
    EXPECT_EQ(g_dpiColor[0], (std::array<std::uint32_t, 3>{0, 15, 15}));
    EXPECT_EQ(g_dpiColorRef[0], 0x0F0FFFu);
    dlg.OnPickLedColor(43);
    EXPECT_EQ(g_dpiColor[2], (std::array<std::uint32_t, 3>{15, 15, 15}));
    EXPECT_EQ(g_dpiColorRef[2], 0x0F0F0Fu);
    dlg.OnPickLedColor(46);
    EXPECT_EQ(g_dpiColor[5], (std::array<std::uint32_t, 3>{0, 0, 0}));
    EXPECT_EQ(g_dpiColorRef[5], 0xFFFFFFu);
    dlg.OnPickLedColor(42);
    EXPECT_EQ(g_dpiColor[1], (std::array<std::uint32_t, 3>{3, 6, 10}));
    EXPECT_EQ(g_dpiColorRef[1], 0x5F9FCFu) << "a shown colour is stored as it was";
    dlg.OnPickLedColor(42);  // cancelled
    EXPECT_EQ(g_dpiColorRef[1], 0x5F9FCFu);
    EXPECT_EQ(dialogs_.ColorRequests(), (std::vector<std::uint32_t>(5, 0))) << "opens on black";
}

}  // namespace
