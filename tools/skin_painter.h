// The default skin's artwork: how each look of a layout entry is drawn in the normal, hover and
// pressed-or-lit image of a page, the window masks and the function popups' row images. A dark,
// plain style; no words are drawn (the images serve both languages), only digits, marks and
// icons. Used by the build-time image generator on its one thread.
#pragma once

#include "ui/skin/skin_layout_file.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <optional>
#include <vector>

namespace skin_art {

enum class State { Normal, Over, Down };

// One thing to draw: a rectangle and its look ("button", "slot", "cell:200", "panel", ...).
struct Item {
    ui::ButtonPos rect;
    QString look;
};

// The cycle colours as the preview swatch shows them (0 yellow and 1 blue are the colour
// page's hover and pressed images).
inline const QColor CycleYellow{0xFF, 0xD2, 0x00};
inline const QColor CycleBlue{0x20, 0x80, 0xFF};
inline const QColor CyclePink{0xFF, 0x69, 0xB4};
inline const QColor CycleGreen{0x30, 0xD0, 0x50};
inline const QColor CycleRed{0xFF, 0x30, 0x30};
inline const QColor CycleCyan{0x30, 0xE0, 0xE0};
inline const QColor CycleWhite{0xF0, 0xF0, 0xF0};

// Function popups: every row is this high, the popup this wide.
constexpr int MenuWidth = 168;
constexpr int MenuRowHeight = 28;

// One page (or the warning box) of size bounds, with every item in the given state, back to
// front. swatch, when given, fills the preview swatch instead of the state's colour.
QImage DrawPage(const ui::ButtonPos& bounds, const std::vector<Item>& items, State state,
                std::optional<QColor> swatch = std::nullopt);

// Black (kept) inside a rectangle with rounded corners of the given radius, white (cut away)
// outside.
QImage WindowMask(int width, int height, int radius);
// Black everywhere: a popup whose mask counts only by its size.
QImage PlainMask(int width, int height);

// A popup of rows rows; arrows marks rows 7..10 as opening a group.
QImage DrawMenu(int rows, bool arrows, State state);

}  // namespace skin_art
