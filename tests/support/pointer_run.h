// The built program running under a real X server with the simulated mouse, driven as a person
// drives it: real pointer movements and clicks through the X server (xdotool) at places given
// in window coordinates, and what the mouse and config.ini got afterwards. Each test starts the
// program with its window shown and ends it by unplugging the mouse. On the test's thread.
#pragma once

#include <gtest/gtest.h>

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "support/program_run.h"
#include "support/x11_probe.h"

namespace testing_support {

// A main-page rectangle of the English skin in the folder, in window coordinates, and its
// centre (x + w / 2, y + h / 2).
QRect MainSkinRect(const ProgramFolder& folder, int index);
QPoint MainCentre(const ProgramFolder& folder, int index);

class PointerRunTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QRect MainRect(int index) const { return MainSkinRect(folder_, index); }
    QPoint Centre(int index) const { return MainCentre(folder_, index); }
    // Moves the pointer to p (window coordinates, also beyond the window).
    void MoveTo(QPoint p);
    // Moves there and clicks the left button.
    void ClickAt(QPoint p);
    void Click(int mainIndex) { ClickAt(Centre(mainIndex)); }
    // Waits until a window of the program shows with its top left corner at p (window
    // coordinates), as a person waits for a popup before pointing into it.
    bool WaitForWindowAt(QPoint p);

    QString Ini(const QString& section, const QString& key) const;
    // The data byte (two hex digits) of the last write of the device memory address in the
    // report trace from line `from` on; empty when there was none.
    QString LastWriteOf(int address, qsizetype from) const;

    X11Probe probe_;
    FakeSystemTray tray_;
    ProgramFolder folder_{QStringLiteral(ZELBO_PROGRAM_DIR)};
    ProgramRun run_{folder_, true};
    std::uint64_t window_ = 0;

private:
    void Xdotool(const QStringList& args);
};

}  // namespace testing_support
