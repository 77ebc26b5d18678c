#include "support/pointer_run.h"

#include <QProcess>

#include "platform/ini.h"

namespace testing_support {

namespace {

const QString Title = QStringLiteral("ZP-3907 Gaming mouse");

// Time for the program to take in one pointer event before the next (seconds, for xdotool).
const QString SettleTime = QStringLiteral("0.05");

}  // namespace

void PointerRunTest::SetUp() {
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

void PointerRunTest::TearDown() {
    if (window_ != 0) {
        run_.Inject("unplug");
        run_.WaitForEnd(StartTimeoutMs());
    }
}

QRect MainSkinRect(const ProgramFolder& folder, int index) {
    const QStringList fields =
        platform::GetPrivateProfileString(
            QStringLiteral("BUTTONPOS"), QString::number(index), QString(), 256,
            folder.Path(QStringLiteral("skins/INI_EN/skin_main_en.ini")))
            .split(QLatin1Char(','));
    EXPECT_GE(fields.size(), 5) << index;
    if (fields.size() < 5) {
        return {};
    }
    return {fields[1].toInt(), fields[2].toInt(), fields[3].toInt(), fields[4].toInt()};
}

QPoint MainCentre(const ProgramFolder& folder, int index) {
    const QRect r = MainSkinRect(folder, index);
    return {r.x() + r.width() / 2, r.y() + r.height() / 2};
}

void PointerRunTest::Xdotool(const QStringList& args) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), args), 0) << "xdotool";
}

void PointerRunTest::MoveTo(QPoint p) {
    Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window_),
             QString::number(p.x()), QString::number(p.y()), QStringLiteral("sleep"), SettleTime});
}

void PointerRunTest::ClickAt(QPoint p) {
    Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window_),
             QString::number(p.x()), QString::number(p.y()), QStringLiteral("sleep"), SettleTime,
             QStringLiteral("click"), QStringLiteral("1"), QStringLiteral("sleep"), SettleTime});
}

bool PointerRunTest::WaitForWindowAt(QPoint p) {
    return Eventually([&] { return !probe_.ShownWindowsAt(probe_.Position(window_) + p).empty(); });
}

QString PointerRunTest::Ini(const QString& section, const QString& key) const {
    return platform::GetPrivateProfileString(section, key, QString(), 20, folder_.ConfigIni());
}

QString PointerRunTest::LastWriteOf(int address, qsizetype from) const {
    QString data;
    for (const QString& line : folder_.TraceLines().mid(from)) {
        if (!line.contains(QStringLiteral(" set 07 18 03 "))) {
            continue;
        }
        // 07 18 03 i lo hi d c: byte i of the write run at hi:lo.
        const QStringList bytes =
            line.mid(line.indexOf(QStringLiteral(" set ")) + 5).split(QLatin1Char(' '));
        if (bytes.size() >= 7 && bytes[3].toInt(nullptr, 16) + bytes[4].toInt(nullptr, 16) +
                                         256 * bytes[5].toInt(nullptr, 16) ==
                                     address) {
            data = bytes[6];
        }
    }
    return data;
}

}  // namespace testing_support
