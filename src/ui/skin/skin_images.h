// The skin images: their file names, where they lie (directly in the skin folder, shared by
// both languages), how a mask image's pixels shape a window, and the row counts the popup
// masks are divided into. Images are decoded from disk whenever they are used; nothing here
// caches them. Any thread may call these (they hold no state).
#pragma once

#include <QImage>
#include <QRgb>
#include <QString>
#include <array>

namespace ui {

// Main window shape; its size is the window's size.
inline constexpr char MainMaskImage[] = "main_mask.jpg";

// Normal, hover and pressed-or-lit look of one page.
struct PageImageSet {
    const char* normal;
    const char* over;
    const char* down;
};

// By page: 0 main, 1 advanced, 2 colour.
inline constexpr std::array<PageImageSet, 3> PageImages = {{
    {"main_normal.jpg", "main_over.jpg", "main_down.jpg"},
    {"advanced_normal.jpg", "advanced_over.jpg", "advanced_down.jpg"},
    {"color_normal_gray.jpg", "color_over_yellow.jpg", "color_down_blue.jpg"},
}};

// The colour page's preview swatch for cycle colours 2..6 (0 and 1 come from the page's over
// and down images, the grey state from its normal image).
inline constexpr std::array<const char*, 5> ColorSwatchImages = {
    "color_pink.jpg", "color_green.jpg", "color_red.jpg", "color_cyan.jpg", "color_white.jpg"};

// First-level function popup: the mask gives the shape's width and the row height
// (mask height / MenuMaskRows).
inline constexpr char MenuMaskImage[] = "menu_mask.jpg";
inline constexpr PageImageSet MenuImages = {"menu_normal.jpg", "menu_over.jpg", "menu_down.jpg"};
inline constexpr int MenuMaskRows = 11;

// Second-level popup; the names hold one blank.
inline constexpr char SubMenuMaskImage[] = "advanced menu_mask.jpg";
inline constexpr PageImageSet SubMenuImages = {"advanced menu_normal.jpg", "advanced menu_over.jpg",
                                               "advanced menu_down.jpg"};
inline constexpr int SubMenuMaskRows = 12;

// Warning popup: shape, background, hovered button.
inline constexpr char WarningMaskImage[] = "warning_mask.jpg";
inline constexpr char WarningNormalImage[] = "warning_normal.jpg";
inline constexpr char WarningOverImage[] = "warning_over.jpg";

// Every skin image file, for the generator and for checks of a skin folder.
inline constexpr std::array<const char*, 26> AllSkinImages = {
    MainMaskImage,
    "main_normal.jpg",
    "main_over.jpg",
    "main_down.jpg",
    "advanced_normal.jpg",
    "advanced_over.jpg",
    "advanced_down.jpg",
    "color_normal_gray.jpg",
    "color_over_yellow.jpg",
    "color_down_blue.jpg",
    "color_pink.jpg",
    "color_green.jpg",
    "color_red.jpg",
    "color_cyan.jpg",
    "color_white.jpg",
    MenuMaskImage,
    "menu_normal.jpg",
    "menu_over.jpg",
    "menu_down.jpg",
    SubMenuMaskImage,
    "advanced menu_normal.jpg",
    "advanced menu_over.jpg",
    "advanced menu_down.jpg",
    WarningMaskImage,
    WarningNormalImage,
    WarningOverImage,
};

// skinDir + "/" + name.
QString SkinImagePath(const QString& skinDir, const char* name);

// Decodes the image file; a missing or unreadable file gives a null image, and so does anything
// but a regular file in its place (a FIFO is never waited on), a file above the read bound, and
// an image larger than MaxSkinImagePixels.
QImage LoadSkinImageFile(const QString& path);
// LoadSkinImageFile of the image name in the skin folder.
QImage LoadSkinImage(const QString& skinDir, const char* name);

// Largest skin image decoded, in pixels (64 MB at 32 bits a pixel); the skin's own are 800 x 640.
inline constexpr qint64 MaxSkinImagePixels = 16 * 1024 * 1024;

// A mask pixel whose red, green and blue are all above 100 is cut out of the window's shape;
// any component of 100 or less keeps the pixel.
constexpr bool IsMaskPixelCutAway(QRgb pixel) {
    return qRed(pixel) > 100 && qGreen(pixel) > 100 && qBlue(pixel) > 100;
}

}  // namespace ui
