#include "ui/skin/page_layouts.h"
#include "ui/skin/skin_test_support.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using skin_test::MissingFileMessage;
using skin_test::RecordingWindow;
using skin_test::SkinFolder;
using ui::ButtonPos;
using ui::PageLayouts;
using ui::RECT;

QString Entry(int key, int x, int y, int w, int h, const QString& label) {
    return QStringLiteral("%1=e%1,%2,%3,%4,%5,%6,").arg(key).arg(x).arg(y).arg(w).arg(h).arg(label);
}

// A layout section with entries first..last, each one telling its key in every field.
QStringList Section(const char* name, int first, int last, const QString& prefix) {
    QStringList lines{QStringLiteral("[%1]").arg(QLatin1String(name))};
    for (int key = first; key <= last; ++key) {
        lines << Entry(key, key, key + 1000, key + 2000, key + 3000, prefix + QString::number(key));
    }
    return lines;
}

class PageLayoutsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::g_strFunNames.fill(QString());
        ui::g_warnRects.fill(ButtonPos{});
        ui::g_strWarn.fill(QString());
        for (RECT* r : Controls()) {
            *r = RECT{};
        }
    }
    static std::array<RECT*, 6> Controls() {
        return {&ui::g_rcEditFireTime, &ui::g_rcEditRepeat, &ui::g_rcEditMacroName,
                &ui::g_rcEditTrack,    &ui::g_rcMacroList,  &ui::g_rcStepList};
    }

    SkinFolder folder;
    RecordingWindow window;
    PageLayouts layouts;
};

TEST(SkinLayoutPath, EnglishOnlyForLanguageOne) {
    const QString dir = QStringLiteral("/opt/zelbo/skins");
    EXPECT_EQ(ui::SkinLayoutPath(dir, ui::SkinLayout::Main, 1),
              QStringLiteral("/opt/zelbo/skins/INI_EN/skin_main_en.ini"));
    EXPECT_EQ(ui::SkinLayoutPath(dir, ui::SkinLayout::Advance, 1),
              QStringLiteral("/opt/zelbo/skins/INI_EN/skin_advance_en.ini"));
    EXPECT_EQ(ui::SkinLayoutPath(dir, ui::SkinLayout::Color, 1),
              QStringLiteral("/opt/zelbo/skins/INI_EN/skin_color_en.ini"));
    EXPECT_EQ(ui::SkinLayoutPath(dir, ui::SkinLayout::LBWarning, 1),
              QStringLiteral("/opt/zelbo/skins/INI_EN/LBWarning_en.ini"));
    for (int lang : {0, 2, 255, -1}) {
        EXPECT_EQ(ui::SkinLayoutPath(dir, ui::SkinLayout::Main, lang),
                  QStringLiteral("/opt/zelbo/skins/INI_CN/skin_main.ini"));
        EXPECT_EQ(ui::SkinLayoutPath(dir, ui::SkinLayout::Advance, lang),
                  QStringLiteral("/opt/zelbo/skins/INI_CN/skin_advance.ini"));
        EXPECT_EQ(ui::SkinLayoutPath(dir, ui::SkinLayout::Color, lang),
                  QStringLiteral("/opt/zelbo/skins/INI_CN/skin_color.ini"));
        EXPECT_EQ(ui::SkinLayoutPath(dir, ui::SkinLayout::LBWarning, lang),
                  QStringLiteral("/opt/zelbo/skins/INI_CN/LBWarning.ini"));
    }
}

TEST_F(PageLayoutsTest, MainReadsItsRangesAndNothingBeyond) {
    QStringList lines = Section("BUTTONPOS", -2, 160, QStringLiteral("cap"));
    lines << QStringLiteral("[FUN_STRING]") << QStringLiteral("0=code zero");
    for (int code = 1; code <= 50; ++code) {
        lines << QStringLiteral("%1=name %1").arg(code);
    }
    folder.Write(QStringLiteral("INI_CN/skin_main.ini"), lines);

    ui::LoadSkinMain(layouts, window, folder.Path(), 0);
    EXPECT_EQ(layouts.m_posMain[0], (ButtonPos{0, 1000, 2000, 3000}));
    EXPECT_EQ(layouts.m_posMain[146], (ButtonPos{146, 1146, 2146, 3146}));
    EXPECT_EQ(layouts.m_strMain[146], QStringLiteral("cap146"));
    EXPECT_EQ(ui::g_strFunNames[0], QString());
    EXPECT_EQ(ui::g_strFunNames[1], QStringLiteral("name 1"));
    EXPECT_EQ(ui::g_strFunNames[47], QStringLiteral("name 47"));
    // The other pages' tables are not the main loader's.
    EXPECT_EQ(layouts.m_posAdv[0], ButtonPos{});
    EXPECT_TRUE(window.events.isEmpty());
}

TEST_F(PageLayoutsTest, FileWithBigNumbersAndStrayKeysStaysInsideTheTables) {
    QStringList lines{QStringLiteral("[BUTTONPOS]")};
    for (int key : {-1, 0, 32, 33, 1000, INT_MAX}) {
        lines << QStringLiteral("%1=n,99999999999,-99999999999,2147483647,-1,%2,")
                     .arg(key)
                     .arg(QString(250, u'w'));
    }
    folder.Write(QStringLiteral("INI_CN/skin_color.ini"), lines);
    ui::LoadSkinColor(layouts, window, folder.Path(), 0);
    EXPECT_EQ(layouts.m_posColor[32], (ButtonPos{INT_MAX, INT_MIN, INT_MAX, -1}));
    EXPECT_EQ(layouts.m_posColor[31], ButtonPos{});
    // The 259-character cut leaves five commas (the label's closing one lies past it).
    EXPECT_EQ(layouts.m_strColor[0], QString());
}

TEST_F(PageLayoutsTest, LanguageSwitchLeavesNothingOfTheOtherLanguage) {
    folder.Write(QStringLiteral("INI_CN/skin_main.ini"),
                 Section("BUTTONPOS", 0, 146, QStringLiteral("中")) +
                     QStringList{QStringLiteral("[FUN_STRING]"), QStringLiteral("1=左键"),
                                 QStringLiteral("2=右键")});
    // The English file lacks entry 5 and function name 2.
    QStringList en = Section("BUTTONPOS", 0, 146, QStringLiteral("en"));
    en.removeAt(1 + 5);
    folder.Write(QStringLiteral("INI_EN/skin_main_en.ini"),
                 en + QStringList{QStringLiteral("[FUN_STRING]"), QStringLiteral("1=Left click")});

    ui::LoadSkinMain(layouts, window, folder.Path(), 0);
    EXPECT_EQ(layouts.m_strMain[5], QStringLiteral("中5"));
    EXPECT_EQ(ui::g_strFunNames[2], QStringLiteral("右键"));

    ui::LoadSkinMain(layouts, window, folder.Path(), 1);
    EXPECT_EQ(layouts.m_posMain[5], ButtonPos{});
    EXPECT_EQ(layouts.m_strMain[5], QString());
    EXPECT_EQ(layouts.m_strMain[6], QStringLiteral("en6"));
    EXPECT_EQ(ui::g_strFunNames[1], QStringLiteral("Left click"));
    EXPECT_EQ(ui::g_strFunNames[2], QString());
    EXPECT_TRUE(window.events.isEmpty());
}

TEST_F(PageLayoutsTest, AdvanceFillsTheChildControlRectanglesFromTheirOwnKeys) {
    folder.Write(QStringLiteral("INI_EN/skin_advance_en.ini"),
                 Section("BUTTONPOS", 0, 60, QStringLiteral("a")) +
                     QStringList{QStringLiteral("[EDIT]"), Entry(1, 1, 1, 1, 1, {}),
                                 Entry(2, 10, 20, 30, 40, {}), Entry(3, 11, 21, 31, 41, {}),
                                 Entry(4, 12, 22, 32, 42, {}), Entry(5, 13, 23, 33, 43, {}),
                                 QStringLiteral("[MACRODISPLAY]"), Entry(1, 14, 24, 34, 44, {}),
                                 Entry(2, 15, 25, 35, 45, {})});
    ui::LoadSkinAdvance(layouts, window, folder.Path(), 1);
    EXPECT_EQ(layouts.m_posAdv[51], (ButtonPos{51, 1051, 2051, 3051}));
    EXPECT_EQ(layouts.m_strAdv[51], QStringLiteral("a51"));
    EXPECT_EQ(ui::g_rcEditFireTime, (RECT{10, 20, 40, 60}));
    EXPECT_EQ(ui::g_rcEditRepeat, (RECT{11, 21, 42, 62}));
    EXPECT_EQ(ui::g_rcEditMacroName, (RECT{12, 22, 44, 64}));
    EXPECT_EQ(ui::g_rcEditTrack, (RECT{13, 23, 46, 66}));
    EXPECT_EQ(ui::g_rcMacroList, (RECT{14, 24, 48, 68}));
    EXPECT_EQ(ui::g_rcStepList, (RECT{15, 25, 50, 70}));
    EXPECT_TRUE(window.events.isEmpty());
}

TEST_F(PageLayoutsTest, WarningReadsThreeEntries) {
    folder.Write(QStringLiteral("INI_CN/LBWarning.ini"),
                 {QStringLiteral("[BUTTONPOS]"), Entry(0, 60, 96, 100, 32, QStringLiteral("确定")),
                  Entry(1, 180, 96, 100, 32, QStringLiteral("取消")),
                  Entry(2, 16, 24, 308, 48, QStringLiteral("提示")),
                  Entry(3, 1, 1, 1, 1, QStringLiteral("extra"))});
    ui::LoadSkinLBWarning(window, folder.Path(), 0);
    EXPECT_EQ(ui::g_warnRects[1], (ButtonPos{180, 96, 100, 32}));
    EXPECT_EQ(ui::g_strWarn[0], QStringLiteral("确定"));
    EXPECT_EQ(ui::g_strWarn[2], QStringLiteral("提示"));
}

TEST_F(PageLayoutsTest, MissingFilesAreToldOncePerFileAndLeaveEverythingEmpty) {
    // Start from a loaded state so that the emptying is visible.
    layouts.m_posMain[3] = ButtonPos{1, 2, 3, 4};
    layouts.m_strMain[3] = QStringLiteral("old");
    layouts.m_posColor[32] = ButtonPos{1, 2, 3, 4};
    ui::g_strFunNames[47] = QStringLiteral("old");
    ui::g_warnRects[2] = ButtonPos{1, 2, 3, 4};
    for (RECT* r : Controls()) {
        *r = RECT{1, 2, 3, 4};
    }

    ui::LoadSkinMain(layouts, window, folder.Path(), 0);
    EXPECT_EQ(window.Count(MissingFileMessage), 1);
    ui::LoadSkinAdvance(layouts, window, folder.Path(), 0);
    EXPECT_EQ(window.Count(MissingFileMessage), 2);
    ui::LoadSkinColor(layouts, window, folder.Path(), 0);
    EXPECT_EQ(window.Count(MissingFileMessage), 3);
    ui::LoadSkinLBWarning(window, folder.Path(), 0);
    EXPECT_EQ(window.Count(MissingFileMessage), 4);
    EXPECT_EQ(window.Count(QStringLiteral("tray icon")), 4);
    // Every message is followed by the hide sequence, and the window ends up hidden.
    EXPECT_EQ(window.events.size(), 4 * 4);
    EXPECT_EQ(window.events.last(), QStringLiteral("hide"));

    EXPECT_EQ(layouts.m_posMain[3], ButtonPos{});
    EXPECT_EQ(layouts.m_strMain[3], QString());
    EXPECT_EQ(layouts.m_posColor[32], ButtonPos{});
    EXPECT_EQ(ui::g_strFunNames[47], QString());
    EXPECT_EQ(ui::g_warnRects[2], ButtonPos{});
    for (RECT* r : Controls()) {
        EXPECT_EQ(*r, (RECT{0, 0, 0, 0}));
    }
}

}  // namespace
