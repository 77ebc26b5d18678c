// The settings writer: saves the profile state (and the user's macro list when a button plays a
// user macro, so that the file holds the list that config.ini's codes index), translates it
// into the mouse's codes and writes the whole settings image (settings blocks, key entries,
// macro bodies), then makes the mouse take it and sets the desktop's pointer speed and wheel
// lines; what it sent is kept for the power events (applied_settings.h). User-interface thread
// only; the device threads read the tables it leaves (settings_image.h).
#pragma once

#include <functional>

// The main window's repaint (the whole client area); the window installs it at start-up.
void SetRepaintHook(std::function<void()> repaint);
void RequestRepaint();

void ApplySettings();
