// Loading the current profile and saving all four profile sections of the shipped config.ini,
// and the two saves of an Apply measured against the pauses the mouse's protocol mandates:
// the costs of a profile switch and of an Apply on the user-interface thread.
#include "profile/config_store.h"
#include "profile/profile_settings.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <vector>

#include "bench_desk.h"
#include "device/apply_settings.h"
#include "platform/ini.h"

namespace {

struct ShippedCopy {
    QTemporaryDir dir;
    QString path;
    ShippedCopy() {
        path = dir.filePath(QStringLiteral("config.ini"));
        bench::CopyShippedConfig(path);
    }
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void BM_OnReadConfig(benchmark::State& state) {
    ShippedCopy copy;
    for (auto _ : state) {
        OnReadConfig(copy.path, 1, false);
        benchmark::DoNotOptimize(g_fireTime);
    }
    if (g_fireTime != 50) {
        state.SkipWithError("shipped config.ini did not load");
    }
}
BENCHMARK(BM_OnReadConfig);

void BM_SaveAllConfigs(benchmark::State& state) {
    ShippedCopy copy;
    OnReadConfig(copy.path, 1, false);
    for (auto _ : state) {
        SaveAllConfigs(copy.path, 1);
    }
}
BENCHMARK(BM_SaveAllConfigs);

// The same save when one setting differs from the file: its line in each of the four sections
// is rewritten.
void BM_SaveAllConfigsChanged(benchmark::State& state) {
    ShippedCopy copy;
    OnReadConfig(copy.path, 1, false);
    for (auto _ : state) {
        g_fireTime = g_fireTime == 50 ? 51 : 50;
        SaveAllConfigs(copy.path, 1);
    }
}
BENCHMARK(BM_SaveAllConfigsChanged);

// Every one of the 188 values differs from the file on every save (a profile switch after edits
// on all pages). Counter median_ms: the median save.
void BM_SaveAllConfigsEveryValueChanged(benchmark::State& state) {
    ShippedCopy copy;
    OnReadConfig(copy.path, 1, false);
    std::vector<double> times;
    int round = 0;
    for (auto _ : state) {
        const int v = 100 + round++ % 2;
        for (auto& row : KeyFunc) {
            row.fill(v);
        }
        g_modeStatus = g_dpiLevel = g_wheelStatus = static_cast<std::uint32_t>(v);
        g_dpiSet.fill(static_cast<std::uint8_t>(v));
        g_dpiSetEn.fill(v % 2 == 0);
        for (auto& colour : g_dpiColor) {
            colour.fill(static_cast<std::uint32_t>(v));
        }
        g_cyc7ColEn = static_cast<std::uint8_t>(v);
        g_ledType = static_cast<std::uint8_t>(v);
        g_ledCycTime = static_cast<std::uint8_t>(v);
        g_dpiSpeed = g_wheelSpeed = g_usbSpeed = static_cast<std::uint8_t>(v);
        g_fireTime = static_cast<std::uint32_t>(v);
        const auto start = std::chrono::steady_clock::now();
        SaveAllConfigs(copy.path, 1);
        times.push_back(MillisecondsSince(start));
    }
    state.counters["median_ms"] = Median(times);
}
BENCHMARK(BM_SaveAllConfigsEveryValueChanged)->Unit(benchmark::kMillisecond);

// Apply as at start-up, on a fresh config.ini each time, with real pauses: its wall time over
// the pauses the protocol mandates (counter ratio, the median). With differing sections every
// setting of [Config2]..[Config4] differs from [Config1], which the first save rewrites.
void RunApplyOnFreshConfig(benchmark::State& state, bool differingSections) {
    bench::Desk desk;
    std::vector<double> ratios;
    for (auto _ : state) {
        state.PauseTiming();
        bench::CopyShippedConfig(g_strConfigIni);
        if (differingSections) {
            std::vector<platform::ProfileWrite> writes;
            for (const char* section : {"Config2", "Config3", "Config4"}) {
                for (const char* key :
                     {"MODE_STATUS", "DPI_LEVEL", "WHEEL_STATUS", "DPI_SET0", "DPI_SET_EN1",
                      "DPI2_R", "DPI3_G", "DPI4_B", "CYC_7COL_EN", "LED_TYPE", "LED_CYC_TIME",
                      "DPI_SPEED", "WHEEL_SPEED", "USB_SPEED", "FIRE_TIME"}) {
                    writes.push_back({QString::fromLatin1(section), QString::fromLatin1(key),
                                      QStringLiteral("7")});
                }
            }
            platform::WritePrivateProfileStrings(writes, g_strConfigIni);
        }
        ReadInitSection(g_strConfigIni);
        OnReadConfig(g_strConfigIni, g_curConfig, false);
        desk.mouse.ClearTrace();
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        ApplySettings();
        const double elapsed = MillisecondsSince(start);
        state.SetIterationTime(elapsed / 1000.0);
        ratios.push_back(elapsed / bench::MandatedPauseMs(desk.mouse));
    }
    state.counters["ratio"] = Median(ratios);
    state.counters["pause_ms"] = bench::MandatedPauseMs(desk.mouse);
}

void BM_ApplyFactorySettings(benchmark::State& state) {
    RunApplyOnFreshConfig(state, false);
}
void BM_ApplyDifferingSections(benchmark::State& state) {
    RunApplyOnFreshConfig(state, true);
}
BENCHMARK(BM_ApplyFactorySettings)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_ApplyDifferingSections)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15);

}  // namespace
