// Decoded skin images, kept after their first use so that a paint never goes to the disk: the
// skin files do not change while the program runs. Keyed by the image's full path; a file that
// is missing or cannot be decoded is remembered as a null image too. The language switch and a
// skin reload empty the cache (DropSkinImageCache), so the next paint reads the files again.
// User-interface thread only.
#pragma once

#include <QHash>
#include <QImage>
#include <QString>

namespace ui {

class SkinImageCache {
public:
    // The decoded image skinDir + "/" + name, in the 32-bit format the window composes in; a
    // null image when the file is missing or not an image. Images are shared, not copied.
    QImage Get(const QString& skinDir, const char* name);
    void Clear() { images_.clear(); }
    int Size() const { return static_cast<int>(images_.size()); }

private:
    QHash<QString, QImage> images_;
};

// The window's cache.
SkinImageCache& WindowSkinImages();
// Empties the window's cache (language switch, skin reload).
void DropSkinImageCache();

}  // namespace ui
