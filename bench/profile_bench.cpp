// Loading the current profile and saving all four profile sections of the shipped config.ini:
// every value is its own private-profile call, so these are the costs of a profile switch and
// of the two saves around an Apply.
#include "profile/config_store.h"
#include "profile/profile_settings.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

struct ShippedCopy {
    QTemporaryDir dir;
    QString path;
    ShippedCopy() {
        path = dir.filePath(QStringLiteral("config.ini"));
        QFile::copy(QStringLiteral(ZELBO_SOURCE_DIR "/data/program/skins/INI_CFG/config.ini"),
                    path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
};

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
// is rewritten, four file replacements per save.
void BM_SaveAllConfigsChanged(benchmark::State& state) {
    ShippedCopy copy;
    OnReadConfig(copy.path, 1, false);
    for (auto _ : state) {
        g_fireTime = g_fireTime == 50 ? 51 : 50;
        SaveAllConfigs(copy.path, 1);
    }
}
BENCHMARK(BM_SaveAllConfigsChanged);

}  // namespace
