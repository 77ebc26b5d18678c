#include "ui/skin/skin_images.h"

namespace ui {

QString SkinImagePath(const QString& skinDir, const char* name) {
    return skinDir + u'/' + QString::fromUtf8(name);
}

QImage LoadSkinImage(const QString& skinDir, const char* name) {
    return QImage(SkinImagePath(skinDir, name));
}

}  // namespace ui
