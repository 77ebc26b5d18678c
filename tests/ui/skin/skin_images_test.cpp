// The skin images the build draws into the program folder: all there, JPEG, of the sizes the
// layout implies, shaped and coloured so that each state a page shows can be seen.
#include "ui/skin/skin_images.h"
#include "ui/skin/page_layouts.h"
#include "ui/skin/skin_image_cache.h"
#include "ui/skin/skin_test_support.h"

#include "support/fifo_watchdog.h"

#include <sys/stat.h>
#include <QImageReader>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

using skin_test::RecordingWindow;
using ui::ButtonPos;

const QString SkinDir = QStringLiteral(ZELBO_SHIPPED_DIR "/skins");

class SkinImagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::LoadSkinMain(layouts, window, SkinDir, 0);
        ui::LoadSkinColor(layouts, window, SkinDir, 0);
        ui::LoadSkinAdvance(layouts, window, SkinDir, 0);
        ui::LoadSkinLBWarning(window, SkinDir, 0);
        ASSERT_TRUE(window.events.isEmpty());
    }
    static QImage Image(const char* name) {
        QImage image = ui::LoadSkinImage(SkinDir, name);
        EXPECT_FALSE(image.isNull()) << name;
        return image;
    }

    RecordingWindow window;
    ui::PageLayouts layouts;
};

QRgb Centre(const QImage& image, const ButtonPos& r) {
    return image.pixel(r.x + r.w / 2, r.y + r.h / 2);
}

// Mean difference of the three channels between two images over a rectangle.
double Difference(const QImage& a, const QImage& b, const ButtonPos& r) {
    double sum = 0;
    for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * r.w * r.h);
}

TEST_F(SkinImagesTest, EveryImageIsAJpegInTheSkinFolder) {
    for (const char* name : ui::AllSkinImages) {
        QImageReader reader(ui::SkinImagePath(SkinDir, name));
        EXPECT_EQ(reader.format(), QByteArray("jpeg")) << name;
        EXPECT_FALSE(reader.read().isNull()) << name;
    }
}

TEST_F(SkinImagesTest, PageImagesHaveTheWindowSizeAndHoldEveryRectangle) {
    const QImage mask = Image(ui::MainMaskImage);
    EXPECT_EQ(mask.size(), QSize(800, 640));
    for (const ui::PageImageSet& set : ui::PageImages) {
        for (const char* name : {set.normal, set.over, set.down}) {
            EXPECT_EQ(Image(name).size(), mask.size()) << name;
        }
    }
    for (const char* name : ui::ColorSwatchImages) {
        EXPECT_EQ(Image(name).size(), mask.size()) << name;
    }
    const QRect window(QPoint(0, 0), mask.size());
    auto holds = [&window](const ButtonPos& r) {
        return window.contains(QRect(r.x, r.y, r.w, r.h));
    };
    for (const ButtonPos& r : layouts.m_posMain) {
        EXPECT_TRUE(r.w == 0 || holds(r));
    }
    for (const ButtonPos& r : layouts.m_posAdv) {
        EXPECT_TRUE(r.w == 0 || holds(r));
    }
    for (const ButtonPos& r : layouts.m_posColor) {
        EXPECT_TRUE(r.w == 0 || holds(r));
    }
}

TEST_F(SkinImagesTest, MaskCutsTheCornersAndKeepsEveryButton) {
    const QImage mask = Image(ui::MainMaskImage);
    EXPECT_TRUE(ui::IsMaskPixelCutAway(mask.pixel(0, 0)));
    EXPECT_TRUE(ui::IsMaskPixelCutAway(mask.pixel(799, 639)));
    EXPECT_FALSE(ui::IsMaskPixelCutAway(mask.pixel(400, 320)));
    for (const ButtonPos& r : layouts.m_posMain) {
        if (r.w > 0) {
            for (QPoint corner : {QPoint(r.x, r.y), QPoint(r.x + r.w - 1, r.y + r.h - 1)}) {
                EXPECT_FALSE(ui::IsMaskPixelCutAway(mask.pixel(corner)));
            }
        }
    }
    const QImage warnMask = Image(ui::WarningMaskImage);
    EXPECT_EQ(Image(ui::WarningNormalImage).size(), warnMask.size());
    EXPECT_EQ(Image(ui::WarningOverImage).size(), warnMask.size());
    EXPECT_TRUE(ui::IsMaskPixelCutAway(warnMask.pixel(0, 0)));
    for (const ButtonPos& r : ui::g_warnRects) {
        EXPECT_TRUE(QRect(QPoint(0, 0), warnMask.size()).contains(QRect(r.x, r.y, r.w, r.h)));
        EXPECT_FALSE(ui::IsMaskPixelCutAway(Centre(warnMask, r)));
    }
}

TEST_F(SkinImagesTest, PopupImagesDivideIntoWholeRows) {
    const QImage menu = Image(ui::MenuMaskImage);
    EXPECT_EQ(menu.height() % ui::MenuMaskRows, 0);
    EXPECT_GE(menu.height() / ui::MenuMaskRows, 16);  // a row holds a line of text
    const QImage sub = Image(ui::SubMenuMaskImage);
    EXPECT_EQ(sub.height() % ui::SubMenuMaskRows, 0);
    EXPECT_EQ(sub.height() / ui::SubMenuMaskRows, menu.height() / ui::MenuMaskRows);
    for (const char* name : {ui::MenuImages.normal, ui::MenuImages.over, ui::MenuImages.down}) {
        EXPECT_EQ(Image(name).size(), menu.size()) << name;
    }
    for (const char* name :
         {ui::SubMenuImages.normal, ui::SubMenuImages.over, ui::SubMenuImages.down}) {
        EXPECT_EQ(Image(name).size(), sub.size()) << name;
    }
    // The hovered band of any row differs from the background.
    const int row = menu.height() / ui::MenuMaskRows;
    const ButtonPos band{0, 4 * row, menu.width(), row};
    EXPECT_GT(Difference(Image(ui::MenuImages.normal), Image(ui::MenuImages.over), band), 5.0);
    EXPECT_GT(Difference(Image(ui::MenuImages.over), Image(ui::MenuImages.down), band), 5.0);
}

TEST_F(SkinImagesTest, PreviewSwatchShowsEachCycleColour) {
    const ButtonPos swatch = layouts.m_posColor[32];
    struct Want {
        const char* image;
        int r, g, b;
    };
    const Want wants[] = {
        {"color_over_yellow.jpg", 255, 210, 0}, {"color_down_blue.jpg", 32, 128, 255},
        {"color_pink.jpg", 255, 105, 180},      {"color_green.jpg", 48, 208, 80},
        {"color_red.jpg", 255, 48, 48},         {"color_cyan.jpg", 48, 224, 224},
        {"color_white.jpg", 240, 240, 240}};
    for (const Want& want : wants) {
        const QRgb p = Centre(Image(want.image), swatch);
        EXPECT_NEAR(qRed(p), want.r, 12) << want.image;
        EXPECT_NEAR(qGreen(p), want.g, 12) << want.image;
        EXPECT_NEAR(qBlue(p), want.b, 12) << want.image;
    }
    const QRgb grey = Centre(Image("color_normal_gray.jpg"), swatch);
    EXPECT_NEAR(qRed(grey), qGreen(grey), 6);
    EXPECT_NEAR(qGreen(grey), qBlue(grey), 6);
    EXPECT_LT(qRed(grey), 128);
}

// A pressed, lit or hovered button must look different from its normal self.
TEST_F(SkinImagesTest, EveryButtonShowsItsHoverAndLitLooks) {
    struct Page {
        int index;
        const ButtonPos* rects;
        std::vector<int> buttons;
    };
    std::vector<int> main;
    for (int k : {2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 32, 33, 37, 38}) {
        main.push_back(k);
    }
    for (int k = 47; k <= 52; ++k) {
        main.push_back(k);
    }
    for (int k = 60; k <= 65; ++k) {
        main.push_back(k);
    }
    for (int k = 138; k <= 144; ++k) {
        main.push_back(k);
    }
    std::vector<int> adv;
    for (int k = 0; k <= 38; ++k) {
        if (k != 29 && k != 33) {
            adv.push_back(k);
        }
    }
    std::vector<int> colour;
    for (int k = 0; k <= 16; ++k) {
        colour.push_back(k);
    }
    const Page pages[] = {{0, layouts.m_posMain.data(), main},
                          {1, layouts.m_posAdv.data(), adv},
                          {2, layouts.m_posColor.data(), colour}};
    for (const Page& page : pages) {
        const ui::PageImageSet& set = ui::PageImages[page.index];
        const QImage normal = Image(set.normal), over = Image(set.over), down = Image(set.down);
        for (int k : page.buttons) {
            const ButtonPos& r = page.rects[k];
            EXPECT_GT(Difference(normal, down, r), 3.0) << "page " << page.index << " " << k;
            EXPECT_GT(Difference(normal, over, r), 1.0) << "page " << page.index << " " << k;
        }
        // The frame buttons look alike on every page.
        if (page.index > 0) {
            const QImage mainNormal = Image(ui::PageImages[0].normal);
            for (int k = 2; k < ui::FrameButtonCount; ++k) {
                EXPECT_LT(Difference(mainNormal, normal, layouts.m_posMain[k]), 2.0) << k;
            }
        }
    }
}

TEST(SkinImageFile, FifoFolderOrDeviceInPlaceOfAnImageIsNoImageAndNeverWaitedOn) {
    QTemporaryDir dir;
    const QString skinDir = dir.path();
    const QString mask = ui::SkinImagePath(skinDir, ui::MainMaskImage);
    const QString normal = ui::SkinImagePath(skinDir, ui::PageImages[0].normal);
    ASSERT_EQ(::mkfifo(QFile::encodeName(mask).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(normal).constData(), 0600), 0);
    ASSERT_TRUE(QDir(skinDir).mkdir(QString::fromUtf8(ui::PageImages[0].over)));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"),
                            ui::SkinImagePath(skinDir, ui::PageImages[0].down)));
    ui::SkinImageCache cache;
    const struct {
        const char* what;
        QString fifo;
        std::function<QImage()> load;
    } cases[] = {
        {"mask", mask, [&] { return ui::LoadSkinImageFile(mask); }},
        {"page image, by the paint's cache", normal,
         [&] { return cache.Get(skinDir, ui::PageImages[0].normal); }},
        {"folder", {}, [&] { return ui::LoadSkinImage(skinDir, ui::PageImages[0].over); }},
        {"device", {}, [&] { return ui::LoadSkinImage(skinDir, ui::PageImages[0].down); }},
    };
    for (const auto& c : cases) {
        QImage image;
        EXPECT_TRUE(testing_support::EndsWithoutWaitingOn(c.fifo, [&] { image = c.load(); }))
            << c.what << ": the load waited on the file";
        EXPECT_TRUE(image.isNull()) << c.what;
    }
}

}  // namespace
