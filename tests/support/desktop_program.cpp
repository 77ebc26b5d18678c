#include "support/desktop_program.h"

#include <QImage>
#include <QRegion>
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "support/pointer_run.h"
#include "ui/skin/window_shape.h"

namespace testing_support {

namespace {

const QString Title = QStringLiteral("ZP-3907 Gaming mouse");
// The icon's window is of the program's class (and has no title).
const QString IconTitle = QStringLiteral("zelbo-mouse");
// Time for the program to take in one pointer event before the next (seconds, for xdotool).
const QString SettleTime = QStringLiteral("0.05");

}  // namespace

void DesktopProgramTest::StartProgram(DesktopSession::Tray tray, const QString& busAddress) {
    ASSERT_TRUE(folder_.ok());
    desktop_ = std::make_unique<DesktopSession>(tray, scale_);
    if (desktop_->Missing()) {
        GTEST_SKIP() << desktop_->Problem().toStdString()
                     << " (scripts/install-deps.sh installs what the desktop tests need)";
    }
    ASSERT_TRUE(desktop_->ok()) << desktop_->Problem().toStdString();
    probe_ = std::make_unique<X11Probe>(desktop_->Display());
    ASSERT_TRUE(probe_->ok());
    run_ = std::make_unique<ProgramRun>(folder_, true);
    run_->SetEnvironment(QStringLiteral("DISPLAY"), desktop_->Display());
    run_->SetEnvironment(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale_));
    if (!busAddress.isEmpty()) {
        run_->SetEnvironment(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    }
    ASSERT_TRUE(run_->Start());
    ASSERT_TRUE(run_->WaitForLogMessage(QStringLiteral("Finish Init!"), StartTimeoutMs()))
        << Diagnostics(*run_);
    ASSERT_TRUE(Eventually([&] {
        const auto windows = probe_->WindowsTitled(Title);
        if (windows.size() == 1 && probe_->IsShown(windows.front())) {
            window_ = windows.front();
        }
        return window_ != 0;
    })) << "the window did not show";
}

void DesktopProgramTest::TearDown() {
    if (run_ && run_->State() != QProcess::NotRunning) {
        run_->Inject("unplug");
        EXPECT_TRUE(run_->WaitForEnd(StartTimeoutMs())) << "the program did not end on removal";
        EXPECT_FALSE(run_->Crashed()) << Diagnostics(*run_);
    }
}

void DesktopProgramTest::Xdotool(const QStringList& args) {
    ASSERT_TRUE(desktop_->Xdotool(args)) << "xdotool " << args.join(QLatin1Char(' ')).toStdString();
}

void DesktopProgramTest::ClickAt(QPoint p) {
    Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window_),
             QString::number(p.x()), QString::number(p.y()), QStringLiteral("sleep"), SettleTime,
             QStringLiteral("click"), QStringLiteral("1"), QStringLiteral("sleep"), SettleTime});
}

QPoint DesktopProgramTest::EmptySpot() const {
    const QImage mask(folder_.Path(QStringLiteral("skins/main_mask.jpg")));
    if (mask.isNull()) {
        ADD_FAILURE() << "no main_mask.jpg";
        return {};
    }
    const QRegion shape = ui::WindowRegionFromMask(mask);
    std::vector<QRect> rects;
    for (int i = 0; i <= 146; ++i) {
        rects.push_back(MainSkinRect(folder_, i));
    }
    // Well inside the shape, clear of every rectangle by a few pixels, and nearest the middle:
    // away from the edges, where the window manager's own handling may begin.
    constexpr int Margin = 4;
    const QPoint middle(mask.width() / 2, mask.height() / 2);
    std::optional<QPoint> best;
    for (int y = Margin; y < mask.height() - Margin; y += 2) {
        for (int x = Margin; x < mask.width() - Margin; x += 2) {
            const QRect around(x - Margin, y - Margin, 2 * Margin + 1, 2 * Margin + 1);
            const bool inside = shape.intersected(around) == QRegion(around);
            const bool clear = std::none_of(rects.begin(), rects.end(),
                                            [&](const QRect& r) { return r.intersects(around); });
            if (inside && clear &&
                (!best ||
                 (QPoint(x, y) - middle).manhattanLength() < (*best - middle).manhattanLength())) {
                best = QPoint(x, y);
            }
        }
    }
    if (best) {
        return Device(*best);
    }
    ADD_FAILURE() << "no empty spot on the main page";
    return {};
}

bool DesktopProgramTest::Near(QPoint place, QPoint expected) const {
    const int slack = scale_ > 1 ? 1 : 0;
    return std::abs(place.x() - expected.x()) <= slack &&
           std::abs(place.y() - expected.y()) <= slack;
}

bool DesktopProgramTest::WaitShown(bool shown) {
    return Eventually([&] { return probe_->IsShown(window_) == shown; });
}

std::uint64_t DesktopProgramTest::TrayIconWindow() {
    for (std::uint64_t window : probe_->WindowsOfProgram(IconTitle)) {
        // The main window is the only other one a frame holds; the rest stay children of the
        // root.
        if (window != window_ && !probe_->IsTopLevel(window)) {
            return window;
        }
    }
    return 0;
}

void DesktopProgramTest::DoubleClickTrayIcon() {
    std::uint64_t icon = 0;
    ASSERT_TRUE(Eventually([&] { return (icon = TrayIconWindow()) != 0; }))
        << "no icon in the notification area";
    Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(icon),
             QStringLiteral("4"), QStringLiteral("4"), QStringLiteral("sleep"), SettleTime,
             QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
             QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1"),
             QStringLiteral("sleep"), SettleTime});
}

}  // namespace testing_support
