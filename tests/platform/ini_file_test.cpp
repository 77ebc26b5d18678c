#include "platform/ini.h"
#include "platform/regular_file.h"

#include "ini_test_files.h"
#include "support/failing_allocation.h"
#include "support/ordinary_user.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using platform::GetPrivateProfileString;
using platform::WritePrivateProfileString;

// A config.ini as the program keeps it: [Init] and one section per profile, 47 keys each.
QByteArray ConfigIni(int curConfig, int fireTime, int firstButton) {
    QByteArray text = "[Init]\r\nCurConfig=" + QByteArray::number(curConfig) +
                      "\r\nLANG_SEL=1\r\nCUSTOM_EN=0\r\nPID=0x2A07\r\nVID=0x3554\r\n";
    for (int n = 1; n <= 4; ++n) {
        text += "[Config" + QByteArray::number(n) + "]\r\n";
        for (int k = 0; k <= 6; ++k) {
            const int code = k == 0 ? firstButton : k + n;
            text += "K" + QByteArray::number(k) + "=" + QByteArray::number(code) + "\r\n";
        }
        text += "MODE_STATUS=0\r\nDPI_LEVEL=2\r\nWHEEL_STATUS=1\r\n";
        for (int j = 0; j <= 5; ++j) {
            const QByteArray jj = QByteArray::number(j);
            text += "DPI_SET" + jj + "=" + QByteArray::number(2 * j) + "\r\nDPI_SET_EN" + jj +
                    "=1\r\nDPI" + jj + "_R=0\r\nDPI" + jj + "_G=15\r\nDPI" + jj +
                    "_B=" + QByteArray::number(j) + "\r\n";
        }
        text +=
            "CYC_7COL_EN=127\r\nLED_TYPE=1\r\nLED_CYC_TIME=3\r\nDPI_SPEED=5\r\n"
            "WHEEL_SPEED=2\r\nUSB_SPEED=3\r\nFIRE_TIME=" +
            QByteArray::number(fireTime) + "\r\n";
    }
    return text;
}

class IniFile : public IniFileTest {};

TEST_F(IniFile, SavingAllProfilesOfARealisticConfigRoundTrips) {
    const QString path = Make(ConfigIni(1, 50, 1), QStringLiteral("config.ini"));
    // The save writes every key of every profile in file order; only two values change.
    ASSERT_TRUE(
        WritePrivateProfileString("Init", QStringLiteral("CurConfig"), QStringLiteral("3"), path));
    const QByteArray target = ConfigIni(3, 300, 40);
    int writes = 0;
    QString section;
    for (const QByteArray& line : target.split('\n')) {
        const QByteArray text = line.trimmed();
        if (text.startsWith('[')) {
            section = QString::fromLatin1(text.mid(1, text.size() - 2));
        } else if (section != "Init" && text.contains('=')) {
            const qsizetype eq = text.indexOf('=');
            ASSERT_TRUE(WritePrivateProfileString(section, QString::fromLatin1(text.left(eq)),
                                                  QString::fromLatin1(text.mid(eq + 1)), path));
            ++writes;
        }
    }
    EXPECT_EQ(writes, 188);
    EXPECT_EQ(Bytes(path), target);

    EXPECT_EQ(GetPrivateProfileString("Init", "CurConfig", "", 5, path), "3");
    EXPECT_EQ(GetPrivateProfileString("Init", "VID", "", 6, path), "0x355");
    EXPECT_EQ(GetPrivateProfileString("Config2", "K0", "", 5, path), "40");
    EXPECT_EQ(GetPrivateProfileString("Config4", "K6", "", 5, path), "10");
    EXPECT_EQ(GetPrivateProfileString("Config3", "DPI_SET5", "", 10, path), "10");
    EXPECT_EQ(GetPrivateProfileString("Config3", "DPI5_B", "", 10, path), "5");
    EXPECT_EQ(GetPrivateProfileString("Config1", "FIRE_TIME", "", 5, path), "300");
    EXPECT_EQ(GetPrivateProfileString("CfgReset2", "K0", "", 5, path), "");
}

TEST_F(IniFile, Utf16FileIsWrittenAsUtf16) {
    const QString path = Make(Utf16File("[Macros]\r\nmacroNum=2\r\n"), QStringLiteral("m.dat"));
    ASSERT_TRUE(
        WritePrivateProfileString("Macros", QStringLiteral("macroNum"), QStringLiteral("3"), path));
    ASSERT_TRUE(WritePrivateProfileString("Macros", QStringLiteral("Macro0Name"),
                                          QString::fromUtf8("\xE5\xAE\x8F"), path));
    ASSERT_TRUE(
        WritePrivateProfileString("MacrosSet", QStringLiteral("M0"), QStringLiteral("1"), path));
    QByteArray expected = Utf16File("[Macros]\r\nmacroNum=3\r\nMacro0Name=");
    expected.append("\x8F\x5B", 2);
    expected += Utf16File("\r\n[MacrosSet]\r\nM0=1\r\n").mid(2);
    EXPECT_EQ(Bytes(path), expected);
    EXPECT_EQ(GetPrivateProfileString("macros", "macro0name", "", 260, path),
              QString::fromUtf8("\xE5\xAE\x8F"));
}

TEST_F(IniFile, StrayOddByteOfUtf16FileStaysLast) {
    const QString path = Make(Utf16File("[s]\r\n") + QByteArray("Z"));
    ASSERT_TRUE(WritePrivateProfileString("s", QStringLiteral("k"), QStringLiteral("1"), path));
    EXPECT_EQ(Bytes(path), Utf16File("[s]\r\nk=1\r\n") + QByteArray("Z"));
}

TEST_F(IniFile, Utf8BomIsKept) {
    const QString path = Make("\xEF\xBB\xBF[Init]\r\nLANG_SEL=0\r\n");
    ASSERT_TRUE(
        WritePrivateProfileString("Init", QStringLiteral("LANG_SEL"), QStringLiteral("1"), path));
    EXPECT_EQ(Bytes(path), "\xEF\xBB\xBF[Init]\r\nLANG_SEL=1\r\n");
}

TEST_F(IniFile, LfFileKeepsItsLinesAndGetsCrlfLinesAdded) {
    const QString path = Make("[s]\na=1\nb=2\n");
    ASSERT_TRUE(WritePrivateProfileString("s", QStringLiteral("a"), QStringLiteral("7"), path));
    ASSERT_TRUE(WritePrivateProfileString("s", QStringLiteral("c"), QStringLiteral("3"), path));
    ASSERT_TRUE(WritePrivateProfileString("t", QStringLiteral("d"), QStringLiteral("4"), path));
    EXPECT_EQ(Bytes(path), "[s]\na=7\nb=2\nc=3\r\n[t]\r\nd=4\r\n");
    EXPECT_EQ(GetPrivateProfileString("s", "c", "", 260, path), "3");
    EXPECT_EQ(GetPrivateProfileString("t", "d", "", 260, path), "4");
}

TEST_F(IniFile, CrlfFileStaysCrlf) {
    const QString path = Make("[s]\r\na=1\r\n");
    ASSERT_TRUE(WritePrivateProfileString("s", QStringLiteral("a"), QStringLiteral("2"), path));
    ASSERT_TRUE(WritePrivateProfileString("s", QStringLiteral("b"), QStringLiteral("3"), path));
    EXPECT_EQ(Bytes(path), "[s]\r\na=2\r\nb=3\r\n");
}

TEST_F(IniFile, ReplaceKeepsPermissionsAndLeavesNoTemporaryFile) {
    const QString path = Make("[s]\r\na=1\r\n");
    const auto perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path, perms));
    ASSERT_TRUE(WritePrivateProfileString("s", QStringLiteral("a"), QStringLiteral("2"), path));
    EXPECT_EQ(Bytes(path), "[s]\r\na=2\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{"test.ini"});
}

TEST_F(IniFile, ReadOnlyFileIsNotReplaced) {
    const QString path = Make("[s]\r\na=1\r\n");
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    EXPECT_FALSE(WritePrivateProfileString("s", QStringLiteral("a"), QStringLiteral("2"), path));
    EXPECT_FALSE(WritePrivateProfileString("s", QStringLiteral("a"), std::nullopt, path));
    EXPECT_EQ(Bytes(path), "[s]\r\na=1\r\n");
    EXPECT_EQ(GetPrivateProfileString("s", "a", "", 260, path), "1");
    // Writing what the file already holds changes nothing and so succeeds.
    EXPECT_TRUE(WritePrivateProfileString("s", QStringLiteral("a"), QStringLiteral("1"), path));
    const platform::ProfileWrite write{"s", QStringLiteral("a"), QStringLiteral("3")};
    EXPECT_EQ(platform::WriteProfileStrings(std::span(&write, 1), path).reason,
              "the file is read-only");
}

// What the readers find, and why a file cannot be read or written, for the log.
TEST_F(IniFile, ReadStatesAndReasonsSayWhatIsWrong) {
    using platform::FileReadState;
    const QString fifo = PathOf("pipe.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder.ini")));
    EXPECT_EQ(platform::ReadStateOf(PathOf("gone.ini")), FileReadState::Missing);
    EXPECT_EQ(platform::ReadStateOf(Make("", QStringLiteral("empty.ini"))), FileReadState::Empty);
    EXPECT_EQ(platform::ReadStateOf(Make("[s]\r\n")), FileReadState::Readable);
    EXPECT_EQ(platform::ReadStateOf(fifo), FileReadState::Unreadable);
    EXPECT_EQ(platform::UnreadableReason(fifo), "not a regular file (a FIFO)");
    EXPECT_EQ(platform::ReadStateOf(PathOf("folder.ini")), FileReadState::Unreadable);
    const platform::ProfileWrite write{"s", QStringLiteral("a"), QStringLiteral("1")};
    EXPECT_EQ(platform::WriteProfileStrings(std::span(&write, 1), PathOf("folder.ini")).reason,
              "it cannot be read (not a regular file (a folder)), so it is left as it is");
    EXPECT_EQ(
        platform::WriteProfileStrings(std::span(&write, 1), PathOf("no/such/folder.ini")).reason,
        "No such file or directory");

    // A whole file replaced, through a link as every write: the link stays, the file its mode,
    // and, run as root, its owner and group: a run under sudo never takes the user's file.
    const QString target = Make("old", QStringLiteral("real.ini"));
    ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(target).constData(), 65534, 65534), 0);
    }
    ASSERT_TRUE(QFile::link(target, PathOf("link.ini")));
    EXPECT_TRUE(platform::ReplaceWholeFile(PathOf("link.ini"), "new").ok);
    EXPECT_TRUE(QFileInfo(PathOf("link.ini")).isSymLink());
    EXPECT_EQ(Bytes(target), "new");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(st.st_uid, root ? 65534u : ::geteuid());
    EXPECT_EQ(st.st_gid, root ? 65534u : ::getegid());
}

TEST_F(IniFile, WriteThroughSymbolicLinkReplacesTheTarget) {
    const QString target = Make("[s]\r\na=1\r\n", QStringLiteral("real.ini"));
    const QString link = PathOf("link.ini");
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(WritePrivateProfileString("s", QStringLiteral("a"), QStringLiteral("2"), link));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(Bytes(target), "[s]\r\na=2\r\n");
}

// Root reads and writes every file: these run as an ordinary user.
TEST_F(IniFile, UnreadableFileIsNeitherReadNorOverwritten) {
    const QString path = Make("[s]\r\na=1\r\n");
    testing_support::RunAsOrdinaryUser(
        [&] {
            ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
            EXPECT_EQ(GetPrivateProfileString("s", "a", "d", 260, path), "d");
            EXPECT_FALSE(
                WritePrivateProfileString("s", QStringLiteral("b"), QStringLiteral("2"), path));
            EXPECT_EQ(platform::ReadStateOf(path), platform::FileReadState::Unreadable);
            EXPECT_EQ(platform::UnreadableReason(path), "Permission denied");
            ASSERT_TRUE(
                QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
            EXPECT_EQ(Bytes(path), "[s]\r\na=1\r\n");
        },
        {dir_.path()});
}

TEST_F(IniFile, FailedWriteLeavesFileUnchanged) {
    const QString path = Make("[s]\r\na=1\r\n");
    testing_support::RunAsOrdinaryUser(
        [&] {
            const auto folderPerms = QFile::permissions(dir_.path());
            ASSERT_TRUE(
                QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            const platform::ProfileWrite write{"s", QStringLiteral("a"), QStringLiteral("2")};
            const platform::WriteResult result =
                platform::WriteProfileStrings(std::span(&write, 1), path);
            EXPECT_FALSE(result.ok);
            EXPECT_TRUE(result.reason.contains(QStringLiteral("Permission denied")))
                << result.reason.toStdString();
            ASSERT_TRUE(QFile::setPermissions(dir_.path(), folderPerms));
            EXPECT_EQ(Bytes(path), "[s]\r\na=1\r\n");
            EXPECT_EQ(GetPrivateProfileString("s", "a", "", 260, path), "1");
        },
        {dir_.path()});
}

TEST_F(IniFile, WritesFromSeveralThreadsAreAllKept) {
    const QString path = Make("[Init]\r\nCurConfig=1\r\n");
    constexpr int Threads = 4;
    constexpr int KeysEach = 25;
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t) {
        threads.emplace_back([&path, t] {
            const QString section = QStringLiteral("Config%1").arg(t + 1);
            for (int k = 0; k < KeysEach; ++k) {
                WritePrivateProfileString(section, QStringLiteral("K%1").arg(k),
                                          QString::number(t * 100 + k), path);
                GetPrivateProfileString("Init", "CurConfig", "", 5, path);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int t = 0; t < Threads; ++t) {
        for (int k = 0; k < KeysEach; ++k) {
            EXPECT_EQ(GetPrivateProfileString(QStringLiteral("Config%1").arg(t + 1),
                                              QStringLiteral("K%1").arg(k), "", 10, path),
                      QString::number(t * 100 + k));
        }
    }
    EXPECT_EQ(GetPrivateProfileString("Init", "CurConfig", "", 5, path), "1");
}

// --- Memory ----------------------------------------------------------------------------------

// A sanitizer reserves address space of its own and ends the process when memory runs out:
// there the reads run without the limit, and the test of running out is left to the plain build.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZELBO_NO_ADDRESS_LIMIT 1
#endif

// Runs body in a child process whose address space may grow by at most headroom bytes; true
// when body returned true there. A crash or an uncaught exception in the child counts as false.
bool RunsWithinMemory(long long headroom, const std::function<bool()>& body) {
#ifdef ZELBO_NO_ADDRESS_LIMIT
    (void)headroom;
    return body();
#else
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::ifstream status("/proc/self/status");
        long long sizeKb = -1;
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("VmSize:", 0) == 0) {
                sizeKb = std::stoll(line.substr(7));
            }
        }
        const rlim_t limit = static_cast<rlim_t>(sizeKb * 1024 + headroom);
        const rlimit rl{limit, limit};
        _exit(sizeKb > 0 && ::setrlimit(RLIMIT_AS, &rl) == 0 && body() ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
#endif
}

constexpr long long Headroom = 64 << 20;

TEST_F(IniFile, LargeFileOfOneKeySectionsReadsInMemoryInProportionToItsSize) {
    for (bool distinct : {false, true}) {
        QByteArray text;
        for (int n = 1; text.size() < 2 * 1024 * 1024; ++n) {
            text += distinct ? "[S" + QByteArray::number(n) + "]\r\nk=v\r\n" : "[S]\r\nk=v\r\n";
        }
        const QString path = Make(text + "[Last]\r\nk=end\r\n[S]\r\nk=later\r\n");
        EXPECT_TRUE(RunsWithinMemory(Headroom, [&] {
            return GetPrivateProfileString("Last", "k", "", 10, path) == "end" &&
                   GetPrivateProfileString(distinct ? "S1" : "s", "K", "", 10, path) == "v";
        })) << (distinct ? "distinct names" : "one name");
    }
}

TEST_F(IniFile, FileAboveTheSizeBoundReadsAsUnreadable) {
    // Sparse: the text, then NULs up to the size, no disk space taken.
    const QString atBound = Make("[s]\r\nk=1\r\n", QStringLiteral("at.ini"));
    const QString above = Make("[s]\r\nk=1\r\n", QStringLiteral("above.ini"));
    ASSERT_TRUE(QFile::resize(atBound, platform::MaxFileBytes));
    ASSERT_TRUE(QFile::resize(above, platform::MaxFileBytes + 1));
    EXPECT_EQ(GetPrivateProfileString("s", "k", "d", 10, atBound), "1");
    EXPECT_EQ(GetPrivateProfileString("s", "k", "d", 10, above), "d");
    EXPECT_FALSE(platform::HasSection(QStringLiteral("s"), above));
    EXPECT_FALSE(WritePrivateProfileString("s", QStringLiteral("k"), QStringLiteral("2"), above));
    EXPECT_EQ(QFileInfo(above).size(), platform::MaxFileBytes + 1);
}

#ifndef ZELBO_NO_ADDRESS_LIMIT
TEST_F(IniFile, FileTooLargeForMemoryReadsAsUnreadableAndTheProgramGoesOn) {
    const QString small = Make("[s]\r\nk=1\r\n", QStringLiteral("small.ini"));
    const QString huge = Make("[s]\r\nk=1\r\n", QStringLiteral("huge.ini"));
    QFile file(huge);
    ASSERT_TRUE(file.resize(4 * Headroom));  // sparse: no disk space taken
    EXPECT_TRUE(RunsWithinMemory(Headroom, [&] {
        return GetPrivateProfileString("s", "k", "d", 10, huge) == "d" &&
               !WritePrivateProfileString("s", QStringLiteral("k"), QStringLiteral("2"), huge) &&
               GetPrivateProfileString("s", "k", "", 10, small) == "1" &&
               WritePrivateProfileString("s", QStringLiteral("k"), QStringLiteral("2"), small);
    }));
    EXPECT_EQ(QFileInfo(huge).size(), 4 * Headroom);
}
#endif

#ifndef ZELBO_NO_FAILING_ALLOCATION
TEST_F(IniFile, RunningOutOfMemoryAnywhereInAReadReachesNoCaller) {
    const QString path = Make("[s]\r\nk=1\r\n");
    // The cache of parsed files empties itself when full, and the next file it keeps then takes
    // fresh memory: each round starts from a full cache, so that step is among those that fail.
    constexpr int CacheCapacity = 64;
    auto fillCache = [&] {
        for (int n = 0; platform::CachedFiles().size() < CacheCapacity; ++n) {
            GetPrivateProfileString("s", "k", "", 5,
                                    Make("[s]\r\nk=2\r\n", QStringLiteral("other%1.ini").arg(n)));
        }
    };
    for (long long failing = 0;; ++failing) {
        fillCache();
        ASSERT_FALSE(platform::CachedFiles().contains(path));
        QString value;
        bool escaped = false;
        bool failed = false;
        {
            const platform::OneTimeFile once(path);
            const testing_support::FailingAllocation outOfMemory(failing);
            try {
                value = GetPrivateProfileString("s", "k", "d", 5, path);
            } catch (const std::bad_alloc&) {
                escaped = true;
            }
            failed = outOfMemory.Failed();
        }
        EXPECT_FALSE(escaped) << "allocation " << failing;
        EXPECT_TRUE(value == "1" || value == "d") << "allocation " << failing;
        if (!failed) {
            EXPECT_EQ(value, "1");
            EXPECT_GT(failing, 2) << "the read took fewer allocations than it does";
            break;
        }
    }
    EXPECT_EQ(GetPrivateProfileString("s", "k", "", 5, path), "1");
}
#endif

TEST_F(IniFile, OneTimeFileLeavesNoCopyBehindAndOtherFilesStayKept) {
    const QString kept = Make("[s]\r\nk=1\r\n", QStringLiteral("config.ini"));
    const QString picked = Make("[Config1]\r\nK0=7\r\n", QStringLiteral("picked.ini"));
    EXPECT_EQ(GetPrivateProfileString("s", "k", "", 10, kept), "1");
    {
        const platform::OneTimeFile once(picked);
        EXPECT_TRUE(platform::HasSection(QStringLiteral("config1"), picked));
        EXPECT_FALSE(platform::HasSection(QStringLiteral("Config2"), picked));
        EXPECT_EQ(GetPrivateProfileString("Config1", "K0", "", 5, picked), "7");
        EXPECT_TRUE(WritePrivateProfileString("Config1", QStringLiteral("K0"), QStringLiteral("8"),
                                              picked));
    }
    const QStringList cached = platform::CachedFiles();
    EXPECT_TRUE(cached.contains(kept));
    EXPECT_FALSE(cached.contains(picked));
    EXPECT_FALSE(platform::HasSection(QStringLiteral("s"), dir_.path()));
    EXPECT_FALSE(platform::HasSection(QStringLiteral("s"), PathOf("missing.ini")));
}

}  // namespace
