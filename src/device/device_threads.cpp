// Threads: KeyMonitorThd and MacroSendThd run here; the work they hand over runs on the
// user-interface thread through the executor.
#include "device/device_threads.h"

#include <QStringLiteral>
#include <algorithm>
#include <array>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "common/log_file.h"
#include "common/paths.h"
#include "device/apply_settings.h"
#include "device/discovery.h"
#include "device/recoil.h"
#include "device/settings_image.h"
#include "device/transport.h"
#include "platform/clock.h"
#include "profile/config_store.h"
#include "profile/profile_settings.h"
#include "profile/save_failures.h"

std::atomic<std::uint32_t> g_btnHoldState{0};
std::atomic<std::uint32_t> g_btnEventPending{0};
std::atomic<std::uint32_t> g_recoilDir{0};

namespace {

constexpr int PollPauseMs = 2;
// A blocking read wakes this often to notice a stop request.
constexpr int ReadWakeMs = 50;
constexpr std::size_t InputBufferSize = 260;

// The mouse's current profile number from the profile query (1..4).
int QueryMouseProfile() {
    DeviceReport reply{};
    SendGetProfile(reply);
    return ((reply.data >> 2) & 3) + 1;
}

// Loads profile n as the current one; the mouse switched to it by itself.
void LoadProfileFromMouse(int n) {
    g_curConfig = n;
    g_curConfigIdx = n - 1;
    g_mouseProfileIdx = n - 1;
    OnReadConfig(g_strConfigIni, n, false);
    RequestRepaint();
}

// The slots of the current profile whose device button raised event.
template <typename Action>
void ForEachSlotOf(std::uint8_t event, Action action) {
    for (int i = 0; i < ButtonSlotCount; ++i) {
        if (EvtButtonBase + g_devButtonNo[i] == event) {
            action(i);
        }
    }
}

bool HoldSlotPressed(std::uint8_t event) {
    const int profile = g_curConfigIdx.load() & 3;
    bool hold = false;
    ForEachSlotOf(event, [&](int i) { hold = hold || g_btnIsHoldFunc[profile][i].load() != 0; });
    return hold;
}

// One change of the hold state as a whole: the relay may take a flag at the same moment.
template <typename Next>
void SetHoldState(Next next) {
    std::uint32_t state = g_btnHoldState.load();
    while (!g_btnHoldState.compare_exchange_weak(state, next(state))) {
    }
}

// What the device threads hand to the user-interface thread, in the order the events came. A
// burst of recoil events must not become a queue of adjustments that each rewrite the body in the
// mouse (with its protocol pauses) and save the macro file, so recoil events join one batch: the
// newest batch takes every recoil event that comes until the user-interface thread starts it,
// and a new batch is not handed over while the body of the one before is still being written
// (the device worker writes it). So the adjustments that come while one is written are adjusted,
// saved and written once, as the events one by one would have left them. Other work keeps its
// place among the recoil events: it waits behind a batch that came before it, and events after
// it start a new batch (a profile switch changes the macro they adjust).
struct RecoilBatch {
    std::vector<std::uint8_t> ups;  // under g_handOverMutex
    bool started = false;           // under g_handOverMutex
};
struct HandOverItem {
    std::shared_ptr<RecoilBatch> batch;  // a recoil batch, or
    std::function<void()> work;          // other work
};
std::mutex g_handOverMutex;
std::deque<HandOverItem> g_waitingItems;   // not handed over yet, in order
std::shared_ptr<RecoilBatch> g_openBatch;  // the newest batch, joined until started
bool g_batchWriting = false;               // a batch handed over has not been written yet
UiExecutor g_handOverUi;                   // where the waiting items go

void RecoilBatchWritten();

// Hands over what may go now. Under g_handOverMutex, so that items handed over from two threads
// (an event thread, the worker that finished a body) keep their order; an executor only queues
// the work and returns (ui_executor.h).
void PumpHandOver() {
    while (!g_waitingItems.empty()) {
        HandOverItem& item = g_waitingItems.front();
        if (item.batch) {
            if (g_batchWriting) {
                return;
            }
            g_batchWriting = true;
            g_handOverUi([batch = item.batch] {
                const SaveAction fromTheMouse(SaveAction::Telling::Later);
                std::vector<std::uint8_t> ups;
                {
                    std::lock_guard lock(g_handOverMutex);
                    batch->started = true;
                    ups.swap(batch->ups);
                }
                AdjustRecoilSteps(ups, RecoilBatchWritten);
            });
        } else {
            g_handOverUi([work = std::move(item.work)] {
                // What the mouse's event saves is told after it, never holding device work.
                const SaveAction fromTheMouse(SaveAction::Telling::Later);
                work();
            });
        }
        g_waitingItems.pop_front();
    }
}

// The body of the batch handed over is in the mouse (or there was none to write).
void RecoilBatchWritten() {
    std::lock_guard lock(g_handOverMutex);
    g_batchWriting = false;
    PumpHandOver();
}

void QueueRecoilStep(std::uint8_t up, const UiExecutor& ui) {
    std::lock_guard lock(g_handOverMutex);
    if (g_openBatch && !g_openBatch->started) {
        g_openBatch->ups.push_back(up);
        return;
    }
    g_openBatch = std::make_shared<RecoilBatch>();
    g_openBatch->ups.push_back(up);
    g_handOverUi = ui;
    g_waitingItems.push_back(HandOverItem{g_openBatch, {}});
    PumpHandOver();
}

void HandOver(const UiExecutor& ui, std::function<void()> work) {
    std::lock_guard lock(g_handOverMutex);
    g_openBatch.reset();
    g_handOverUi = ui;
    g_waitingItems.push_back(HandOverItem{nullptr, std::move(work)});
    PumpHandOver();
}

}  // namespace

void HandleInputReport(const std::uint8_t* report, int length, const UiExecutor& ui) {
    if (length < 2 || report[0] != InputReportId) {
        return;
    }
    const std::uint8_t event = report[1];
    const std::uint8_t argument = length >= 3 ? report[2] : 0;
    if (event > EvtButtonBase) {
        if (argument == ButtonReleased) {
            SetHoldState([](std::uint32_t state) { return (state & 0xFF) | HoldReleasePending; });
            return;
        }
        // A press that arrives while an earlier one still waits does not replace it.
        std::uint32_t none = 0;
        const std::uint32_t packed = PendingFlag | (std::uint32_t{event} << 8) | argument;
        const bool first = g_btnEventPending.compare_exchange_strong(none, packed);
        SetHoldState([first, event](std::uint32_t state) {
            return (first ? event : (state & 0xFF)) | HoldPressPending;
        });
        return;
    }
    switch (event) {
        case EvtButtonBase:
            return;
        case EvtProfileChanged: {
            // Asked here, not on the user-interface thread, which never waits on the wire for
            // the mouse's own events; the transport's lock keeps this thread waiting for at most
            // the run in progress.
            const int n = QueryMouseProfile();
            HandOver(ui, [n] {
                SaveCurConfig(g_strConfigIni, n);
                LoadProfileFromMouse(n);
            });
            return;
        }
        case EvtRecoilUp:
            g_recoilDir = 1;
            QueueRecoilStep(1, ui);
            return;
        case EvtRecoilDown:
            g_recoilDir = 0;
            QueueRecoilStep(0, ui);
            return;
        default:
            // Any other event repeats the last adjustment.
            QueueRecoilStep(g_recoilDir.load() != 0 ? 1 : 0, ui);
            return;
    }
}

void MacroSendPass(const UiExecutor& ui) {
    // Hold relay: at most one of press and release per pass, the press first. A flag whose
    // button has no hold function stays set until the next press or release replaces it. The
    // flag is taken only if the state is still the one tested: an event that came in meanwhile
    // is tested in the next pass.
    std::uint32_t state = g_btnHoldState.load();
    const std::uint8_t last = static_cast<std::uint8_t>(state);
    const std::uint32_t waiting =
        (state & HoldPressPending) != 0 ? HoldPressPending : (state & HoldReleasePending);
    if (waiting != 0 && HoldSlotPressed(last) &&
        g_btnHoldState.compare_exchange_strong(state, state & ~waiting)) {
        SendHoldButton(waiting == HoldPressPending);
    }

    // The pending press is taken whether or not a slot handles it.
    const std::uint32_t pending = g_btnEventPending.exchange(0);
    if ((pending & PendingFlag) == 0) {
        return;
    }
    const std::uint8_t event = static_cast<std::uint8_t>(pending >> 8);
    const std::uint8_t argument = static_cast<std::uint8_t>(pending);
    const int profile = g_curConfigIdx.load() & 3;
    ForEachSlotOf(event, [&](int i) {
        if (g_btnIsDpiFunc[profile][i].load() != 0) {
            HandOver(ui, [argument] {
                // A level the mouse cannot have, or one switched off, is not taken: saved, it
                // would make config.ini one that start-up refuses.
                if (argument >= DpiLevelCount || !g_dpiSetEn[argument]) {
                    return;
                }
                g_dpiLevel = argument;
                RequestRepaint();
                SaveDpiLevel(g_strConfigIni, g_curConfig);
            });
        }
        if (g_btnIsProfileFunc[profile][i].load() != 0) {
            const int n = QueryMouseProfile();
            HandOver(ui, [n] {
                SaveCurConfig(g_strConfigIni, n);
                LoadProfileFromMouse(n);
            });
        }
    });
}

void KeyMonitorThd(std::stop_token stop, UiExecutor ui) {
    g_LogFile.Write(QStringLiteral("In KeyMonitorThd"));
    std::array<std::uint8_t, InputBufferSize> report{};
    while (!stop.stop_requested()) {
        if (const auto input = g_hDevInput.Load()) {
            std::size_t length = g_capsInput.Load().inputReportByteLength;
            length = length == 0 ? InputBufferSize : std::min(length, InputBufferSize);
            const int read = input->ReadInput(report.data(), length, ReadWakeMs);
            if (read > 0) {
                HandleInputReport(report.data(), read, ui);
            }
        }
        platform::Sleep(PollPauseMs);
    }
}

void MacroSendThd(std::stop_token stop, UiExecutor ui) {
    while (!stop.stop_requested()) {
        MacroSendPass(ui);
        platform::Sleep(PollPauseMs);
    }
}

void ResetDeviceHandOver() {
    std::lock_guard lock(g_handOverMutex);
    g_waitingItems.clear();
    g_openBatch.reset();
    g_batchWriting = false;
    g_handOverUi = nullptr;
}

void DeviceEventThreads::StartKeyMonitor(UiExecutor ui) {
    ResetDeviceHandOver();
    keyMonitor_ = std::jthread(KeyMonitorThd, std::move(ui));
}

void DeviceEventThreads::StartMacroSend(UiExecutor ui) {
    macroSend_ = std::jthread(MacroSendThd, std::move(ui));
}

void DeviceEventThreads::Stop() {
    keyMonitor_.request_stop();
    macroSend_.request_stop();
    if (keyMonitor_.joinable()) {
        keyMonitor_.join();
    }
    if (macroSend_.joinable()) {
        macroSend_.join();
    }
}
