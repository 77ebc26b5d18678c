// Real pointer clicks, sent through the X server to the running program with its simulated
// mouse: a DPI slider set and applied reaches the mouse and config.ini, and a profile button
// saves the profile left behind.
#include <gtest/gtest.h>

#include <QProcess>

#include "app/main_dialog.h"
#include "platform/ini.h"
#include "support/program_run.h"
#include "support/x11_probe.h"

namespace {

using testing_support::Eventually;
using testing_support::FakeSystemTray;
using testing_support::ProgramFolder;
using testing_support::ProgramRun;
using testing_support::StartTimeoutMs;
using testing_support::X11Probe;

const QString Title = QString::fromUtf8(MainWindowTitle);

class PointerClicks : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || !probe_.ok()) {
            GTEST_SKIP() << "needs an X display (the test script runs these under Xvfb)";
        }
        ASSERT_TRUE(folder_.ok());
        ASSERT_TRUE(run_.Start());
        ASSERT_TRUE(run_.WaitForLogMessage(QStringLiteral("Finish Init!"), StartTimeoutMs()));
        ASSERT_TRUE(Eventually([&] {
            const auto windows = probe_.WindowsTitled(Title);
            if (windows.size() == 1 && probe_.IsShown(windows.front())) {
                window_ = windows.front();
            }
            return window_ != 0;
        }));
    }
    void TearDown() override {
        if (window_ != 0) {
            run_.Inject("unplug");
            run_.WaitForEnd(StartTimeoutMs());
        }
    }

    // Moves the pointer to the centre of a main-page rectangle of the English skin and clicks
    // the left button there.
    void Click(int index) {
        const QStringList f = platform::GetPrivateProfileString(
                                  QStringLiteral("BUTTONPOS"), QString::number(index), QString(),
                                  256, folder_.Path(QStringLiteral("skins/INI_EN/skin_main_en.ini")))
                                  .split(QLatin1Char(','));
        ASSERT_GE(f.size(), 5) << index;
        const QStringList args{QStringLiteral("mousemove"), QStringLiteral("--window"),
                               QString::number(window_),
                               QString::number(f[1].toInt() + f[3].toInt() / 2),
                               QString::number(f[2].toInt() + f[4].toInt() / 2),
                               QStringLiteral("sleep"), QStringLiteral("0.05"),
                               QStringLiteral("click"), QStringLiteral("1"),
                               QStringLiteral("sleep"), QStringLiteral("0.05")};
        ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), args), 0) << "xdotool";
    }
    QString Ini(const QString& section, const QString& key) const {
        return platform::GetPrivateProfileString(section, key, QString(), 20, folder_.ConfigIni());
    }

    X11Probe probe_;
    FakeSystemTray tray_;
    ProgramFolder folder_{QStringLiteral(ZELBO_PROGRAM_DIR)};
    ProgramRun run_{folder_, true};
    std::uint64_t window_ = 0;
};

TEST_F(PointerClicks, ASliderCellAppliedReachesTheMouseAndConfigIni) {
    const qsizetype before = folder_.TraceLines().size();
    Click(66 + 12 * 2 + 9);  // DPI level 2, step 9: device code 0x0D
    Click(3);                // Apply
    // The mouse gets the code in the high half of the byte for levels 2 and 3 (0x016).
    const auto lastWriteOf016 = [&] {
        QString data;
        const QStringList trace = folder_.TraceLines().mid(before);
        for (const QString& line : trace) {
            const QStringList bytes = line.mid(line.indexOf(QStringLiteral(" set ")) + 5)
                                          .split(QLatin1Char(' '));
            // 07 18 03 i lo hi d c: byte i of the write run at hi:lo.
            if (line.contains(QStringLiteral(" set 07 18 03 ")) && bytes.size() >= 7 &&
                bytes[3].toInt(nullptr, 16) + bytes[4].toInt(nullptr, 16) +
                        256 * bytes[5].toInt(nullptr, 16) ==
                    0x016) {
                data = bytes[6];
            }
        }
        return data;
    };
    ASSERT_TRUE(Eventually([&] { return !lastWriteOf016().isEmpty(); }))
        << "no write of the DPI codes after Apply";
    EXPECT_EQ(lastWriteOf016().left(1), QStringLiteral("D"));
    for (const char* section : {"Config1", "Config2", "Config3", "Config4"}) {
        EXPECT_EQ(Ini(QString::fromLatin1(section), QStringLiteral("DPI_SET2")), "9") << section;
    }
}

TEST_F(PointerClicks, AProfileButtonSavesTheEditsOfTheProfileLeftBehind) {
    ASSERT_EQ(Ini(QStringLiteral("Init"), QStringLiteral("CurConfig")), "1");
    Click(66 + 12 * 4 + 2);  // DPI level 4, step 2
    Click(32);               // wheel off
    Click(6);                // profile 3
    ASSERT_TRUE(Eventually([&] { return Ini(QStringLiteral("Config1"), QStringLiteral("DPI_SET4")) == QStringLiteral("2"); }))
        << "profile 1's edits were not saved";
    for (const char* section : {"Config1", "Config2", "Config3", "Config4"}) {
        EXPECT_EQ(Ini(QString::fromLatin1(section), QStringLiteral("DPI_SET4")), "2") << section;
        EXPECT_EQ(Ini(QString::fromLatin1(section), QStringLiteral("WHEEL_STATUS")), "0")
            << section;
    }
    EXPECT_EQ(Ini(QStringLiteral("Init"), QStringLiteral("CurConfig")), "1")
        << "the current profile is recorded at the next Apply";
}

}  // namespace
