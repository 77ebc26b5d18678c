// Clicks and pointer movements on the real window at the shipped skin's rectangles, with the
// simulated mouse and the program folder copied to a temporary directory.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include "app/main_dialog.h"
#include "macro/macro_record.h"
#include "platform/ini.h"
#include "profile/profile_settings.h"
#include "support/program_in_process.h"
#include "support/qt_app.h"
#include "ui/controls/editable_list_box.h"
#include "ui/controls/list_box.h"
#include "ui/controls/macro_controls.h"
#include "ui/pages/page_painter.h"
#include "ui/popups/function_popups.h"
#include "ui/shell/window_message.h"
#include "ui/shell/window_state.h"

namespace {

using testing_support::ProcessEventsUntil;
using ui::ButtonPos;

QPoint Centre(const ButtonPos& r) {
    return QPoint(r.x + r.w / 2, r.y + r.h / 2);
}

// Counts the window drags the clicks post to the window.
class DragSpy : public QObject {
public:
    int drags = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == ui::WindowMessageEvent::EventType() &&
            static_cast<ui::WindowMessageEvent*>(event)->message() == ui::WM_NCLBUTTONDOWN) {
            ++drags;
        }
        return false;
    }
};

class ClickInput : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::TestApplication();
        ASSERT_TRUE(program_.folder.ok());
        g_page = PageMain;
        g_hoverMain = 0;
        g_hoverColor = g_hoverAdv = ui::NoHover;
        g_prevHoverMain = g_prevHoverColor = g_prevHoverAdv = ui::NoHover;
        g_mousePressed = 0;
        dlg_ = std::make_unique<CKVE_ZelboDlg>();
        ASSERT_TRUE(dlg_->OnInitDialog());
        ASSERT_FALSE(dlg_->IsEnding());
        dlg_->show();
        dlg_->installEventFilter(&drags_);
    }
    void TearDown() override { dlg_.reset(); }

    const ui::PageLayouts& L() const { return dlg_->layouts(); }
    void Move(QPoint p) { QTest::mouseMove(dlg_.get(), p); }
    void Click(QPoint p) {
        Move(p);
        QTest::mouseClick(dlg_.get(), Qt::LeftButton, {}, p);
        QApplication::processEvents();
    }
    void ClickMain(int i) { Click(Centre(L().m_posMain[i])); }
    void ClickAdv(int i) { Click(Centre(L().m_posAdv[i])); }
    void ClickColor(int i) { Click(Centre(L().m_posColor[i])); }
    // Rectangle r as the window last put it on the screen, without a paint of its own.
    QImage OnScreen(const ButtonPos& r) const {
        testing_support::ProcessEventsFor(20);
        return dlg_->screen()
            ->grabWindow(dlg_->winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32)
            .copy(r.x, r.y, r.w, r.h);
    }
    QString Ini(const QString& section, const QString& key) const {
        return platform::GetPrivateProfileString(section, key, QString(), 20, folder_.ConfigIni());
    }

    testing_support::ProgramInProcess program_;
    const testing_support::ProgramFolder& folder_ = program_.folder;
    platform::ScriptedDialogService& dialogs_ = program_.dialogs;
    platform::SimulatedMouse& mouse_ = program_.mouse;
    std::unique_ptr<CKVE_ZelboDlg> dlg_;
    DragSpy drags_;
};

TEST_F(ClickInput, BeforeAnyMovementAClickActsAsOnTheTitleAndAnEmptyPlaceDrags) {
    dlg_->OnLButtonDown(0, QPoint(1, 1));  // no movement yet: hover 0, the title
    EXPECT_EQ(g_mousePressed, 1);
    QApplication::processEvents();
    EXPECT_EQ(drags_.drags, 0);
    dlg_->OnLButtonUp(0, QPoint(1, 1));
    EXPECT_EQ(g_mousePressed, 0);

    // A place on a lighting-page button but on no main-page one still drags the main page.
    for (const ButtonPos& r : L().m_posColor) {
        const QPoint p = Centre(r);
        bool onMain = false;
        for (const ButtonPos& m : L().m_posMain) {
            onMain = onMain || m.Contains(p.x(), p.y());
        }
        if (r.w > 0 && !onMain) {
            Click(p);
            EXPECT_EQ(drags_.drags, 1);
            return;
        }
    }
    ADD_FAILURE() << "the skin has no lighting button clear of the main page's";
}

TEST_F(ClickInput, DpiLevelsSlidersAndSwitchesOnTheMainPage) {
    g_dpiSetEn = {true, false, true, false, false, false};
    g_dpiLevel = 2;
    ClickMain(66 + 12 * 2 + 11);  // level 2, rightmost cell
    ClickMain(66 + 12 * 5);       // level 5, leftmost cell
    EXPECT_EQ(g_dpiSet[2], 11);
    EXPECT_EQ(g_dpiSet[5], 0);
    ClickMain(60 + 1);  // a disabled level cannot become current
    EXPECT_EQ(g_dpiLevel, 2u);
    ClickMain(47 + 2);  // switching off the current level: on to the next enabled, past 5
    EXPECT_EQ(g_dpiLevel, 0u);
    EXPECT_FALSE(g_dpiSetEn[2]);
    ClickMain(47 + 4);  // switched on, then off again: the current level stays
    ClickMain(47 + 4);
    EXPECT_EQ(g_dpiLevel, 0u);
    ClickMain(47 + 0);  // the only enabled level stays on and current
    EXPECT_TRUE(g_dpiSetEn[0]);
    EXPECT_EQ(g_dpiLevel, 0u);
    ClickMain(33);
    ClickMain(37);
    EXPECT_EQ(g_wheelStatus, 1u);
    EXPECT_EQ(g_modeStatus, 1u);
}

TEST_F(ClickInput, AButtonPopupChoiceIsDrawnWithoutPointerMotionOverTheWindow) {
    auto& row = KeyFunc[static_cast<std::size_t>(g_curConfigIdx.load())];
    row[0] = 1;  // left click elsewhere: no warning
    row[1] = 3;
    const ButtonPos slot = L().m_posMain[23];
    dlg_->update();
    const QImage before = OnScreen(slot);
    ASSERT_FALSE(before.isNull());
    dlg_->OpenFunctionPopup(23);
    CMenuDlg* menu = g_pMenuDlg;
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(OnScreen(slot), before);
    // The pointer moves over the popup alone; the window under it sees no motion.
    const QPoint rowTwo(menu->RowWidth() / 2, menu->RowHeight() + menu->RowHeight() / 2);
    QTest::mouseMove(menu->windowHandle(), rowTwo);
    testing_support::ProcessEventsFor(20);
    QTest::mousePress(menu, Qt::LeftButton, Qt::NoModifier, rowTwo);
    QTest::mouseRelease(menu, Qt::LeftButton, Qt::NoModifier, rowTwo);
    ASSERT_EQ(row[1], 2);
    EXPECT_NE(OnScreen(slot), before) << "the slot shows its new function at once";
}

TEST_F(ClickInput, TabsMoveBetweenPagesAndTheMacroControlsFollowTheAdvancedPage) {
    ClickMain(10);
    EXPECT_EQ(g_page.load(), PageAdvanced);
    ASSERT_TRUE(dlg_->macroControls()->Created());
    EXPECT_EQ(dlg_->macroControls()->macroList()->GetCount(), g_macroCount);
    ClickMain(11);
    EXPECT_EQ(g_page.load(), PageColor);
    EXPECT_FALSE(dlg_->macroControls()->Created());
    g_fireTime = 123;
    dlg_->grab();  // a paint of the lighting page leaves the fire-time text alone
    ClickMain(10);
    EXPECT_TRUE(dlg_->macroControls()->Created());
    dlg_->grab();
    ClickMain(9);
    ClickMain(10);
    EXPECT_EQ(dlg_->macroControls()->editFireTime()->text(), QStringLiteral("123"));
    ClickMain(9);
    EXPECT_EQ(g_page.load(), PageMain);
    EXPECT_FALSE(dlg_->macroControls()->Created());
    ClickMain(11);
    ClickMain(9);
    EXPECT_EQ(g_page.load(), PageMain);
}

TEST_F(ClickInput, FireTimeTrackStepButtonsAndAdvancedSliders) {
    ClickMain(10);
    const ButtonPos track = L().m_posAdv[30];  // its left edge is the track rule's own test
    Click(QPoint(track.x + track.w - 1, track.y + 1));
    ASSERT_EQ(track.w, 200) << "the shipped skin's track";
    EXPECT_EQ(g_fireTime, 298u) << "199 * 300 / 200, rounded down";
    ClickAdv(31);  // the step buttons; their limits are the step rule's own test
    EXPECT_EQ(g_fireTime, 299u);
    ClickAdv(32);
    ClickAdv(32);
    EXPECT_EQ(g_fireTime, 297u);
    ClickAdv(8 + 9);
    ClickAdv(18 + 3);
    ClickAdv(34 + 2);
    EXPECT_EQ(g_dpiSpeed, 9);
    EXPECT_EQ(g_wheelSpeed, 3);
    EXPECT_EQ(g_usbSpeed, 2);
}

TEST_F(ClickInput, FireTimeBoxShowsTheFireTimeFromTheFirstVisitOnAndFollowsEveryChange) {
    ui::g_strFireTime.clear();  // no advanced page painted yet
    g_fireTime = 123;
    ClickMain(10);
    QLineEdit* box = dlg_->macroControls()->editFireTime();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("123"));
    auto shows = [box](const char* text) {
        return ProcessEventsUntil([&] { return box->text() == QLatin1String(text); }, 1000);
    };
    const ButtonPos track = L().m_posAdv[30];
    Click(QPoint(track.x + track.w - 1, track.y + 1));
    EXPECT_TRUE(shows("298")) << box->text().toStdString();
    ClickAdv(31);
    EXPECT_TRUE(shows("299")) << box->text().toStdString();
    // What the user types stays until the fire time changes.
    box->setText(QStringLiteral("77"));
    Move(Centre(L().m_posAdv[8]));  // a repaint
    testing_support::ProcessEventsFor(20);
    EXPECT_EQ(box->text(), QStringLiteral("77"));
    ClickAdv(32);
    EXPECT_TRUE(shows("298")) << box->text().toStdString();
}

TEST_F(ClickInput, LightingPageKeepsOneCycleColourAndIgnoresCycleTimesForSteadyTypes) {
    ClickMain(11);
    for (auto& on : g_cycColorOn) {
        on = 0;
    }
    g_cycColorOn[3] = 1;
    ClickColor(3);
    EXPECT_EQ(g_cycColorOn[3].load(), 1u) << "the last colour on stays on";
    ClickColor(5);
    ClickColor(3);
    EXPECT_EQ(g_cycColorOn[3].load(), 0u);
    ClickColor(7 + 1);
    ClickColor(11);
    EXPECT_EQ(g_ledCycTime.load(), 5);
    ClickColor(7 + 2);
    ClickColor(16);
    EXPECT_EQ(g_ledCycTime.load(), 5) << "types 2 and 3 have no cycle time";
    EXPECT_EQ(g_hoverColor, ui::NoHover);
    EXPECT_EQ(drags_.drags, 1);
}

TEST_F(ClickInput, ProfileButtonsSaveTheEditsIntoAllFourSectionsOnRelease) {
    // The press on a slider cell edits level 1; the release over profile 2 switches.
    const QPoint cell = Centre(L().m_posMain[66 + 12 * 1 + 9]);
    Move(cell);
    QTest::mousePress(dlg_.get(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(g_mousePressed, 1);
    const QPoint profile2 = Centre(L().m_posMain[5]);
    Move(profile2);
    QTest::mouseRelease(dlg_.get(), Qt::LeftButton, {}, profile2);
    EXPECT_EQ(g_mousePressed, 0);
    EXPECT_EQ(g_curConfigIdx.load(), 1);
    KeyFunc[1][3] = 77;
    ClickMain(5);  // profile 2 again: saved and reloaded unchanged
    EXPECT_EQ(g_dpiSet[1], 9);
    EXPECT_EQ(KeyFunc[1][3], 77);
    ClickMain(66 + 12 * 3 + 4);
    ClickMain(8);  // the caption after the profiles switches nothing
    EXPECT_EQ(g_curConfig, 2);
    ClickMain(7);
    EXPECT_EQ(g_curConfigIdx.load(), 3);
    for (const char* section : {"Config1", "Config2", "Config3", "Config4"}) {
        EXPECT_EQ(Ini(QString::fromLatin1(section), QStringLiteral("DPI_SET1")), "9") << section;
        EXPECT_EQ(Ini(QString::fromLatin1(section), QStringLiteral("DPI_SET3")), "4") << section;
    }
    EXPECT_EQ(Ini(QStringLiteral("Config2"), QStringLiteral("K3")), "77");
    EXPECT_NE(Ini(QStringLiteral("Config4"), QStringLiteral("K3")), "77");
}

TEST_F(ClickInput, TheMousesOwnSwitchDropsUnsavedEditsAndRecordsTheProfile) {
    ClickMain(66 + 12 * 0 + 10);
    ASSERT_EQ(g_dpiSet[0], 10);
    const QString saved = Ini(QStringLiteral("Config3"), QStringLiteral("DPI_SET0"));
    mouse_.SetCurrentProfile(2);
    mouse_.InjectInput({6, 0x03, 0});
    ASSERT_TRUE(ProcessEventsUntil([] { return g_curConfig == 3; }));
    EXPECT_EQ(g_curConfigIdx.load(), 2);
    EXPECT_EQ(QString::number(g_dpiSet[0]), saved);
    EXPECT_EQ(Ini(QStringLiteral("Init"), QStringLiteral("CurConfig")), "3");
}

TEST_F(ClickInput, ExportThenImportBringsBackTheSameSettings) {
    const QString file = folder_.Path(QStringLiteral("mine.ini"));
    ClickMain(66 + 12 * 4 + 6);
    KeyFunc[3][6] = 71;
    g_fireTime = 123;
    dialogs_.QueueFileName(file);
    ClickMain(15);
    g_dpiSet[4] = 0;
    KeyFunc[3][6] = 0;
    g_fireTime = 0;
    dialogs_.QueueFileName(std::nullopt);  // a cancelled import changes nothing
    ClickMain(14);
    EXPECT_EQ(g_fireTime, 0u);
    dialogs_.QueueFileName(file);
    ClickMain(14);
    EXPECT_EQ(g_dpiSet[4], 6);
    EXPECT_EQ(KeyFunc[3][6], 71);
    EXPECT_EQ(g_fireTime, 123u);
    const auto requests = dialogs_.FileRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_FALSE(requests[0].open);
    EXPECT_EQ(requests[0].defaultExt, "ini");
    EXPECT_EQ(requests[0].flags, 6u);
    EXPECT_TRUE(requests[2].open);
    EXPECT_EQ(requests[2].defaultExt, "");
    EXPECT_EQ(requests[2].flags, 5u);
    for (const auto& request : requests) {
        EXPECT_EQ(request.filter, "All Files(*.ini)|*.ini||");
        EXPECT_EQ(request.initialDir, folder_.Dir());
        EXPECT_EQ(request.fileName, "");
    }

    // A file with only the second profile is refused: nothing changes.
    ASSERT_TRUE(testing_support::ProgramFolder::WriteFile(file, "[Config2]\r\nK4=33\r\n"));
    dialogs_.QueueFileName(file);
    ClickMain(14);
    EXPECT_EQ(program_.messages.Messages(),
              QStringList{QStringLiteral("Not a profile file, cannot import! (Config1)")});
    EXPECT_EQ(KeyFunc[3][6], 71);
    EXPECT_EQ(g_fireTime, 123u);
}

TEST_F(ClickInput, FactoryRestoreBringsBackTheFactoryMacrosOnlyOnTheAdvancedPage) {
    for (int page : {0, 1}) {
        SetMacroName(g_macros[0], QStringLiteral("Mine"));
        g_macroCount = 1;
        KeyFunc[0].fill(0);
        if (page == 1) {
            ClickMain(10);
        }
        ClickMain(16);
        EXPECT_EQ(Ini(QStringLiteral("Config1"), QStringLiteral("K5")), "17");
        EXPECT_EQ(KeyFunc[0][6], 16);
        if (page == 0) {
            EXPECT_EQ(MacroName(g_macros[0]), "Mine");
        } else {
            EXPECT_EQ(MacroName(g_macros[0]), "RapidFire");
            EXPECT_EQ(dlg_->macroControls()->macroList()->GetCount(), 3);
        }
    }
}

TEST_F(ClickInput, ColourDialogAnswersBecomeInvertedChannelLevels) {
    // Red, black, white, a colour as the swatch shows it (207, 159, 95), then a cancel.
    for (auto answer :
         {std::optional<std::uint32_t>(0x0000FFu), std::optional(0x000000u),
          std::optional(0xFFFFFFu), std::optional(0x5F9FCFu), std::optional<std::uint32_t>()}) {
        dialogs_.QueueColor(answer);
    }
    for (int swatch : {41, 43, 46, 42, 42}) {
        ClickMain(swatch);
    }
    using Levels = std::array<std::uint32_t, 3>;
    EXPECT_EQ(g_dpiColor[0], (Levels{0, 15, 15}));
    EXPECT_EQ(g_dpiColorRef[0], 0x0F0FFFu);
    EXPECT_EQ(g_dpiColor[2], (Levels{15, 15, 15}));
    EXPECT_EQ(g_dpiColorRef[2], 0x0F0F0Fu);
    EXPECT_EQ(g_dpiColor[5], (Levels{0, 0, 0}));
    EXPECT_EQ(g_dpiColorRef[5], 0xFFFFFFu);
    EXPECT_EQ(g_dpiColor[1], (Levels{3, 6, 10})) << "stored as shown, kept by the cancel";
    EXPECT_EQ(g_dpiColorRef[1], 0x5F9FCFu);
    EXPECT_EQ(dialogs_.ColorRequests(), (std::vector<std::uint32_t>(5, 0))) << "on black";
}

TEST_F(ClickInput, HideCloseAndMinimiseLeaveEverySettingInMemory) {
    ClickMain(66 + 12 * 2 + 8);
    g_fireTime = 222;
    KeyFunc[0][2] = 75;
    for (int button : {2, 13, 12}) {
        dlg_->OnTrayShow();
        ClickMain(button);
        QApplication::processEvents();
        EXPECT_EQ(g_hoverMain, ui::NoHover) << button;
        EXPECT_TRUE(button == 12 ? dlg_->isMinimized() : !dlg_->isVisible()) << button;
        EXPECT_EQ(g_dpiSet[2], 8) << button;
        EXPECT_EQ(g_fireTime, 222u) << button;
        EXPECT_EQ(KeyFunc[0][2], 75) << button;
    }
    EXPECT_EQ(Ini(QStringLiteral("Config6"), QStringLiteral("DPI_LEVEL")),
              QString::number(g_dpiLevel));
}

}  // namespace
