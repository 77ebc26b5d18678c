// The program started on a folder where a skin image is a FIFO: it must come up, show its
// window and end on removal of the mouse, as on any other start, without waiting on the FIFO.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QFile>

#include "e2e/desktop_run.h"
#include "support/program_run.h"

namespace {

using testing_support::Eventually;
using testing_support::ProgramRun;

const QString Title = QStringLiteral("ZP-3907 Gaming mouse");

class HostileFiles : public testing_support::DesktopRun {};

TEST_F(HostileFiles, FifoInPlaceOfTheMaskAndThePageImageIsNeverWaitedOn) {
    for (const char* image : {"skins/main_mask.jpg", "skins/main_normal.jpg"}) {
        const QString path = folder_.Path(QString::fromLatin1(image));
        ASSERT_TRUE(QFile::remove(path));
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
    ProgramRun run(folder_, true);
    StartWithMouse(run);  // the mask is read during start-up
    // The first paint of the main page reads its image; a window that waited there would not
    // end on the removal.
    EXPECT_TRUE(Eventually([&] {
        const auto windows = probe_.WindowsTitled(Title);
        return windows.size() == 1 && probe_.IsShown(windows.front());
    })) << "the window is shown";
    Unplug(run);
}

}  // namespace
