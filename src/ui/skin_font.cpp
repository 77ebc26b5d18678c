#include "ui/skin_font.h"

#include <QStringList>

QFont g_font;

namespace ui {

QFont MakeSkinFont() {
    QFont font;
    // "宋体" first, then the faces a Linux desktop is likely to have for the same text.
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("WenQuanYi Zen Hei Mono"),
                      QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("monospace")});
    font.setPixelSize(13);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setFixedPitch(true);
    font.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
    return font;
}

}  // namespace ui
