// config.ini at start-up: checked (config_check.h) before anything reads it, so that a file the
// program cannot use never reaches the mouse as zeros. The program then runs on the config.ini
// that ships with it, built into the program so that it is there wherever the program runs from.
// Nothing of the user's is lost: a file with content is set aside beside itself under a name that
// replaces nothing, and the shipped file takes its place; an empty or missing one is simply
// replaced; one that cannot be read (a FIFO, a folder, no permission) or moved is left alone, its
// reads come from the shipped file (config_store.h) and its saves fail and say so.
// Start-up, on the user-interface thread.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

#include "profile/config_check.h"

// What start-up found and did.
struct StartupConfig {
    enum class Outcome {
        Used,       // the file passed the check
        Replaced,   // the shipped file is in its place (the old one set aside, if it had content)
        LeftAlone,  // it could not be replaced: the shipped settings serve from memory
    };
    Outcome outcome = Outcome::Used;
    std::optional<ConfigFault> fault;
    QString setAsidePath;  // where the refused file now is, if it was moved
};

// The config.ini that ships with the program.
QByteArray ShippedConfigIni();

// Checks config.ini at path and, when it fails, sets it aside and puts the shipped one in its
// place, or leaves it alone and serves the shipped settings from memory. Logs what it found and
// did. A refused file keeps its language in the file that replaces it. now names the set-aside
// copy (config.ini.bad-YYYYMMDD-hhmmss, then -2, -3, ... when taken).
StartupConfig PrepareConfigIni(const QString& path, const QDateTime& now);

// What the user is told, in the language langSel (1 English, else Chinese); empty when the file
// was used.
QString StartupConfigMessage(const StartupConfig& result, std::uint8_t langSel);
