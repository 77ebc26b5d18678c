// The INI traffic of the program: loading one profile reads 68 keys of config.ini, saving the
// four profiles writes 188 keys; and one key read from a large file of the kind a user may pick
// to import, with the memory that read takes: files of 10 MB, of the read bound, and of 1 GB.
#include "platform/ini.h"
#include "platform/regular_file.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace {

QByteArray ConfigIni() {
    QByteArray text =
        "[Init]\r\nCurConfig=1\r\nLANG_SEL=1\r\nCUSTOM_EN=0\r\nPID=0x2A07\r\n"
        "VID=0x3554\r\nPID2=0\r\nVID2=0\r\nSEN_ANG=0\r\n";
    for (const char* prefix : {"Config", "CfgReset"}) {
        for (int n = 1; n <= 4; ++n) {
            text += QByteArray("[") + prefix + QByteArray::number(n) + "]\r\n";
            for (int k = 0; k <= 6; ++k) {
                text += "K" + QByteArray::number(k) + "=" + QByteArray::number(k + 1) + "\r\n";
            }
            text += "MODE_STATUS=0\r\nDPI_LEVEL=2\r\nWHEEL_STATUS=1\r\n";
            for (int j = 0; j <= 5; ++j) {
                const QByteArray jj = QByteArray::number(j);
                text += "DPI_SET" + jj + "=" + jj + "\r\nDPI_SET_EN" + jj + "=1\r\nDPI" + jj +
                        "_R=0\r\nDPI" + jj + "_G=15\r\nDPI" + jj + "_B=0\r\n";
            }
            text +=
                "CYC_7COL_EN=127\r\nLED_TYPE=1\r\nLED_CYC_TIME=3\r\nDPI_SPEED=5\r\n"
                "WHEEL_SPEED=2\r\nUSB_SPEED=3\r\nFIRE_TIME=50\r\n";
        }
    }
    return text;
}

// The 40 keys of one profile section besides the button keys, in the order they are saved.
QStringList SettingKeys() {
    QStringList keys{"MODE_STATUS", "DPI_LEVEL", "WHEEL_STATUS"};
    for (int j = 0; j <= 5; ++j) {
        keys << QStringLiteral("DPI_SET%1").arg(j) << QStringLiteral("DPI_SET_EN%1").arg(j)
             << QStringLiteral("DPI%1_R").arg(j) << QStringLiteral("DPI%1_G").arg(j)
             << QStringLiteral("DPI%1_B").arg(j);
    }
    keys << "CYC_7COL_EN"
         << "LED_TYPE"
         << "LED_CYC_TIME"
         << "DPI_SPEED"
         << "WHEEL_SPEED"
         << "USB_SPEED"
         << "FIRE_TIME";
    return keys;
}

QString MakeConfig(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("config.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return QString();
    }
    file.write(ConfigIni());
    return path;
}

void ReadProfileKeys(benchmark::State& state, const QString& path) {
    const QStringList keys = SettingKeys();
    for (auto _ : state) {
        int reads = 0;
        for (int r = 1; r <= 4; ++r) {
            for (int k = 0; k <= 6; ++k) {
                benchmark::DoNotOptimize(platform::GetPrivateProfileString(
                    QStringLiteral("Config%1").arg(r), QStringLiteral("K%1").arg(k), QString(), 5,
                    path));
                ++reads;
            }
        }
        for (const QString& key : keys) {
            benchmark::DoNotOptimize(platform::GetPrivateProfileString(QStringLiteral("Config1"),
                                                                       key, QString(), 10, path));
            ++reads;
        }
        if (reads != 68) {
            state.SkipWithError("wrong read count");
        }
    }
}

// Loading one profile: 28 button keys from the four sections and 40 settings of the current one,
// from a file written just before (as after a save), whose bytes are checked on every read.
void LoadOneProfile(benchmark::State& state) {
    QTemporaryDir dir;
    ReadProfileKeys(state, MakeConfig(dir));
}
BENCHMARK(LoadOneProfile)->Unit(benchmark::kMicrosecond);

// The same load from a file that has not changed for a while (as at start-up).
void LoadOneProfileSettled(benchmark::State& state) {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString made = MakeConfig(dir);
        std::this_thread::sleep_for(std::chrono::milliseconds(2100));
        return made;
    }();
    ReadProfileKeys(state, path);
}
BENCHMARK(LoadOneProfileSettled)->Unit(benchmark::kMicrosecond);

// A save of four profiles (47 writes per section) in which every value differs from the file's,
// so each of the 188 writes replaces the file.
void SaveFourProfilesChanged(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = MakeConfig(dir);
    QStringList keys;
    for (int k = 0; k <= 6; ++k) {
        keys << QStringLiteral("K%1").arg(k);
    }
    keys << SettingKeys();
    int round = 0;
    for (auto _ : state) {
        const QString value = QString::number(100 + round++ % 2);
        int writes = 0;
        for (int r = 1; r <= 4; ++r) {
            const QString section = QStringLiteral("Config%1").arg(r);
            for (const QString& key : keys) {
                platform::WritePrivateProfileString(section, key, value, path);
                ++writes;
            }
        }
        if (writes != 188) {
            state.SkipWithError("wrong write count");
        }
    }
}
BENCHMARK(SaveFourProfilesChanged)->Unit(benchmark::kMillisecond);

// The usual save: the same 188 writes with the values the file already holds.
void SaveFourProfilesUnchanged(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = MakeConfig(dir);
    const QStringList lines = QString::fromLatin1(ConfigIni()).split(QStringLiteral("\r\n"));
    for (auto _ : state) {
        int writes = 0;
        QString section;
        for (const QString& line : lines) {
            if (line.startsWith(u'[')) {
                section = line.mid(1, line.size() - 2);
            } else if (section.startsWith(QStringLiteral("Config")) && line.contains(u'=')) {
                const qsizetype eq = line.indexOf(u'=');
                platform::WritePrivateProfileString(section, line.left(eq), line.mid(eq + 1), path);
                ++writes;
            }
        }
        if (writes != 188) {
            state.SkipWithError("wrong write count");
        }
    }
}
BENCHMARK(SaveFourProfilesUnchanged)->Unit(benchmark::kMillisecond);

// --- One key from a large file ------------------------------------------------------------------

constexpr qsizetype LargeFileSize = 10 * 1024 * 1024;

// size bytes of one-key sections: "[S]\r\nk=v\r\n" over and over, or [S1]..[Sn] with distinct
// names; never more than size.
QByteArray OneKeySections(bool distinctNames, qsizetype size) {
    QByteArray text;
    text.reserve(size + 64);
    for (int n = 1;; ++n) {
        const QByteArray section =
            distinctNames ? "[S" + QByteArray::number(n) + "]\r\nk=v\r\n" : "[S]\r\nk=v\r\n";
        if (text.size() + section.size() > size) {
            return text;
        }
        text += section;
    }
}

// A value from /proc/self/status ("VmRSS", "VmHWM") in bytes, or -1.
long long StatusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stoll(line.substr(field.size() + 1)) * 1024;
        }
    }
    return -1;
}

// How far the process's resident size rose above where it stood (or above baseline, a resident
// size measured earlier) while fn ran: the peak resident mark is reset first where the kernel
// allows it, else the lifetime peak is used. Memory freed earlier goes back to the system first,
// so that what fn takes shows as growth instead of reusing pages that are still resident.
template <typename Fn>
long long PeakGrowth(Fn fn, long long baseline = -1) {
    malloc_trim(0);
    const int fd = ::open("/proc/self/clear_refs", O_WRONLY | O_CLOEXEC);
    const bool reset = fd >= 0 && ::write(fd, "5", 1) == 1;
    if (fd >= 0) {
        ::close(fd);
    }
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const long long rssBefore = baseline >= 0 ? baseline : StatusBytes("VmRSS");
    fn();
    if (reset) {
        return StatusBytes("VmHWM") - rssBefore;
    }
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    return (after.ru_maxrss - std::max<long>(before.ru_maxrss, rssBefore / 1024)) * 1024;
}

// Each iteration reads the file afresh: between iterations (not timed) one value byte of the
// last section flips, so no parsed copy of the file can serve the read. The first read, in a
// fresh state, also gives the peak memory that reading the file takes, against its size; a last
// read after the loop the peak of a read while the copy of the file as it was is still kept
// (reread_peak_MB, above the resident size before the first read).
void ReadOneKeyFromLargeFile(benchmark::State& state, bool distinctNames, qsizetype size) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.ini"));
    const QByteArray text = OneKeySections(distinctNames, size);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
            state.SkipWithError("cannot write the file");
            return;
        }
    }
    const QString section =
        distinctNames ? QString::fromLatin1(text.mid(text.lastIndexOf('[') + 1).split(']')[0])
                      : QStringLiteral("S");
    const auto readOnce = [&] {
        const QString value = platform::GetPrivateProfileString(section, QStringLiteral("k"),
                                                                QStringLiteral("none"), 5, path);
        if (value != QStringLiteral("v") && value != QStringLiteral("w")) {
            state.SkipWithError("wrong value");
        }
    };
    malloc_trim(0);
    const long long rssStart = StatusBytes("VmRSS");
    const long long peak = PeakGrowth(readOnce);
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    const off_t lastValue = static_cast<off_t>(text.size()) - 3;
    char flip = 'w';
    const auto change = [&] {
        if (::pwrite(fd, &flip, 1, lastValue) != 1) {
            state.SkipWithError("cannot change the file");
        }
        flip = flip == 'w' ? 'v' : 'w';
    };
    for (auto _ : state) {
        state.PauseTiming();
        change();
        state.ResumeTiming();
        readOnce();
    }
    change();
    const long long rereadPeak = PeakGrowth(readOnce, rssStart);
    ::close(fd);
    state.counters["file_MB"] = static_cast<double>(text.size()) / (1024 * 1024);
    state.counters["peak_MB"] = static_cast<double>(peak) / (1024 * 1024);
    state.counters["peak_x_file"] = static_cast<double>(peak) / static_cast<double>(text.size());
    state.counters["reread_peak_MB"] = static_cast<double>(rereadPeak) / (1024 * 1024);
}
BENCHMARK_CAPTURE(ReadOneKeyFromLargeFile, repeated_name, false, LargeFileSize)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(ReadOneKeyFromLargeFile, distinct_names, true, LargeFileSize)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
// The worst file that is still read: as large as the bound allows, every section a new name.
BENCHMARK_CAPTURE(ReadOneKeyFromLargeFile, distinct_names_at_bound, true, platform::MaxFileBytes)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// --- One key from a file far above the read bound ---------------------------------------------

constexpr qint64 SparseFileSize = qint64{1} << 30;

// A config.ini of 1 GB, as a copy gone wrong may leave one: its real content, then NULs up to
// the size, sparse (no disk space taken). Every read of it is refused: the figure is what the
// refusal costs, in time and in peak memory.
void ReadOneKeyFromSparseGigabyteFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = MakeConfig(dir);
    if (path.isEmpty() || !QFile::resize(path, SparseFileSize)) {
        state.SkipWithError("cannot make the file");
        return;
    }
    const auto readOnce = [&] {
        benchmark::DoNotOptimize(platform::GetPrivateProfileString(
            QStringLiteral("Init"), QStringLiteral("CurConfig"), QStringLiteral("0"), 5, path));
    };
    const long long peak = PeakGrowth(readOnce);
    for (auto _ : state) {
        readOnce();
    }
    state.counters["file_MB"] = static_cast<double>(SparseFileSize) / (1024 * 1024);
    state.counters["peak_MB"] = static_cast<double>(peak) / (1024 * 1024);
}
BENCHMARK(ReadOneKeyFromSparseGigabyteFile)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
