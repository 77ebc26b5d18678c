#include "ui/skin/skin_images.h"

#include <QBuffer>
#include <QImageReader>

#include "platform/regular_file.h"

namespace ui {

QString SkinImagePath(const QString& skinDir, const char* name) {
    return skinDir + u'/' + QString::fromUtf8(name);
}

QImage LoadSkinImageFile(const QString& path) {
    platform::RegularFileContent file = platform::ReadRegularFile(path);
    if (file.result != platform::FileRead::Read) {
        return {};
    }
    QBuffer buffer(&file.bytes);
    buffer.open(QIODevice::ReadOnly);
    // The format comes from the bytes, as it would from the file; the size from the header,
    // before any pixel is decoded.
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && qint64{size.width()} * size.height() > MaxSkinImagePixels) {
        return {};
    }
    return reader.read();
}

QImage LoadSkinImage(const QString& skinDir, const char* name) {
    return LoadSkinImageFile(SkinImagePath(skinDir, name));
}

}  // namespace ui
