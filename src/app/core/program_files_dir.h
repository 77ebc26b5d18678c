// Where the program keeps its files. They live beside the executable (config.ini, the macro
// files, the log), but an installed program's folder is not writable by its users and serves
// several of them. Such a program works on a per-user copy of its folder, the way Windows
// redirects the writes of programs in its program folder to a per-user store: the folder
// "zelbo-mouse" in the user's data directory, with the same layout inside, so every path built
// from g_strExeDir stays as it is. A folder the user can write (the build's) is used as it is.
// Start-up, on the user-interface thread, before anything reads or writes a file.
#pragma once

#include <QString>

namespace app {

// The folder to build the program's paths from, for the executable's folder exeDir and the
// user's data directory. A per-user folder receives every installed file it lacks (the
// executable and another run's LOG excepted) and never has a file replaced: once the program
// ran, its files are the user's. When it cannot be made, exeDir is used after all.
QString ProgramFilesDir(const QString& exeDir, const QString& userDataHome);

// $XDG_DATA_HOME, or ~/.local/share where it is unset or not absolute.
QString UserDataHome();

}  // namespace app
