// CKVE_ZelboApp, the program's entry into the window toolkit: one global object, theApp. Its
// constructor records the executable's folder, which every path of the program is built from;
// InitInstance lets one copy run per user, moves the program's paths to the user's copy of
// its folder when the user cannot write that folder (an install), and runs the main window
// modally for the whole run.
// User-interface thread only.
#pragma once

#include <QString>

class CKVE_ZelboApp {
public:
    CKVE_ZelboApp();
    // Always false: when the main window ends, so does the program. A QApplication must exist.
    bool InitInstance();
};

extern CKVE_ZelboApp theApp;
