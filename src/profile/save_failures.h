// Saves that fail are said. The program keeps config.ini and the user's macro file beside
// itself; when one cannot be written (read-only, no permission, a folder in its place, a full
// disk) the log names the file and the reason at once, and the user gets one message per action:
// an Apply saves config.ini twice and perhaps the macro file, and says so once. A file the user
// was told about is not told again until a save of it succeeds (the log keeps every failure).
// Work that follows the mouse's own events tells after it has run, never holding it behind a
// message box. The program runs on with what it holds in memory.
// State of the user-interface thread: the writers run there. A failure noted on another thread
// is logged there and handed to the user-interface thread to be told.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>

#include "platform/ini.h"

// Notes that path could not be saved, for reason. Logged now; told to the user now, or when the
// action in progress ends.
void ReportSaveFailure(const QString& path, const QString& reason);

// The writes of one save as one transaction (platform::WriteProfileStrings); a failure is
// reported as above. Returns whether the file was written.
bool SaveIniWrites(std::span<const platform::ProfileWrite> writes, const QString& path);

// The writes of several files as one (platform::WriteProfileStringsTogether): none is written
// unless all can be; each failure is reported as above. Returns whether every file was written.
bool SaveIniWritesTogether(std::span<const platform::FileWrites> files);

// Forgets which files the user was told about (a fresh start).
void ForgetToldSaveFailures();

// The message for failed saves of these files, in the language langSel (1 English, else Chinese).
QString SaveFailureMessage(const QStringList& fileNames, std::uint8_t langSel);

// One action of the user (an Apply, the start-up): the failed saves inside it are told in one
// message when it ends. Actions nest; the outermost one tells.
class SaveAction {
public:
    // When the outermost action tells: as it ends, or after the event loop's next turn (work
    // that follows the mouse's own events, which must not wait on the user).
    enum class Telling { AtEnd, Later };
    explicit SaveAction(Telling telling = Telling::AtEnd);
    ~SaveAction();
    SaveAction(const SaveAction&) = delete;
    SaveAction& operator=(const SaveAction&) = delete;

    // The user has just been told that path cannot be saved: until a save of it succeeds, its
    // failures are only logged.
    void AlreadyTold(const QString& path);
};
