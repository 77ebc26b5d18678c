// Skin layout files: the rectangle type the whole window uses (ButtonPos), the platform RECT
// that child controls take, and ReadIniFields, the one reader of a layout value, which splits it
// at its commas into seven fields. The reader keeps no state. A loader first checks that its
// layout file is there (CheckSkinLayoutFile): when it is missing, the user is told once for the
// file and the window hides to the notification area through SkinWindowHooks, which the main
// window implements (tests implement it too). User-interface thread only.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace ui {

// One skin rectangle in client pixels of the window (the skin image's pixel grid). A missing
// entry reads as all zero and contains no point.
struct ButtonPos {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t w = 0;
    std::int32_t h = 0;

    // x <= px < x + w and y <= py < y + h, without overflow for any values a file may hold.
    bool Contains(std::int64_t px, std::int64_t py) const;
    friend bool operator==(const ButtonPos&, const ButtonPos&) = default;
};

// The platform's rectangle by its edges, as the child controls are placed.
struct RECT {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const RECT&, const RECT&) = default;
};

// left = x, top = y, right = x + w, bottom = y + h; an edge beyond the 32-bit range is held at
// the range's end instead of wrapping around.
RECT ToRect(const ButtonPos& pos);

// The seven fields of one layout value: 0 entry name, 1..4 x y w h, 5 label, 6 the rest.
constexpr int SkinFieldCount = 7;
using SkinFields = std::array<QString, SkinFieldCount>;

// Longest layout value read, in characters; a longer value is cut before splitting.
constexpr int SkinValueMaxLength = 259;

// The texts the reader shows, in these words whatever the language.
inline const QString SkinFileMissingText = QStringLiteral("找不到配置文件");
inline const QString SkinValueErrorText = QStringLiteral("加载ini错误！");

// What the main window does when a layout file is missing: the same hide to the notification
// area that closing the window does, in this order.
class SkinWindowHooks {
public:
    virtual ~SkinWindowHooks() = default;
    virtual void AddTrayIcon() = 0;
    virtual void ShowMinimized() = 0;  // SW_MINIMIZE
    virtual void HideWindow() = 0;     // SW_HIDE
};

// Splits a value at its commas into all seven fields (every field is assigned). No comma: the
// whole value is field 0. Otherwise fields 0..5 walk the parts that a comma ends, an empty field
// after the last of them and then part 0 again; field 6 is the text after the comma that ended
// field 5 (or the whole value when field 5 is the empty one). With six commas or more the fields
// are the first six parts and field 6 the rest, further commas included.
void SplitSkinFieldValue(const QString& value, SkinFields& fields);

// The existence test a loader makes once before it reads a layout file: when nothing exists at
// the path, shows SkinFileMissingText and hides the window through hooks, and returns false
// (the loader reads on; every value of the file is empty). Once per file and load, not once per
// key: the message waits for OK each time it shows.
bool CheckSkinLayoutFile(SkinWindowHooks& hooks, const QString& file);

// Reads key (as "%d") of section from the layout file and splits it; a missing file, section or
// key gives the empty value. More than six commas show SkinValueErrorText and the value is still
// split and used.
void ReadIniFields(const QString& file, const QString& section, int key, SkinFields& fields);

// Numeric field i (1..4) of a split value, by the usual decimal conversion.
int SkinFieldInt(const SkinFields& fields, int i);

// ButtonPos from fields 1..4.
ButtonPos SkinFieldRect(const SkinFields& fields);

}  // namespace ui
