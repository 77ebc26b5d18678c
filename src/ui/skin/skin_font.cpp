#include "ui/skin/skin_font.h"

#include <QFontMetrics>
#include <QStringList>

QFont g_font;

namespace ui {

QFont MakeSkinFont() {
    QFont font;
    // "宋体" first, then the faces a Linux desktop is likely to have for the same text.
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("WenQuanYi Zen Hei Mono"),
                      QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("monospace")});
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setFixedPitch(true);
    font.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);

    // A pixel size is the em height; the cell adds the face's own leading above and below.
    int pixelSize = SkinFontCellHeight;
    font.setPixelSize(pixelSize);
    while (pixelSize > 1 && QFontMetrics(font).height() > SkinFontCellHeight) {
        font.setPixelSize(--pixelSize);
    }
    const int width = QFontMetrics(font).horizontalAdvance(QLatin1Char('0'));
    if (width <= 0 || width == SkinFontAverageWidth) {
        return font;
    }
    // Advances are rounded to whole pixels: try the stretches next to the proportional one
    // until a character is exactly as wide as the design's.
    const int proportional = (100 * SkinFontAverageWidth + width / 2) / width;
    for (int delta : {0, 1, -1, 2, -2, 3, -3, 4, -4, 5, -5}) {
        font.setStretch(proportional + delta);
        if (QFontMetrics(font).horizontalAdvance(QLatin1Char('0')) == SkinFontAverageWidth) {
            return font;
        }
    }
    font.setStretch(proportional);
    return font;
}

}  // namespace ui
