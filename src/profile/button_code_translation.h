// How config.ini's K keys name the user's macros while the window's macro list differs from the
// user's macro file. Only the macro bindings, on the floor above, know that difference: they
// install their translation here when they first hold a change of the list, and the store asks
// through it on every read and save of the K keys. Until then a code is written and read as it
// is, which is right while no change is held. User-interface thread only.
#pragma once

#include <QString>

struct ButtonCodeTranslation {
    // The code path holds for a button function in memory.
    int (*forFile)(const QString& path, int code);
    // After KeyFunc was read from path: the codes become those of the window's list.
    void (*takeFromFile)(const QString& path);
};

void SetButtonCodeTranslation(const ButtonCodeTranslation& translation);
const ButtonCodeTranslation& CurrentButtonCodeTranslation();
