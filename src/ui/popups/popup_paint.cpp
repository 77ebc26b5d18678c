#include "ui/popups/popup_paint.h"

#include <QFontMetrics>
#include <QPainter>

#include "common/paths.h"
#include "ui/skin/skin_font.h"
#include "ui/skin/skin_image_cache.h"

namespace ui {

QImage PopupImage(const char* name) {
    return WindowSkinImages().Get(g_strSkinDir, name);
}

void DrawCentredText(QPainter& painter, const QRect& r, const QString& text, const QColor& colour) {
    const QFontMetrics metrics(g_font);
    const int x = r.x() + (r.width() - metrics.horizontalAdvance(text)) / 2;
    const int y = r.y() + (r.height() - metrics.height()) / 2;
    painter.setFont(g_font);
    painter.setPen(colour);
    painter.drawText(x, y + metrics.ascent(), text);
}

void CopyBand(QPainter& painter, const QImage& source, const QRect& r, const QColor& fallback) {
    if (source.isNull() || !source.rect().contains(r)) {
        painter.fillRect(r, fallback);
    }
    if (!source.isNull()) {
        painter.drawImage(r.topLeft(), source, r);
    }
}

}  // namespace ui
