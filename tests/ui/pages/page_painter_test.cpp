// The pages as the user sees them, composed from the shipped skin: each overlay is compared with
// the pixels of the skin image it must come from.
#include "ui/pages/page_painter.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>
#include <vector>

#include <gtest/gtest.h>

#include "device/settings_image.h"
#include "macro/macro_record.h"
#include "profile/profile_settings.h"
#include "support/qt_app.h"
#include "ui/pages/slot_captions.h"
#include "ui/shell/window_state.h"
#include "ui/skin/page_layouts.h"
#include "ui/skin/skin_font.h"
#include "ui/skin/skin_image_cache.h"
#include "ui/skin/skin_images.h"
#include "ui/skin/skin_test_support.h"

namespace {

using ui::ButtonPos;

const QString SkinDir = QStringLiteral(ZELBO_SHIPPED_DIR "/skins");

class PagePainterTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::TestApplication();
        skin_test::RecordingWindow window;
        ui::LoadSkinMain(layouts, window, SkinDir, 0);
        ui::LoadSkinColor(layouts, window, SkinDir, 0);
        ui::LoadSkinAdvance(layouts, window, SkinDir, 0);
        ASSERT_TRUE(window.events.isEmpty());
        g_font = ui::MakeSkinFont();
        g_langSel = 0;
        g_curConfig = 1;
        g_curConfigIdx = 0;
        g_hoverMain = g_hoverAdv = g_hoverColor = ui::NoHover;
        g_mousePressed = 0;
        g_dpiLevel = 0;
        g_dpiSet.fill(0);
        g_dpiSetEn.fill(false);
        g_dpiColorRef.fill(0x0000FF);
        g_fireTime = 0;
        g_ledType = 0;
        g_ledCycTime = 0;
        g_ledPreviewGray = 1;
    }
    void TearDown() override {
        g_page = PageMain;
        g_hoverMain = 0;
        g_mousePressed = 0;
        g_fireTime = 50;
    }

    QImage Paint(std::uint8_t page) {
        g_page = page;
        return ui::ComposePage(layouts, images, SkinDir, Look(ui::MainMaskImage).size());
    }
    QImage Look(const char* name) { return images.Get(SkinDir, name); }
    QImage Look(std::uint8_t page, int which) {
        const ui::PageImageSet& set = ui::PageImages[page];
        return Look(which == 0 ? set.normal : which == 1 ? set.over : set.down);
    }

    // The rectangle's border ring (one pixel in), where no caption or fill reaches, equals the
    // same pixels of source.
    static bool RingFrom(const QImage& canvas, const QImage& source, const ButtonPos& r) {
        for (int x = r.x + 1; x < r.x + r.w - 1; ++x) {
            if (canvas.pixel(x, r.y + 1) != source.pixel(x, r.y + 1)) {
                return false;
            }
        }
        for (int y = r.y + 1; y < r.y + r.h - 1; ++y) {
            if (canvas.pixel(r.x + 1, y) != source.pixel(r.x + 1, y)) {
                return false;
            }
        }
        return true;
    }
    // Some pixel of r passes test.
    template <typename Test>
    static bool AnyPixel(const QImage& canvas, const ButtonPos& r, Test test) {
        for (int y = r.y; y < r.y + r.h; ++y) {
            for (int x = r.x; x < r.x + r.w; ++x) {
                if (test(canvas.pixel(x, y))) {
                    return true;
                }
            }
        }
        return false;
    }
    // Every pixel of column x of r equals source.
    static bool ColumnFrom(const QImage& canvas, const QImage& source, const ButtonPos& r, int x) {
        for (int y = r.y; y < r.y + r.h; ++y) {
            if (canvas.pixel(x, y) != source.pixel(x, y)) {
                return false;
            }
        }
        return true;
    }

    ui::PageLayouts layouts;
    ui::SkinImageCache images;
};

TEST_F(PagePainterTest, OnlyTheCurrentDpiLevelIsLit) {
    g_dpiLevel = 2;
    const QImage page = Paint(PageMain);
    const QImage normal = Look(PageMain, 0);
    const QImage down = Look(PageMain, 2);
    ASSERT_FALSE(RingFrom(normal, down, layouts.m_posMain[62])) << "the skin lights levels";
    EXPECT_TRUE(RingFrom(page, down, layouts.m_posMain[62]));
    for (int level : {60, 61, 63, 64, 65}) {
        EXPECT_TRUE(RingFrom(page, normal, layouts.m_posMain[level])) << level;
    }
    g_dpiLevel = 9;  // a hand-edited DPI_LEVEL lights none, and nothing past the levels
    const QImage outside = Paint(PageMain);
    for (int rect = 60; rect <= 65; ++rect) {
        EXPECT_TRUE(RingFrom(outside, normal, layouts.m_posMain[rect])) << rect;
    }
}

TEST_F(PagePainterTest, SliderFillsOneCellAtPositionZeroAndTwelveAtElevenInsetInTheLevelsColour) {
    g_dpiColorRef = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00};
    g_dpiSet = {0, 11, 200, 0, 0, 0};  // level 2 from a hand-edited file: shown full
    const QImage page = Paint(PageMain);
    const QImage normal = Look(PageMain, 0);
    auto filled = [&](int rect, QRgb colour) {
        const ButtonPos& c = layouts.m_posMain[rect];
        return page.pixel(c.x + 1, c.y + 1) == colour &&
               page.pixel(c.x + c.w - 2, c.y + c.h - 1) == colour &&
               page.pixel(c.x, c.y) == normal.pixel(c.x, c.y) &&
               page.pixel(c.x + c.w - 1, c.y + 1) == normal.pixel(c.x + c.w - 1, c.y + 1);
    };
    EXPECT_TRUE(filled(66, qRgb(255, 0, 0)));
    for (int k = 1; k < 12; ++k) {
        EXPECT_TRUE(RingFrom(page, normal, layouts.m_posMain[66 + k])) << k;
    }
    for (int k = 0; k < 12; ++k) {
        EXPECT_TRUE(filled(78 + k, qRgb(0, 255, 0))) << k;
        EXPECT_TRUE(filled(90 + k, qRgb(0, 0, 255))) << k;
    }
    EXPECT_TRUE(filled(102, qRgb(255, 255, 0)));
    EXPECT_TRUE(RingFrom(page, normal, layouts.m_posMain[103])) << "level 3 stays at 0";
    // The swatches are filled whole with their level's colour.
    const ButtonPos& swatch = layouts.m_posMain[45];
    EXPECT_EQ(page.pixel(swatch.x, swatch.y), qRgb(255, 0, 255));
    EXPECT_EQ(page.pixel(swatch.x + swatch.w - 1, swatch.y + swatch.h - 1), qRgb(255, 0, 255));
    EXPECT_EQ(page.pixel(swatch.x + swatch.w, swatch.y),
              normal.pixel(swatch.x + swatch.w, swatch.y));
}

TEST_F(PagePainterTest, FireTimeBarGrowsWithTheTimeAndStaysInsideItsTrack) {
    const ButtonPos& track = layouts.m_posAdv[30];
    const QImage normal = Look(PageAdvanced, 0);
    const QImage down = Look(PageAdvanced, 2);
    const int half = track.w * 150 / 300;
    for (int x : {track.x, track.x + half - 1, track.x + half, track.x + track.w - 1}) {
        ASSERT_FALSE(ColumnFrom(normal, down, track, x)) << "the skin's bar differs at " << x;
    }
    auto barEnd = [&](std::uint32_t fireTime) {
        g_fireTime = fireTime;
        const QImage page = Paint(PageAdvanced);
        int x = track.x;
        while (x < track.x + track.w && ColumnFrom(page, down, track, x)) {
            ++x;
        }
        for (int rest = x; rest < track.x + track.w; ++rest) {
            EXPECT_TRUE(ColumnFrom(page, normal, track, rest)) << fireTime << " at " << rest;
        }
        EXPECT_TRUE(ColumnFrom(page, normal, track, track.x + track.w)) << "past the track";
        return x - track.x;
    };
    EXPECT_EQ(barEnd(0), 0);
    EXPECT_EQ(barEnd(150), half);
    EXPECT_EQ(barEnd(300), track.w);
    EXPECT_EQ(barEnd(1000), track.w) << "above 300: the whole track";
    EXPECT_EQ(barEnd(static_cast<std::uint32_t>(-5)), 0) << "negative: none";
}

TEST_F(PagePainterTest, SelectedLookWinsOverHoverAndFrameButtonZeroShowsHoverAtIndexZero) {
    const QImage normal = Look(PageMain, 0);
    const QImage over = Look(PageMain, 1);
    const QImage down = Look(PageMain, 2);
    const ButtonPos& profile1 = layouts.m_posMain[4];  // g_curConfig 1
    const ButtonPos& profile2 = layouts.m_posMain[5];
    ASSERT_FALSE(RingFrom(over, down, profile1));
    g_hoverMain = 4;
    EXPECT_TRUE(RingFrom(Paint(PageMain), down, profile1)) << "hovered current profile";
    g_hoverMain = 60;  // the current DPI level, hovered
    EXPECT_TRUE(RingFrom(Paint(PageMain), down, layouts.m_posMain[60]));
    g_hoverMain = 5;
    EXPECT_TRUE(RingFrom(Paint(PageMain), over, profile2));
    g_mousePressed = 1;
    EXPECT_TRUE(RingFrom(Paint(PageMain), down, profile2));
    g_mousePressed = 0;
    // Before the first movement the hover index is 0: frame button 0 (the title, drawn alike
    // in every look of this skin) shows its hover look and no other button is hovered.
    g_hoverMain = 0;
    const QImage page = Paint(PageMain);
    EXPECT_TRUE(RingFrom(page, over, layouts.m_posMain[0]));
    for (int rect : {1, 2, 5, 6, 7, 12, 13, 14}) {
        EXPECT_TRUE(RingFrom(page, normal, layouts.m_posMain[rect])) << rect;
    }
}

TEST_F(PagePainterTest, OutOfRangeLightingValuesLightNoTypeOrCycleTimeButton) {
    g_ledType = 7;
    g_ledCycTime = 9;
    const QImage page = Paint(PageColor);
    for (int rect = 7; rect <= 16; ++rect) {
        EXPECT_TRUE(RingFrom(page, Look(PageColor, 0), layouts.m_posColor[rect])) << rect;
    }
}

TEST_F(PagePainterTest, MissingSkinImagesPaintADarkPageWithTheCaptions) {
    QTemporaryDir empty;
    g_page = PageMain;
    const QImage page = ui::ComposePage(layouts, images, empty.path(), QSize(800, 640));
    ASSERT_EQ(page.size(), QSize(800, 640));
    const ButtonPos& apply = layouts.m_posMain[3];
    EXPECT_EQ(page.pixel(apply.x + 1, apply.y + 1), qRgb(30, 30, 30));
    EXPECT_EQ(page.pixel(799, 639), qRgb(30, 30, 30));
    EXPECT_TRUE(AnyPixel(page, apply, [](QRgb p) {
        return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200;
    })) << "the Apply caption is drawn";
}

TEST_F(PagePainterTest, HoveredSlotCaptionTurnsRed) {
    const ButtonPos& slot = layouts.m_posMain[23];
    KeyFunc[0][1] = 75;  // a keyboard key: "键盘"
    auto hasRed = [&](const QImage& page) {
        return AnyPixel(page, slot,
                        [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60; });
    };
    EXPECT_FALSE(hasRed(Paint(PageMain)));
    g_hoverMain = 23;
    EXPECT_TRUE(hasRed(Paint(PageMain)));
    KeyFunc[0][1] = 0;
}

TEST(ChildControlColours, ChildControlsGetWhiteSkinTextOnTheDarkBackground) {
    testing_support::TestApplication();
    g_font = ui::MakeSkinFont();
    QWidget window;
    window.installEventFilter(new ui::ChildControlColours(&window));
    auto* edit = new QLineEdit(&window);
    QWidget popup(&window, Qt::Popup);
    window.show();
    edit->ensurePolished();
    QApplication::processEvents();
    EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(30, 30, 30));
    EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(255, 255, 255));
    EXPECT_EQ(edit->font(), g_font);
    EXPECT_NE(popup.palette().color(QPalette::Base), QColor(30, 30, 30)) << "windows keep theirs";
}

TEST(SlotCaptions, CodesOutsideTheTablesHaveNoCaptionAndTheDpiFollowsTheAppliedCode) {
    for (int code : {48, 49, 63, 69, 149, 100000, -1, -70}) {
        EXPECT_TRUE(ui::FunctionCaption(code).isEmpty()) << code;
    }
    const auto saved = g_dpiCode;
    g_dpiCode = {1, 2, 7, 13, 15, 8};
    const std::vector<int> dpi = {200, 400, 1600, 3200, 4800, 200 /* unknown code */};
    for (std::uint32_t level = 0; level < 6; ++level) {
        EXPECT_EQ(ui::DpiCaptionValue(level), dpi[level]) << level;
    }
    EXPECT_EQ(ui::DpiCaptionValue(6), 200) << "a level past the table";
    g_dpiCode = saved;
}

TEST(SkinFont, CellIsThirteenPixelsHighAndALatinCharacterSixWide) {
    testing_support::TestApplication();
    const QFont font = ui::MakeSkinFont();
    const QFontMetrics metrics(font);
    EXPECT_EQ(metrics.height(), 13);
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("0123456789")), 60);
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("iiii")),
              metrics.horizontalAdvance(QStringLiteral("WWWW")))
        << "fixed pitch";
    EXPECT_TRUE(metrics.inFont(QChar(0x952E)));  // 键
}

TEST(SkinImageCache, DecodesEachFileOnceUntilDropped) {
    testing_support::TestApplication();
    QTemporaryDir dir;
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(dir.filePath(QStringLiteral("a.png"))));
    ui::SkinImageCache cache;
    EXPECT_EQ(cache.Get(dir.path(), "a.png").pixel(0, 0), qRgb(255, 0, 0));
    QImage blue = red;
    blue.fill(Qt::blue);
    ASSERT_TRUE(blue.save(dir.filePath(QStringLiteral("a.png"))));
    EXPECT_EQ(cache.Get(dir.path(), "a.png").pixel(0, 0), qRgb(255, 0, 0)) << "kept";
    EXPECT_TRUE(cache.Get(dir.path(), "missing.jpg").isNull());
    cache.Clear();
    EXPECT_EQ(cache.Get(dir.path(), "a.png").pixel(0, 0), qRgb(0, 0, 255)) << "read again";
}

}  // namespace
