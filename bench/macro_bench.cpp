// The user's macro list file: saving 12 full macros (the list save) and reading them back.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "macro/macro_file_reader.h"
#include "macro/macro_file_writer.h"
#include "macro/macro_record.h"

namespace {

void FillTwelveFullMacros() {
    for (int m = 0; m < MaxUserMacros; ++m) {
        MacroRecord& r = g_macros[m];
        r = MacroRecord{};
        SetMacroName(r, QStringLiteral("Macro%1").arg(m));
        r.repeatCount = static_cast<std::uint16_t>(100 + m);
        for (int k = 0; k < MacroMaxSteps; ++k) {
            const bool move = k < MacroMaxXySteps;
            r.stepCode[k] = move ? StepCodeXyMove : static_cast<std::uint8_t>(4 + k % 26);
            r.stepType[k] = move ? StepTypeXPlusYPlus : static_cast<std::uint8_t>(1 + k % 2);
            r.stepParam[k] = {static_cast<std::uint16_t>(k), static_cast<std::uint16_t>(m)};
            r.stepDelay[k] = static_cast<std::uint16_t>(10 * k);
        }
        r.stepCount = MacroMaxSteps;
        r.xyCount = MacroMaxXySteps;
        for (MacroEffectRecord& led : r.led) {
            led.field0 = 0x12345678u;
            led.data.fill(static_cast<std::uint8_t>(m));
        }
        g_macroSet[m] = m % 2;
    }
    g_macroCount = MaxUserMacros;
}

void BM_OnWriteMacroListSave(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Macro_EN.dat"));
    FillTwelveFullMacros();
    for (auto _ : state) {
        OnWriteMacroList(path, 1);
        // The macros change between saves, as they do between two presses of the button.
        ++g_macros[0].stepDelay[0];
    }
}
BENCHMARK(BM_OnWriteMacroListSave)->Unit(benchmark::kMillisecond);

void BM_OnReadMacroList(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Macro_EN.dat"));
    FillTwelveFullMacros();
    OnWriteMacroList(path, 1);
    for (auto _ : state) {
        OnReadMacroList(path);
        benchmark::DoNotOptimize(g_macros[11].stepDelay[179]);
    }
    if (g_macroCount != MaxUserMacros) {
        state.SkipWithError("list did not read back");
    }
}
BENCHMARK(BM_OnReadMacroList)->Unit(benchmark::kMillisecond);

}  // namespace
