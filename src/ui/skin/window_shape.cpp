#include "ui/skin/window_shape.h"

#include <vector>

QString g_strMaskPath;
int g_skinWidth = 0;
int g_skinHeight = 0;
QRegion g_rgnWindow;

namespace ui {

namespace {

bool IsCutOut(QRgb pixel) {
    return qRed(pixel) > MaskCutThreshold && qGreen(pixel) > MaskCutThreshold &&
           qBlue(pixel) > MaskCutThreshold;
}

}  // namespace

QRegion WindowRegionFromMask(const QImage& mask) {
    if (mask.isNull()) {
        return {};
    }
    // Removing each light pixel from the full rectangle leaves exactly the dark pixels; they are
    // gathered as one run per row and stretch of dark pixels, which is the banded, sorted form
    // QRegion takes at once (a pixel-by-pixel exclusive-or would cost seconds on a full skin).
    const QImage image = mask.convertToFormat(QImage::Format_RGB32);
    std::vector<QRect> runs;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < image.width()) {
            while (x < image.width() && IsCutOut(line[x])) {
                ++x;
            }
            const int start = x;
            while (x < image.width() && !IsCutOut(line[x])) {
                ++x;
            }
            if (x > start) {
                runs.emplace_back(start, y, x - start, 1);
            }
        }
    }
    QRegion region;
    if (!runs.empty()) {
        region.setRects(runs.data(), static_cast<int>(runs.size()));
    }
    return region;
}

void XorRect(QRegion& region, const QRect& rect) {
    region = region.xored(QRegion(rect));
}

}  // namespace ui
