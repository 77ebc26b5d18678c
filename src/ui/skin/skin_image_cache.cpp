#include "ui/skin/skin_image_cache.h"

#include "ui/skin/skin_images.h"

namespace ui {

QImage SkinImageCache::Get(const QString& skinDir, const char* name) {
    const QString path = SkinImagePath(skinDir, name);
    auto found = images_.constFind(path);
    if (found == images_.constEnd()) {
        QImage image = LoadSkinImageFile(path);
        if (!image.isNull() && image.format() != QImage::Format_RGB32) {
            image = image.convertToFormat(QImage::Format_RGB32);
        }
        found = images_.insert(path, image);
    }
    return found.value();
}

SkinImageCache& WindowSkinImages() {
    static SkinImageCache cache;
    return cache;
}

void DropSkinImageCache() {
    WindowSkinImages().Clear();
}

}  // namespace ui
