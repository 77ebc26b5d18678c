// The machine going to sleep and waking up while the program runs on a desktop, announced on a
// private bus that stands in for the system bus.
#include <gtest/gtest.h>

#include "e2e/desktop_run.h"
#include "support/private_bus.h"
#include "support/program_run.h"

namespace {

using testing_support::Diagnostics;
using testing_support::Eventually;
using testing_support::PrivateSystemBus;
using testing_support::ProgramRun;
using testing_support::StartTimeoutMs;

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

class Power : public testing_support::DesktopRun {};

TEST_F(Power, SleepAndWakeUpEachWriteTheWholeSettingsImageOnce) {
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
