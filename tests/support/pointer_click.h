// Real pointer clicks through the X server (xdotool), where a person clicks the program's
// window in the end-to-end tests. On the test's thread.
#pragma once

#include <QPoint>
#include <cstdint>

namespace testing_support {

class ProgramFolder;

// The centre of a main-page rectangle (frame buttons included) as the English skin layout of
// the folder places it; both languages place them alike. (0, 0) when the entry is missing.
QPoint MainRectCentre(const ProgramFolder& folder, int index);

// Moves the pointer onto p of the window (from the pixel beside it, so the window sees a
// movement) and clicks the left button there. False when xdotool fails.
bool ClickAt(std::uint64_t window, QPoint p);

}  // namespace testing_support
