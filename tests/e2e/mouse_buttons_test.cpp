// The mouse's own buttons while the program runs on a desktop: the simulated mouse switches its
// profile or DPI level itself and reports it as the mouse does, and the program follows it into
// its files.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/desktop_run.h"
#include "platform/ini.h"
#include "support/program_run.h"

namespace {

using testing_support::Diagnostics;
using testing_support::Eventually;
using testing_support::ProgramRun;

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

}  // namespace
