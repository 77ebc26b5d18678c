// The settings writer and the hold relay on the simulated mouse with real sleeps:
//  - Apply's wall time against the sum of the pauses the mouse's protocol mandates for that
//    image;
//  - the latency from an injected hold press to the hold command on the wire.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "bench_desk.h"
#include "device/apply_settings.h"
#include "device/device_threads.h"
#include "macro/macro_record.h"

namespace {

using bench::Desk;
using bench::MandatedPauseMs;

void BindTwelveMacros() {
    for (int m = 0; m < 12; ++m) {
        MacroRecord& r = g_macros[m];
        r = {};
        r.repeatCount = 1;
        for (int i = 0; i < MacroMaxSteps; ++i) {
            r.stepCode[i] = 0x04;
            r.stepType[i] = static_cast<std::uint8_t>(1 + i % 2);
            r.stepDelay[i] = 10;
        }
        r.stepCount = MacroMaxSteps;
    }
    g_macroCount = 12;
    for (int k = 1; k < 7; ++k) {
        KeyFunc[0][k] = 50 + k - 1;
        KeyFunc[1][k] = 56 + k - 1;
    }
}

void RunApply(benchmark::State& state, bool macros) {
    Desk desk;
    if (macros) {
        BindTwelveMacros();
    }
    double ratioSum = 0;
    for (auto _ : state) {
        desk.mouse.ClearTrace();
        const auto start = std::chrono::steady_clock::now();
        ApplySettings();
        const double elapsed =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        state.SetIterationTime(elapsed / 1000.0);
        ratioSum += elapsed / MandatedPauseMs(desk.mouse);
    }
    state.counters["ratio"] = ratioSum / static_cast<double>(state.iterations());
    state.counters["pause_ms"] = MandatedPauseMs(desk.mouse);
    g_macroCount = 0;
}

void BM_ApplyFactorySettings(benchmark::State& state) {
    RunApply(state, false);
}
void BM_ApplyTwelveBoundMacros(benchmark::State& state) {
    RunApply(state, true);
}

BENCHMARK(BM_ApplyFactorySettings)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ApplyTwelveBoundMacros)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_HoldPressToWire(benchmark::State& state) {
    Desk desk;
    KeyFunc[0][0] = 23;
    ApplySettings();
    DeviceEventThreads threads;
    auto ui = [](std::function<void()>) {};  // nothing here needs the UI thread
    threads.StartKeyMonitor(ui);
    threads.StartMacroSend(ui);
    std::vector<double> latencies;
    bool press = true;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        desk.mouse.InjectInput({0x06, 0xF1, static_cast<std::uint8_t>(press ? 0x00 : 0x80)});
        while (desk.mouse.HoldPressed() != press) {
            std::this_thread::yield();
        }
        const double us =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count();
        state.SetIterationTime(us / 1e6);
        latencies.push_back(us);
        press = !press;
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    threads.Stop();
    std::sort(latencies.begin(), latencies.end());
    state.counters["p50_ms"] = latencies[latencies.size() / 2] / 1000.0;
    state.counters["p99_ms"] = latencies[latencies.size() * 99 / 100] / 1000.0;
}

BENCHMARK(BM_HoldPressToWire)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(400);

}  // namespace
