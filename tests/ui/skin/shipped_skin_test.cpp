// The default skin as it ships in the program folder: both languages load without a message,
// put every button where a user can reach it, and caption it so that the text fits.
#include "ui/skin/page_layouts.h"
#include "ui/skin/skin_test_support.h"

#include <QFile>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <vector>

namespace {

using skin_test::RecordingWindow;
using ui::ButtonPos;
using ui::PageLayouts;

const QString SkinDir = QStringLiteral(ZELBO_SHIPPED_DIR "/skins");
constexpr int WindowWidth = 800;
constexpr int WindowHeight = 640;

struct Loaded {
    PageLayouts pages;
    std::array<QString, ui::FunNameCount> funNames;
    std::array<ButtonPos, ui::WarnRectCount> warn;
    std::array<QString, ui::WarnRectCount> warnText;
    std::array<ui::RECT, 6> controls;
    QStringList events;
};

Loaded Load(int lang) {
    RecordingWindow window;
    Loaded l;
    ui::LoadSkinMain(l.pages, window, SkinDir, lang);
    ui::LoadSkinColor(l.pages, window, SkinDir, lang);
    ui::LoadSkinAdvance(l.pages, window, SkinDir, lang);
    ui::LoadSkinLBWarning(window, SkinDir, lang);
    l.funNames = ui::g_strFunNames;
    l.warn = ui::g_warnRects;
    l.warnText = ui::g_strWarn;
    l.controls = {ui::g_rcEditFireTime, ui::g_rcEditRepeat, ui::g_rcEditMacroName,
                  ui::g_rcEditTrack,    ui::g_rcMacroList,  ui::g_rcStepList};
    l.events = window.events;
    return l;
}

std::vector<int> Range(int first, int last) {
    std::vector<int> keys;
    for (int k = first; k <= last; ++k) {
        keys.push_back(k);
    }
    return keys;
}

std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> all;
    for (const auto& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

// Entries that do something (or show a state) and so need a place on the page.
const std::vector<int> MainRoles = Join({{0},
                                         Range(2, 7),
                                         Range(9, 19),
                                         Range(22, 28),
                                         {32, 33},
                                         {37, 38},
                                         Range(41, 52),
                                         Range(60, 144)});
const std::vector<int> AdvRoles = Join({Range(0, 28), Range(30, 38), {43, 44}});
const std::vector<int> ColorRoles = Join({Range(0, 16), {18, 32}});

bool Overlap(const ButtonPos& a, const ButtonPos& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

bool Inside(const ButtonPos& r, int width, int height) {
    return r.w > 0 && r.h > 0 && r.x >= 0 && r.y >= 0 && r.x + r.w <= width && r.y + r.h <= height;
}

// Width of a caption in the window's font (13 pixels, fixed pitch: Latin characters are at
// most 7 pixels wide, Chinese ones 13).
int CaptionWidth(const QString& text) {
    int width = 0;
    for (QChar c : text) {
        width += c.unicode() < 0x2E80 ? 7 : 13;
    }
    return width;
}

class ShippedSkinTest : public ::testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() {
        cn_ = new Loaded(Load(0));
        en_ = new Loaded(Load(1));
    }
    static void TearDownTestSuite() {
        delete cn_;
        delete en_;
    }
    const Loaded& L() const { return GetParam() == 1 ? *en_ : *cn_; }

    static Loaded* cn_;
    static Loaded* en_;
};
Loaded* ShippedSkinTest::cn_ = nullptr;
Loaded* ShippedSkinTest::en_ = nullptr;

TEST_P(ShippedSkinTest, LoadsWithoutAnyMessage) {
    EXPECT_EQ(L().events, QStringList());
}

TEST_P(ShippedSkinTest, EveryRoleHasAPlaceOnTheWindow) {
    const PageLayouts& p = L().pages;
    for (int k : MainRoles) {
        EXPECT_TRUE(Inside(p.m_posMain[k], WindowWidth, WindowHeight)) << "main " << k;
    }
    for (int k : AdvRoles) {
        EXPECT_TRUE(Inside(p.m_posAdv[k], WindowWidth, WindowHeight)) << "advanced " << k;
    }
    for (int k : ColorRoles) {
        EXPECT_TRUE(Inside(p.m_posColor[k], WindowWidth, WindowHeight)) << "colour " << k;
    }
    for (const ui::RECT& r : L().controls) {
        EXPECT_TRUE(Inside(ButtonPos{r.left, r.top, r.right - r.left, r.bottom - r.top},
                           WindowWidth, WindowHeight));
    }
    for (const ButtonPos& r : L().warn) {
        EXPECT_TRUE(Inside(r, 340, 150));
    }
}

// The first rectangle that holds the pointer wins, so an overlap would hide a button, and a
// child control laid over a button would swallow its clicks.
TEST_P(ShippedSkinTest, NoButtonHidesAnother) {
    const PageLayouts& p = L().pages;
    auto check = [](const std::vector<ButtonPos>& rects, const char* page) {
        for (size_t i = 0; i < rects.size(); ++i) {
            for (size_t j = i + 1; j < rects.size(); ++j) {
                if (rects[i].w > 0 && rects[j].w > 0) {
                    EXPECT_FALSE(Overlap(rects[i], rects[j])) << page << " " << i << " " << j;
                }
            }
        }
    };
    check(std::vector<ButtonPos>(p.m_posMain.begin(), p.m_posMain.end()), "main");
    std::vector<ButtonPos> adv(p.m_posMain.begin(), p.m_posMain.begin() + ui::FrameButtonCount);
    adv.insert(adv.end(), p.m_posAdv.begin(), p.m_posAdv.begin() + 39);
    for (const ui::RECT& r : L().controls) {
        adv.push_back(ButtonPos{r.left, r.top, r.right - r.left, r.bottom - r.top});
    }
    check(adv, "advanced");
    std::vector<ButtonPos> colour(p.m_posMain.begin(), p.m_posMain.begin() + ui::FrameButtonCount);
    colour.insert(colour.end(), p.m_posColor.begin(), p.m_posColor.end());
    check(colour, "colour");
    check(std::vector<ButtonPos>(L().warn.begin(), L().warn.end()), "warning");
}

TEST_P(ShippedSkinTest, SliderCellsRunLeftToRightOnTheirLevelsRow) {
    const PageLayouts& p = L().pages;
    for (int j = 0; j < 6; ++j) {
        const ButtonPos& level = p.m_posMain[60 + j];
        for (int k = 0; k < 12; ++k) {
            const ButtonPos& cell = p.m_posMain[66 + 12 * j + k];
            EXPECT_EQ(cell.y, level.y) << j << " " << k;
            if (k > 0) {
                EXPECT_GT(cell.x, p.m_posMain[66 + 12 * j + k - 1].x);
            }
        }
        // The level's mark and swatch sit on the same row, left of its slider.
        for (int e : {47 + j, 41 + j}) {
            EXPECT_TRUE(p.m_posMain[e].y >= level.y &&
                        p.m_posMain[e].y + p.m_posMain[e].h <= level.y + level.h);
            EXPECT_LT(p.m_posMain[e].x, p.m_posMain[66 + 12 * j].x);
        }
    }
    // Each slot's companion lies beside it, on its row.
    for (int s = 22; s <= 28; ++s) {
        EXPECT_EQ(p.m_posMain[s + 116].y, p.m_posMain[s].y);
    }
}

TEST_P(ShippedSkinTest, CaptionsFitTheirButtons) {
    const PageLayouts& p = L().pages;
    for (int k = 0; k < 54; ++k) {
        EXPECT_LE(CaptionWidth(p.m_strMain[k]), p.m_posMain[k].w) << "main " << k;
    }
    for (int k = 0; k < ui::AdvRectCount; ++k) {
        EXPECT_LE(CaptionWidth(p.m_strAdv[k]), p.m_posAdv[k].w) << "advanced " << k;
    }
    for (int k = 0; k < 32; ++k) {
        EXPECT_LE(CaptionWidth(p.m_strColor[k]), p.m_posColor[k].w) << "colour " << k;
    }
    for (int k = 0; k < ui::WarnRectCount; ++k) {
        EXPECT_LE(CaptionWidth(L().warnText[k]), L().warn[k].w) << "warning " << k;
    }
    // Function names appear left-aligned in the slots and centred in the 168-pixel popups.
    for (int code = 1; code < ui::FunNameCount; ++code) {
        EXPECT_FALSE(L().funNames[code].isEmpty()) << code;
        EXPECT_LE(CaptionWidth(L().funNames[code]), 160) << code;
        EXPECT_LE(CaptionWidth(L().funNames[code]) + 5, p.m_posMain[22].w - 24) << code;
    }
    EXPECT_TRUE(L().funNames[0].isEmpty());
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, ShippedSkinTest, ::testing::Values(0, 1));

TEST(ShippedSkin, BothLanguagesShareEveryRectangle) {
    const Loaded cn = Load(0);
    const Loaded en = Load(1);
    EXPECT_EQ(cn.pages.m_posMain, en.pages.m_posMain);
    EXPECT_EQ(cn.pages.m_posAdv, en.pages.m_posAdv);
    EXPECT_EQ(cn.pages.m_posColor, en.pages.m_posColor);
    EXPECT_EQ(cn.warn, en.warn);
    EXPECT_EQ(cn.controls, en.controls);
}

TEST(ShippedSkin, SpotChecksOfBothLanguages) {
    const Loaded cn = Load(0);
    const Loaded en = Load(1);
    EXPECT_EQ(cn.pages.m_posMain[3], (ButtonPos{652, 594, 128, 32}));
    EXPECT_EQ(cn.pages.m_strMain[3], QStringLiteral("应用"));
    EXPECT_EQ(en.pages.m_strMain[3], QStringLiteral("Apply"));
    EXPECT_EQ(cn.pages.m_strMain[17], QStringLiteral("中文"));
    EXPECT_EQ(en.pages.m_strMain[18], QStringLiteral("English"));
    EXPECT_EQ(cn.pages.m_posMain[66], (ButtonPos{510, 194, 22, 32}));
    EXPECT_EQ(cn.pages.m_posMain[137], (ButtonPos{752, 434, 22, 32}));
    EXPECT_EQ(cn.pages.m_posAdv[30], (ButtonPos{462, 324, 200, 22}));
    EXPECT_EQ(cn.pages.m_strAdv[36], QStringLiteral("500Hz"));
    EXPECT_EQ(cn.pages.m_posColor[32], (ButtonPos{480, 150, 270, 200}));
    EXPECT_EQ(cn.pages.m_strColor[8], QStringLiteral("七彩循环"));
    EXPECT_EQ(en.pages.m_strColor[8], QStringLiteral("Colour cycle"));
    EXPECT_EQ(cn.controls[5], (ui::RECT{212, 204, 428, 496}));  // step list
    EXPECT_EQ(cn.funNames[1], QStringLiteral("左键"));
    EXPECT_EQ(en.funNames[1], QStringLiteral("Left click"));
    EXPECT_EQ(cn.funNames[33], QStringLiteral("播放/暂停"));
    EXPECT_EQ(en.funNames[47], QStringLiteral("Built-in macro 8"));
    EXPECT_EQ(cn.warnText[1], QStringLiteral("取消"));
    EXPECT_EQ(en.warnText[0], QStringLiteral("OK"));
}

// The files as bytes: CRLF lines of valid UTF-8, every key in its "%d" form.
TEST(ShippedSkin, LayoutFilesAreCrlfUtf8) {
    const char* files[] = {"INI_CN/skin_main.ini",     "INI_CN/skin_advance.ini",
                           "INI_CN/skin_color.ini",    "INI_CN/LBWarning.ini",
                           "INI_EN/skin_main_en.ini",  "INI_EN/skin_advance_en.ini",
                           "INI_EN/skin_color_en.ini", "INI_EN/LBWarning_en.ini"};
    for (const char* name : files) {
        QFile file(SkinDir + u'/' + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = file.readAll();
        QStringDecoder decode(QStringDecoder::Utf8);
        const QString text = decode(bytes);
        EXPECT_FALSE(decode.hasError()) << name;
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << name;
        EXPECT_TRUE(bytes.endsWith("\r\n")) << name;
        for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
            if (line.startsWith(u';') || line.startsWith(u'[')) {
                continue;
            }
            const QString key = line.section(u'=', 0, 0);
            EXPECT_EQ(QString::number(key.toInt()), key) << name << ": " << qPrintable(line);
        }
    }
}

}  // namespace
