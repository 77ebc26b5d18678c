// The program's shell as a person and the desktop meet it, under a real X server with a
// notification area: closing the window again and again, and the machine going to sleep and
// waking up, announced on a private bus that stands in for the system bus.
#include <gtest/gtest.h>

#include "e2e/desktop_run.h"
#include "support/private_bus.h"
#include "support/program_run.h"
#include "support/x11_probe.h"

namespace {

using testing_support::Diagnostics;
using testing_support::Eventually;
using testing_support::FakeSystemTray;
using testing_support::PrivateSystemBus;
using testing_support::ProgramFolder;
using testing_support::ProgramRun;
using testing_support::StartTimeoutMs;
using testing_support::X11Probe;

const QString Title = QStringLiteral("ZP-3907 Gaming mouse");
const QString ApplyImage = QStringLiteral("07 18 10 00 00 00 00 00");

// The reports the host sent, split into the settings images: each image ends with the
// apply-image command and the end command after it.
QList<QStringList> SentImages(const QStringList& trace) {
    QList<QStringList> images{{}};
    bool closing = false;
    for (const QString& line : trace) {
        const int at = line.indexOf(QStringLiteral(" set "));
        if (at < 0) {
            continue;
        }
        const QString report = line.mid(at + 5);
        images.last().append(report);
        if (closing) {
            images.append(QStringList());
            closing = false;
        }
        closing = report == ApplyImage;
    }
    if (images.last().isEmpty()) {
        images.removeLast();
    }
    return images;
}

class Shell : public testing_support::DesktopRun {};

TEST_F(Shell, ClosingTwiceLeavesOneIconAndTheProgramRunning) {
    ProgramRun run(folder_, true);
    StartWithMouse(run);
    std::vector<std::uint64_t> windows;
    ASSERT_TRUE(Eventually([&] {
        windows = probe_.WindowsTitled(Title);
        return windows.size() == 1 && probe_.IsShown(windows.front());
    }));
    ASSERT_TRUE(Eventually([&] { return tray_.LiveIcons() == 1; }));

    probe_.RequestClose(windows.front());
    ASSERT_TRUE(Eventually([&] { return !probe_.IsShown(windows.front()); }));
    probe_.RequestClose(windows.front());
    // Give the second request time to arrive and be handled.
    ASSERT_FALSE(Eventually([&] { return tray_.DockedIcons().size() > 1; }, 1000));

    EXPECT_EQ(tray_.LiveIcons(), 1);
    EXPECT_EQ(tray_.DockedIcons().size(), 1u);
    EXPECT_FALSE(probe_.IsShown(windows.front()));
    EXPECT_EQ(run.State(), QProcess::Running) << Diagnostics(run);
    Unplug(run);
}

TEST_F(Shell, SleepAndWakeUpEachWriteTheWholeSettingsImageOnce) {
    PrivateSystemBus bus;
    if (!bus.ok()) {
        GTEST_SKIP() << "needs dbus-daemon (scripts/install-deps.sh installs it)";
    }
    ProgramRun run(folder_, true);
    run.SetEnvironment(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), bus.Address());
    StartWithMouse(run);
    ASSERT_EQ(SentImages(folder_.TraceLines()).size(), 1) << "the image of the start-up";

    ASSERT_TRUE(bus.EmitPrepareForSleep(true));
    EXPECT_TRUE(Eventually([&] { return SentImages(folder_.TraceLines()).size() == 2; }))
        << "going to sleep writes the image";
    ASSERT_TRUE(bus.EmitPrepareForSleep(false));
    EXPECT_TRUE(Eventually([&] { return SentImages(folder_.TraceLines()).size() == 3; }))
        << "waking up writes it again";
    // Nothing more follows: one image per signal.
    EXPECT_FALSE(Eventually([&] { return SentImages(folder_.TraceLines()).size() > 3; }, 1000));

    const QList<QStringList> images = SentImages(folder_.TraceLines());
    ASSERT_EQ(images.size(), 3);
    EXPECT_EQ(images[1], images[0]) << "the whole image, as at start-up";
    EXPECT_EQ(images[2], images[0]) << "the whole image, as at start-up";
    EXPECT_EQ(run.State(), QProcess::Running) << Diagnostics(run);
    Unplug(run);
}

}  // namespace
