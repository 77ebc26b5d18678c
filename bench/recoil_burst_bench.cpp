// The window while the mouse sends a burst of 20 recoil events, on the simulated mouse with real
// sleeps (each 8-byte run of a macro body pauses 6 ms) and the offscreen platform:
//  - BM_ClickDuringRecoilBurst: the time from a click on the window, made while the burst is
//    being taken, until the window gets to it (click_median_ms);
//  - BM_UnplugAfterRecoilBurst: the time from pulling the mouse out right after a burst until
//    the run is over, the window and its threads gone (exit_median_ms).
// The program runs in this process on a copy of the shipped program folder; button 1 of
// profile 1 plays a recoil macro as the track insert makes them: X/Y moves among button steps,
// the first argument the number of moves (10: a body of 13 runs; 50, the most a macro holds: 63
// runs). With the second argument 1 every recoil event is followed by a profile event of the
// mouse (06 03 00), so that the events are not taken together.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "app/main_dialog.h"
#include "common/paths.h"
#include "device/discovery.h"
#include "macro/macro_field_string.h"
#include "macro/macro_record.h"
#include "platform/hid.h"
#include "platform/ini.h"
#include "platform/message_service.h"
#include "platform/simulated_mouse.h"
#include "ui/shell/tray_icon.h"

namespace {

using Clock = std::chrono::steady_clock;

QApplication& App() {
    static int argc = 1;
    static char name[] = "recoil_burst_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* const app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/zelbo-bench-no-session-bus");
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/zelbo-bench-no-system-bus");
        return new QApplication(argc, argv);
    }();
    return *app;
}

bool CopyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (it.fileInfo().isDir() ? !QDir().mkpath(target) : !QFile::copy(source, target)) {
            return false;
        }
    }
    return true;
}

// Triples of left press, left release and an X+ Y+ move of y, 10 ms each.
MacroRecord TrackMacro(int moves, std::uint16_t y) {
    MacroRecord r{};
    SetMacroName(r, QStringLiteral("Recoil"));
    r.repeatCount = 1;
    for (int t = 0; t < moves; ++t) {
        for (int s = 0; s < 3; ++s) {
            const int i = r.stepCount++;
            r.stepCode[i] = s < 2 ? StepCodeLeftButton : StepCodeXyMove;
            r.stepType[i] = s == 0 ? StepTypePress : s == 1 ? StepTypeRelease : StepTypeXPlusYPlus;
            r.stepParam[i] = {0, s == 2 ? y : std::uint16_t{0}};
            r.stepDelay[i] = 10;
        }
    }
    r.xyCount = static_cast<std::uint16_t>(moves);
    return r;
}

// The program on a fresh copy of the shipped folder, started in this process up to the end of
// its start-up (the settings image written).
class Program {
public:
    explicit Program(int moves) {
        App();
        ui::SetNotificationAreaAvailable(true);
        const QString exeDir = dir_.filePath(QStringLiteral("program"));
        ok_ = dir_.isValid() && QDir().mkpath(exeDir) &&
              CopyTree(QStringLiteral(ZELBO_SHIPPED_DIR), exeDir);
        g_strExeDir = exeDir;
        const QString config = exeDir + QStringLiteral("/skins/INI_CFG/config.ini");
        QFile::setPermissions(config, QFile::ReadOwner | QFile::WriteOwner);
        // The recoil macro on the first button, the left click on the second (start-up takes no
        // profile without one).
        ok_ = ok_ &&
              platform::WritePrivateProfileString(QStringLiteral("Config1"), QStringLiteral("K0"),
                                                  QStringLiteral("50"), config) &&
              platform::WritePrivateProfileString(QStringLiteral("Config1"), QStringLiteral("K1"),
                                                  QStringLiteral("1"), config);
        // Both languages' lists: whichever the shipped config.ini chooses.
        for (const char* file : {"/Macro_EN.dat", "/Macro_CN.dat"}) {
            const QString path = exeDir + QLatin1String(file);
            QFile::remove(path);
            ok_ = ok_ &&
                  platform::WritePrivateProfileString(QStringLiteral("Macros"),
                                                      QStringLiteral("macroNum"),
                                                      QStringLiteral("1"), path) &&
                  platform::WritePrivateProfileString(QStringLiteral("Macros"), QStringLiteral("0"),
                                                      MacroFieldString(TrackMacro(moves, 5)), path);
        }
        previousMessages_ = platform::SetMessageService(&messages_);
        platform::SetHidBackend(&mouse_);
        dlg_ = std::make_unique<CKVE_ZelboDlg>();
        dlg_->OnInitDialog();
        ok_ = ok_ && !dlg_->IsEnding() && g_macroCount == 1;
    }
    ~Program() {
        dlg_.reset();
        g_hDevInput.Store(nullptr);
        g_hDevFeature.Store(nullptr);
        platform::SetHidBackend(nullptr);
        platform::SetMessageService(previousMessages_);
        ui::SetNotificationAreaAvailable(std::nullopt);
    }

    bool ok() const { return ok_; }
    platform::SimulatedMouse& mouse() { return mouse_; }
    CKVE_ZelboDlg* dlg() { return dlg_.get(); }
    void EndRun() { dlg_.reset(); }

    // Twenty recoil events, as the mouse sends them: a direction, then repeats of it; with
    // profileEvents each followed by the mouse's report of a profile change.
    void Burst(bool up, bool profileEvents) {
        for (int i = 0; i < 20; ++i) {
            const std::uint8_t event = i == 0 ? (up ? 0x01 : 0x02) : 0x05;
            mouse_.InjectInput({0x06, event, 0x00});
            if (profileEvents) {
                mouse_.InjectInput({0x06, 0x03, 0x00});
            }
        }
    }
    // Lets the window work for 15 ms: the first events of a burst have reached it.
    void TakeBurstStart() {
        const auto start = Clock::now();
        while (Clock::now() - start < std::chrono::milliseconds(15)) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }
    // Lets the window work until no report has reached the mouse for quietMs.
    void Settle(int quietMs) {
        std::size_t seen = mouse_.Trace().size();
        auto lastChange = Clock::now();
        while (Clock::now() - lastChange < std::chrono::milliseconds(quietMs)) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            const std::size_t now = mouse_.Trace().size();
            if (now != seen) {
                seen = now;
                lastChange = Clock::now();
            }
        }
    }

private:
    QTemporaryDir dir_;
    platform::SimulatedMouse mouse_{BuiltInMouseAttributes()};
    platform::RecordingMessageService messages_;
    platform::MessageService* previousMessages_ = nullptr;
    std::unique_ptr<CKVE_ZelboDlg> dlg_;
    bool ok_ = false;
};

// Notes when the window's thread gets to the click, and keeps the click from the window: only
// the time it waited counts, not what a click there would do.
class ClickWatch final : public QObject {
public:
    std::optional<Clock::time_point> answered;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            answered = Clock::now();
            return true;
        }
        return false;
    }
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void BM_ClickDuringRecoilBurst(benchmark::State& state) {
    Program program(static_cast<int>(state.range(0)));
    if (!program.ok()) {
        state.SkipWithError("the program did not start on the simulated mouse");
        return;
    }
    ClickWatch watch;
    program.dlg()->installEventFilter(&watch);
    program.Settle(100);
    std::vector<double> clicks;
    bool up = true;
    for (auto _ : state) {
        program.Burst(up, state.range(1) != 0);
        up = !up;
        program.TakeBurstStart();
        watch.answered.reset();
        const QPoint at(400, 300);
        const auto start = Clock::now();
        QApplication::postEvent(
            program.dlg(),
            new QMouseEvent(QEvent::MouseButtonPress, at, program.dlg()->mapToGlobal(at),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        while (!watch.answered) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        const double ms =
            std::chrono::duration<double, std::milli>(*watch.answered - start).count();
        state.SetIterationTime(ms / 1000.0);
        clicks.push_back(ms);
        program.Settle(150);
        // Every event of the burst reached the macro: its y moved by 20 (from 5 and back).
        if (g_macros[0].stepParam[2].y != (up ? 5 : 25)) {
            state.SkipWithError("the burst did not adjust the recoil macro");
            break;
        }
    }
    program.dlg()->removeEventFilter(&watch);
    state.counters["click_median_ms"] = Median(clicks);
}
BENCHMARK(BM_ClickDuringRecoilBurst)
    ->ArgsProduct({{10, 50}, {0, 1}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(7);

void BM_UnplugAfterRecoilBurst(benchmark::State& state) {
    std::vector<double> exits;
    for (auto _ : state) {
        state.PauseTiming();
        Program program(static_cast<int>(state.range(0)));
        if (!program.ok()) {
            state.SkipWithError("the program did not start on the simulated mouse");
            return;
        }
        program.Settle(100);
        program.Burst(true, state.range(1) != 0);
        program.TakeBurstStart();
        state.ResumeTiming();
        const auto start = Clock::now();
        program.mouse().Unplug();
        // The program's loop runs until the window ends; then the window and its threads go.
        while (!program.dlg()->IsEnding()) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        program.EndRun();
        const double ms = MsSince(start);
        state.SetIterationTime(ms / 1000.0);
        exits.push_back(ms);
    }
    state.counters["exit_median_ms"] = Median(exits);
}
BENCHMARK(BM_UnplugAfterRecoilBurst)
    ->ArgsProduct({{10, 50}, {0, 1}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
