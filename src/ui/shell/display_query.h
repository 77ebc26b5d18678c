// What the display server says at this moment, where the toolkit's own idea lags behind: it
// learns of a press and its release only when both have left its queue, and of a move by the
// window manager only when that move's notice arrives. Off X11 the toolkit's idea is all there
// is. User-interface thread only.
#pragma once

#include <QPoint>
#include <QPointF>

class QWidget;

namespace ui {

// Whether the left mouse button is down.
bool LeftButtonHeld();

// Hands the window to the window manager's move, as a press on a title bar does, when the left
// button is still held; false when it is not (nothing starts then). pressedAt is the press in
// the window's own coordinates: the move is anchored there, on the window's place as the server
// has it (the toolkit's idea may be stale after the window manager moved it, and a move
// anchored on a stale place makes the window jump).
bool StartWindowMoveWhileHeld(QWidget& window, QPoint pressedAt);

// Ends the move StartWindowMoveWhileHeld handed over, for a release that reached the window
// itself: the button was up before the window manager took the move, which would otherwise
// have the window follow the pointer with no button held until the next click.
void CancelWindowMove(QWidget& window);

// Where the window's top left corner is on the screen, as the X server has it, in the toolkit's
// screen coordinates. Every place the program works out from a window's place (its popups, the
// pointer over a list, the place a hidden window comes back to) starts here.
QPoint ScreenPlace(const QWidget& window);

// The X server counts in device pixels; the toolkit, its events and its window places count in
// its own, and at a display scale above 1 one of those spans several device pixels. This turns
// a place on the window's screen from the server's into the toolkit's as the toolkit turns its
// own (a place it gives as a whole number is rounded the same way).
QPointF FromDevicePixels(const QWidget& window, QPointF device);

}  // namespace ui
