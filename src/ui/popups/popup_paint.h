// What the function popups and the warning box draw with: their skin images from the window's
// image cache (a popup repaints on every row the pointer crosses), the centred texts, and the
// plain colours that stand in for an image that cannot be read. User-interface thread only.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

class QPainter;

namespace ui {

// Text colours of the popups: 0x0000FF and 0xFFFFFF as COLORREF.
inline const QColor PopupTextRed{255, 0, 0};
inline const QColor PopupTextWhite{255, 255, 255};
// Stand-ins for a missing background image and a missing hover or pressed image.
inline const QColor PopupFallbackBackground{30, 30, 30};
inline const QColor PopupFallbackBand{70, 70, 70};

// The image name in the skin folder g_strSkinDir, decoded once; null when it cannot be read.
QImage PopupImage(const char* name);

// Draws text in g_font at x = r.x + (r.w - text width) / 2, y = r.y + (r.h - text height) / 2
// (y the top of the text), each half truncated toward zero.
void DrawCentredText(QPainter& painter, const QRect& r, const QString& text, const QColor& colour);

// Copies the rectangle r of source to the same place; what source does not cover of r (all of
// it for a null source) is filled with fallback.
void CopyBand(QPainter& painter, const QImage& source, const QRect& r, const QColor& fallback);

}  // namespace ui
