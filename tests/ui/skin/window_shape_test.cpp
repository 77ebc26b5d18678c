#include "ui/skin/window_shape.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

QImage Filled(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(WindowShape, LightPixelsAreCutOutDarkOnesStay) {
    QImage mask = Filled(6, 4, qRgb(0, 0, 0));
    mask.setPixel(1, 1, qRgb(101, 101, 101));  // all three above 100: outside the window
    mask.setPixel(2, 1, qRgb(255, 255, 100));  // one component at 100: stays
    mask.setPixel(3, 1, qRgb(100, 255, 255));
    mask.setPixel(4, 2, qRgb(255, 255, 255));
    const QRegion region = ui::WindowRegionFromMask(mask);

    EXPECT_FALSE(region.contains(QPoint(1, 1)));
    EXPECT_TRUE(region.contains(QPoint(2, 1)));
    EXPECT_TRUE(region.contains(QPoint(3, 1)));
    EXPECT_FALSE(region.contains(QPoint(4, 2)));
    EXPECT_TRUE(region.contains(QPoint(0, 0)));
    EXPECT_TRUE(region.contains(QPoint(5, 3)));
    EXPECT_FALSE(region.contains(QPoint(6, 0))) << "nothing outside the image";
    int inside = 0;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            inside += region.contains(QPoint(x, y)) ? 1 : 0;
        }
    }
    EXPECT_EQ(inside, 24 - 2);
}

TEST(WindowShape, AllLightMaskLeavesNoWindowAndNullImageGivesEmptyRegion) {
    EXPECT_TRUE(ui::WindowRegionFromMask(Filled(5, 5, qRgb(200, 180, 101))).isEmpty());
    EXPECT_TRUE(ui::WindowRegionFromMask(QImage()).isEmpty());
}

TEST(WindowShape, RoundedCornersOfASkinAreOutside) {
    // A dark skin on a white background with its corners cut away.
    QImage mask = Filled(40, 30, qRgb(20, 20, 20));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3 - y; ++x) {
            mask.setPixel(x, y, qRgb(255, 255, 255));
            mask.setPixel(39 - x, 29 - y, qRgb(255, 255, 255));
        }
    }
    const QRegion region = ui::WindowRegionFromMask(mask);
    EXPECT_FALSE(region.contains(QPoint(0, 0)));
    EXPECT_FALSE(region.contains(QPoint(2, 0)));
    EXPECT_TRUE(region.contains(QPoint(3, 0)));
    EXPECT_TRUE(region.contains(QPoint(0, 3)));
    EXPECT_FALSE(region.contains(QPoint(39, 29)));
    EXPECT_TRUE(region.contains(QPoint(20, 15)));
    EXPECT_EQ(region.boundingRect(), QRect(0, 0, 40, 30));
}

TEST(WindowShape, ExclusiveOrRemovesInsideAndAddsOutside) {
    QRegion region(0, 0, 10, 10);
    ui::XorRect(region, QRect(2, 2, 3, 3));  // a child control inside the window
    EXPECT_FALSE(region.contains(QPoint(3, 3)));
    EXPECT_TRUE(region.contains(QPoint(1, 1)));
    ui::XorRect(region, QRect(8, 8, 4, 4));  // reaches past the window's edge
    EXPECT_FALSE(region.contains(QPoint(9, 9)));
    EXPECT_TRUE(region.contains(QPoint(11, 11)));
    ui::XorRect(region, QRect(2, 2, 3, 3));  // twice gives the first region back there
    EXPECT_TRUE(region.contains(QPoint(3, 3)));
}

}  // namespace
