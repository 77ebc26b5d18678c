// A button given a new function with real pointer events through the X server, as a person
// does it: the slot of K2 opens the button popup under it, a group row opens the group popup
// beside it, a group row is chosen, and Apply sends the new button code to the simulated mouse
// and saves it in config.ini.
#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QThread>

#include "app/main_dialog.h"
#include "device/settings_image.h"
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

constexpr int SlotK2 = 24;      // main-page rectangle of button slot 2
constexpr int ApplyButton = 3;  // frame button
constexpr int MediaRow = 8;     // button-popup row of the media keys' group
constexpr int FirstMediaKey = 25;

class FunctionPopupRun : public ::testing::Test {
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

    // A main-page rectangle of the English skin, in window coordinates.
    QRect MainRect(int index) const {
        const QStringList fields =
            platform::GetPrivateProfileString(
                QStringLiteral("BUTTONPOS"), QString::number(index), QString(), 256,
                folder_.Path(QStringLiteral("skins/INI_EN/skin_main_en.ini")))
                .split(QLatin1Char(','));
        EXPECT_GE(fields.size(), 5) << index;
        if (fields.size() < 5) {
            return {};
        }
        return {fields[1].toInt(), fields[2].toInt(), fields[3].toInt(), fields[4].toInt()};
    }
    // Row width and height of a popup: its mask's width, and its height over rows.
    QSize RowSize(const char* mask, int rows) const {
        const QImage image(folder_.Path(QStringLiteral("skins/") + QString::fromLatin1(mask)));
        EXPECT_FALSE(image.isNull()) << mask;
        return {image.width(), image.height() / rows};
    }

    void Xdotool(const QStringList& args) {
        ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), args), 0) << "xdotool";
        QThread::msleep(60);
    }
    // Moves the pointer to p (window coordinates, also beyond the window), arriving from one
    // pixel to its left.
    void MoveTo(QPoint p) {
        const QString id = QString::number(window_);
        for (const int dx : {-1, 0}) {
            Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), id,
                     QString::number(p.x() + dx), QString::number(p.y())});
        }
    }
    void ClickAt(QPoint p) {
        MoveTo(p);
        Xdotool({QStringLiteral("click"), QStringLiteral("1")});
    }
    QString Ini(const QString& section, const QString& key) const {
        return platform::GetPrivateProfileString(section, key, QString(), 20, folder_.ConfigIni());
    }
    // The data byte of the last write of address in the report trace after line `from`
    // ("07 18 03 i lo hi d c": byte i of the write run at hi:lo).
    QString LastWriteOf(int address, qsizetype from) const {
        QString data;
        for (const QString& line : folder_.TraceLines().mid(from)) {
            if (!line.contains(QStringLiteral(" set 07 18 03 "))) {
                continue;
            }
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

    X11Probe probe_;
    FakeSystemTray tray_;
    ProgramFolder folder_{QStringLiteral(ZELBO_PROGRAM_DIR)};
    ProgramRun run_{folder_, true};
    std::uint64_t window_ = 0;
};

TEST_F(FunctionPopupRun, AGroupChoiceOnK2IsAppliedToTheMouseAndSaved) {
    ASSERT_EQ(Ini(QStringLiteral("Config1"), QStringLiteral("K2")), QStringLiteral("3"));
    const std::uint8_t newCode = TranslateButtonFunction(FirstMediaKey, 0).code;
    ASSERT_NE(newCode, TranslateButtonFunction(3, 0).code);
    const QRect slot = MainRect(SlotK2);
    const QSize menuRow = RowSize("menu_mask.jpg", 11);
    const QSize groupRow = RowSize("advanced menu_mask.jpg", 12);
    ASSERT_GT(menuRow.height(), 0);
    ASSERT_GT(groupRow.height(), 0);

    // The button popup opens at the slot's lower left corner; the media group's first row
    // lies three rows above the popup's top, right of it.
    ClickAt(slot.center());
    const QPoint popup(slot.x(), slot.y() + slot.height());
    MoveTo(popup +
           QPoint(menuRow.width() / 2, (MediaRow - 1) * menuRow.height() + menuRow.height() / 2));
    const QPoint group(popup.x() + menuRow.width(), popup.y() - 3 * menuRow.height());
    const qsizetype before = folder_.TraceLines().size();
    ClickAt(group + QPoint(groupRow.width() / 2, groupRow.height() / 2));
    ClickAt(MainRect(ApplyButton).center());

    const QString expected = QStringLiteral("%1").arg(newCode, 2, 16, QLatin1Char('0')).toUpper();
    constexpr int K2OfProfile1 = 0x008 + 2;  // device button 3 of profile 1
    ASSERT_TRUE(Eventually([&] { return !LastWriteOf(K2OfProfile1, before).isEmpty(); }))
        << "no write of the button codes after Apply";
    EXPECT_EQ(LastWriteOf(K2OfProfile1, before), expected);
    EXPECT_TRUE(Eventually([&] {
        return Ini(QStringLiteral("Config1"), QStringLiteral("K2")) ==
               QString::number(FirstMediaKey);
    })) << Ini(QStringLiteral("Config1"), QStringLiteral("K2")).toStdString();
    EXPECT_EQ(Ini(QStringLiteral("Config1"), QStringLiteral("K0")), QStringLiteral("1"))
        << "left click stays where it was";
}

}  // namespace
