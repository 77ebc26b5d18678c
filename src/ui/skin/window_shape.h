// The window's shape, cut out of the skin's mask image: light pixels of the mask lie outside the
// window. Start-up computes it once; the advanced page repaints through g_rgnWindow, which also
// leaves out the child controls of that page. State here is user-interface thread only.
#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QString>

extern QString g_strMaskPath;  // g_strSkinDir + "/main_mask.jpg"
extern int g_skinWidth;        // pixels of the mask image; 0 until it was read
extern int g_skinHeight;
extern QRegion g_rgnWindow;  // repaint region of the advanced page

namespace ui {

// A mask pixel is cut out of the window when its red, green and blue are all above this.
inline constexpr int MaskCutThreshold = 100;

// The pixels of the mask that stay part of the window: the image's rectangle with every pixel
// whose three components are all above MaskCutThreshold removed. A null image gives an empty
// region.
QRegion WindowRegionFromMask(const QImage& mask);

// Combines rect into region by exclusive-or (CombineRgn with RGN_XOR): the part of rect inside
// region is removed, the part outside it is added.
void XorRect(QRegion& region, const QRect& rect);

}  // namespace ui
