// The mouse's own buttons while the program runs on a desktop: the simulated mouse switches its
// profile or DPI level itself and reports it as the mouse does, and the program follows it into
// its files; a burst of recoil adjustments does not hold up the end of the run.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <algorithm>

#include "e2e/desktop_run.h"
#include "macro/macro_field_string.h"
#include "macro/macro_record.h"
#include "platform/ini.h"
#include "support/program_run.h"

namespace {

using testing_support::Diagnostics;
using testing_support::Eventually;
using testing_support::ProgramRun;
using testing_support::StartTimeoutMs;

class MouseButtons : public testing_support::DesktopRun {
protected:
    QString Key(const QString& section, const QString& key) const {
        return platform::GetPrivateProfileString(section, key, QString(), 10, folder_.ConfigIni());
    }
    // The lines of the trace after the first n.
    QStringList TraceAfter(qsizetype n) const { return folder_.TraceLines().mid(n); }
    static bool Has(const QStringList& lines, const QString& part) {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const QString& line) { return line.contains(part); });
    }
};

TEST_F(MouseButtons, ProfileSwitchesMadeAtTheMouseAreFollowedAndTheDpiButtonSaved) {
    // Profile 3's fifth button (device button 5) switches to profile 2.
    ASSERT_TRUE(platform::WritePrivateProfileString(QStringLiteral("Config3"), QStringLiteral("K4"),
                                                    QStringLiteral("20"), folder_.ConfigIni()));
    ProgramRun run(folder_, true);
    StartWithMouse(run);
    ASSERT_EQ(Key(QStringLiteral("Init"), QStringLiteral("CurConfig")), QStringLiteral("1"));

    // The mouse's profile switch: the program asks the mouse, which answers with profile 3.
    qsizetype seen = folder_.TraceLines().size();
    ASSERT_TRUE(run.Inject("profile 3"));
    EXPECT_TRUE(Eventually([&] {
        return Key(QStringLiteral("Init"), QStringLiteral("CurConfig")) == "3";
    })) << Diagnostics(run);
    QStringList after = TraceAfter(seen);
    EXPECT_TRUE(Has(after, QStringLiteral("input 06 03 00")));
    EXPECT_TRUE(Has(after, QStringLiteral("get 07 00 00 00 00 00 08 00")))
        << after.join('\n').toStdString();

    // Profile 3's profile button, pressed at the mouse: reported as the button's press.
    seen = folder_.TraceLines().size();
    ASSERT_TRUE(run.Inject("click 5"));
    EXPECT_TRUE(Eventually([&] {
        return Key(QStringLiteral("Init"), QStringLiteral("CurConfig")) == "2";
    })) << Diagnostics(run);
    after = TraceAfter(seen);
    EXPECT_TRUE(Has(after, QStringLiteral("input 06 F5 00")));
    EXPECT_TRUE(Has(after, QStringLiteral("input 06 F5 80")));
    EXPECT_TRUE(Has(after, QStringLiteral("get 07 00 00 00 00 00 04 00")))
        << after.join('\n').toStdString();

    // The DPI button of profile 2 (device button 6: DPI down) takes the mouse from level 2 to
    // level 1, which the program saves into profile 2's section.
    ASSERT_EQ(Key(QStringLiteral("Config2"), QStringLiteral("DPI_LEVEL")), QStringLiteral("2"));
    ASSERT_TRUE(run.Inject("dpi"));
    EXPECT_TRUE(Eventually([&] {
        return Key(QStringLiteral("Config2"), QStringLiteral("DPI_LEVEL")) == "1";
    })) << Diagnostics(run);
    EXPECT_TRUE(Has(folder_.TraceLines(), QStringLiteral("input 06 F6 01")));
    EXPECT_EQ(Key(QStringLiteral("Init"), QStringLiteral("CurConfig")), QStringLiteral("2"));
    Unplug(run);
}

// Button 1 plays a recoil macro of 50 X/Y moves (a body of 63 runs: some 400 ms to write). The
// mouse sends 20 recoil events, each followed by a profile event that keeps them from being
// taken together, and is pulled out while the program still has most of them to write: the run
// ends at once, not after every body.
TEST_F(MouseButtons, PulledOutAfterARecoilBurstTheProgramEndsAtOnce) {
    MacroRecord recoil{};
    SetMacroName(recoil, QStringLiteral("Recoil"));
    recoil.repeatCount = 1;
    for (int i = 0; i < 150; ++i) {
        recoil.stepCode[i] = i % 3 == 2 ? StepCodeXyMove : StepCodeLeftButton;
        recoil.stepType[i] = static_cast<std::uint8_t>(i % 3 == 2 ? StepTypeXPlusYPlus : 1 + i % 3);
        recoil.stepParam[i] = {0, static_cast<std::uint16_t>(i % 3 == 2 ? 5 : 0)};
        recoil.stepDelay[i] = 10;
    }
    recoil.stepCount = 150;
    recoil.xyCount = 50;
    const QString macros = folder_.Path(QStringLiteral("Macro_EN.dat"));
    ASSERT_TRUE(QFile::remove(macros));
    ASSERT_TRUE(platform::WritePrivateProfileString(
        QStringLiteral("Macros"), QStringLiteral("macroNum"), QStringLiteral("1"), macros));
    ASSERT_TRUE(platform::WritePrivateProfileString(QStringLiteral("Macros"), QStringLiteral("0"),
                                                    MacroFieldString(recoil), macros));
    // The left click moves to the second button: start-up takes no profile without one.
    ASSERT_TRUE(platform::WritePrivateProfileString(QStringLiteral("Config1"), QStringLiteral("K0"),
                                                    QStringLiteral("50"), folder_.ConfigIni()));
    ASSERT_TRUE(platform::WritePrivateProfileString(QStringLiteral("Config1"), QStringLiteral("K1"),
                                                    QStringLiteral("1"), folder_.ConfigIni()));
    ProgramRun run(folder_, true);
    StartWithMouse(run);

    const qsizetype seen = folder_.TraceLines().size();
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(run.Inject(i == 0 ? "06 01 00" : "06 05 00"));
        ASSERT_TRUE(run.Inject("06 03 00"));
    }
    // Every event has reached the program, and it writes the first body.
    ASSERT_TRUE(Eventually([&] {
        const QStringList after = TraceAfter(seen);
        return after.filter(QStringLiteral(" input 06 ")).size() == 40 &&
               Has(after, QStringLiteral("set 07 18 03 00 40 02"));
    })) << Diagnostics(run);

    ASSERT_TRUE(run.Inject("unplug"));
    QElapsedTimer exit;
    exit.start();
    // The goal is a second; a busy machine (or a sanitizer) gets five.
    const bool ended = run.WaitForEnd(5000);
    const qint64 ms = exit.elapsed();
    RecordProperty("exit_ms", static_cast<int>(ms));
    EXPECT_TRUE(ended) << "still running " << ms << " ms after the mouse was pulled out";
    ASSERT_TRUE(run.WaitForEnd(StartTimeoutMs() * 2)) << Diagnostics(run);
    EXPECT_FALSE(run.Crashed()) << Diagnostics(run);
    EXPECT_EQ(run.ExitCode(), 0) << Diagnostics(run);
}

}  // namespace
