// Decoded skin images, kept after their first use so that a paint never goes to the disk: the
// skin files do not change while the program runs. Keyed by the image's full path; a file that
// is missing or cannot be decoded is remembered as a null image too. A skin reload empties the
// cache (DropSkinImageCache); a paint under another language than the cache was filled under
// empties it too, so a language switch always reads the files again. User-interface thread
// only.
#pragma once

#include <QHash>
#include <QImage>
#include <QString>
#include <cstdint>

namespace ui {

class SkinImageCache {
public:
    // The decoded image skinDir + "/" + name, in the 32-bit format the window composes in; a
    // null image when the file is missing or not an image. Images are shared, not copied.
    QImage Get(const QString& skinDir, const char* name);
    void Clear() { images_.clear(); }
    // Empties the cache when language is not the one its images were read under.
    void FollowLanguage(std::uint8_t language) {
        if (language != language_) {
            images_.clear();
            language_ = language;
        }
    }
    int Size() const { return static_cast<int>(images_.size()); }

private:
    QHash<QString, QImage> images_;
    std::uint8_t language_ = 0;
};

// The window's cache.
SkinImageCache& WindowSkinImages();
// Empties the window's cache (language switch, skin reload).
void DropSkinImageCache();

}  // namespace ui
