// Many writes to one file as one transaction: the same bytes as the writes one by one, one
// replacement of the file, and a crash in the middle leaves the old file or the new one.
#include "platform/ini.h"

#include "ini_test_files.h"
#include "support/file_replace_counter.h"
#include "support/killed_writer.h"

#include <gtest/gtest-spi.h>
#include <QDir>
#include <cerrno>
#include <vector>

namespace {

using platform::GetPrivateProfileString;
using platform::ProfileWrite;
using platform::WritePrivateProfileString;
using platform::WritePrivateProfileStrings;
using testing_support::FileReplaceCounter;

ProfileWrite Set(const char* section, const char* key, const QString& value) {
    return {QString::fromUtf8(section), QString::fromUtf8(key), value};
}

// Every kind of write in one list: replaced values (also with quotes, blanks, non-ASCII text and
// line breaks that make new lines), values written twice, new keys, new sections, names in
// another case or with spaces, and deletions.
const std::vector<ProfileWrite>& MixedWrites() {
    static const std::vector<ProfileWrite> writes = {
        Set("Config1", "K0", QStringLiteral("40")),
        Set("Config1", "FIRE_TIME", QStringLiteral("300")),
        Set("config1", "k1", QStringLiteral("2")),  // as the file holds it
        Set("Config1", "NEW_KEY", QStringLiteral("7")),
        Set("Config2", "K0", QStringLiteral("\"5\"")),
        Set("Config2", "K0", QStringLiteral("5")),  // reads as what the quotes held
        Set(" Config2 ", " K1 ", QStringLiteral("  spaced  ")),
        Set("Config1", "DPI_LEVEL", QStringLiteral("a\tb")),
        Set("Config1", "DPI_LEVEL", QStringLiteral("3")),
        Set("Config1", "LED_TYPE", QStringLiteral("é中")),
        Set("Config1", "LED_TYPE", QStringLiteral("1")),
        Set("Config3", "K6", QStringLiteral("x\r\nINJECTED=1")),
        Set("Config3", "INJECTED", QStringLiteral("2")),
        Set("Config1", "FIRE_TIME", QStringLiteral("")),
        {QStringLiteral("Config1"), QStringLiteral("K1"), std::nullopt},
        {QStringLiteral("Config1"), QStringLiteral("NO_SUCH_KEY"), std::nullopt},
        {QStringLiteral("Gone"), std::nullopt, std::nullopt},
        Set("Config4", "K0", QStringLiteral("9")),
    };
    return writes;
}

const QByteArray Crlf =
    "; profiles\r\n[Init]\r\nCurConfig=1\r\n[Config1]\r\nK0=1\r\n  fire_time = 50 \r\n"
    "k1=\"2\"\r\nDPI_LEVEL=2\r\nLED_TYPE=0\r\n; end of profile 1\r\n\r\n[Gone]\r\na=1\r\n"
    "[CONFIG1]\r\nK0=shadowed\r\n";

class IniTransaction : public IniFileTest {
protected:
    // The writes one by one, each through a file the program has never seen, so each starts
    // from what is on the disk. Returns the bytes they leave (or "<missing>").
    QByteArray OneByOne(const QByteArray* start, const std::vector<ProfileWrite>& writes) {
        QByteArray bytes = start ? *start : QByteArray();
        bool exists = start != nullptr;
        for (std::size_t i = 0; i < writes.size(); ++i) {
            const QString path = PathOf(QStringLiteral("step%1.ini").arg(i));
            if (exists) {
                Make(bytes, QStringLiteral("step%1.ini").arg(i));
            }
            EXPECT_TRUE(
                WritePrivateProfileString(writes[i].section, writes[i].key, writes[i].value, path));
            bytes = Bytes(path);
            exists = bytes != "<missing>";
        }
        return exists ? bytes : QByteArray("<missing>");
    }
};

TEST_F(IniTransaction, LeavesTheBytesOfTheWritesOneByOne) {
    const std::vector<std::pair<const char*, std::optional<QByteArray>>> starts = {
        {"missing file", std::nullopt},
        {"empty file", QByteArray()},
        {"CRLF file with comments and a second copy of a section", Crlf},
        {"LF file without a last line break",
         "[Config1]\nK0=1\nFIRE_TIME=50\n[Config2]\nK0=3\nK1=4"},
        {"UTF-16 file", Utf16File(Crlf)},
        {"UTF-8 file with a BOM", "\xEF\xBB\xBF" + Crlf},
        {"only lines before any section", "loose=1\r\n;x\r\n"},
    };
    for (const auto& [what, start] : starts) {
        SCOPED_TRACE(what);
        const QByteArray expected = OneByOne(start ? &*start : nullptr, MixedWrites());
        const QString path = PathOf(QStringLiteral("batch.ini"));
        QFile::remove(path);
        if (start) {
            Make(*start, QStringLiteral("batch.ini"));
        }
        EXPECT_TRUE(WritePrivateProfileStrings(MixedWrites(), path));
        EXPECT_EQ(Bytes(path), expected);
    }
}

TEST_F(IniTransaction, ReplacesTheFileOnceAndOnlyWhenItChanges) {
    const QString path = Make(Crlf);
    FileReplaceCounter replaced(path);
    std::vector<ProfileWrite> writes;
    for (int i = 0; i < 50; ++i) {
        writes.push_back(Set("Config1", "K0", QString::number(i)));
        writes.push_back(Set("Config5", qPrintable(QStringLiteral("K%1").arg(i)), "1"));
    }
    ASSERT_TRUE(WritePrivateProfileStrings(writes, path));
    EXPECT_EQ(replaced.Take(), 1);
    EXPECT_EQ(GetPrivateProfileString("Config1", "K0", "", 9, path), "49");
    ASSERT_TRUE(WritePrivateProfileStrings(writes, path));  // all as they stand
    ASSERT_TRUE(WritePrivateProfileStrings(
        std::vector{Set("Config1", "K0", "7"), Set("Config1", "K0", "49")}, path));
    EXPECT_EQ(replaced.Take(), 0);
}

// inotify_init1 where the user's inotify instances are used up.
int NoInotify(int /*flags*/) {
    errno = EMFILE;
    return -1;
}

// Where inotify cannot be set up (as when the user's inotify instances are used up), the counter
// fails the test with the reason instead of counting 0.
TEST_F(IniTransaction, AReplaceCounterThatCannotWatchFailsTheTestSayingWhy) {
    const QString path = Make(Crlf);
    int counted = 0;
    EXPECT_NONFATAL_FAILURE(counted = FileReplaceCounter(path, NoInotify).Take(),
                            "inotify_init1 failed with errno 24");
    EXPECT_EQ(counted, -1);
}

// A process killed at any moment of its saves leaves one of the two complete files.
TEST_F(IniTransaction, AKilledWriterLeavesTheOldOrTheNewFile) {
    std::vector<ProfileWrite> toOnes;
    std::vector<ProfileWrite> toTwos;
    for (int s = 1; s <= 4; ++s) {
        for (int k = 0; k < 47; ++k) {
            const QString section = QStringLiteral("Config%1").arg(s);
            const QString key = QStringLiteral("KEY%1").arg(k);
            toOnes.push_back({section, key, QStringLiteral("1")});
            toTwos.push_back({section, key, QStringLiteral("22")});
        }
    }
    const QString path = PathOf(QStringLiteral("config.ini"));
    ASSERT_TRUE(WritePrivateProfileStrings(toTwos, path));
    const QByteArray twos = Bytes(path);
    ASSERT_TRUE(WritePrivateProfileStrings(toOnes, path));
    const QByteArray ones = Bytes(path);

    testing_support::KillWriterRepeatedly(
        20, [&](int i) { WritePrivateProfileStrings(i % 2 == 0 ? toTwos : toOnes, path); },
        [&](int round) {
            const QByteArray left = Bytes(path);
            ASSERT_TRUE(left == ones || left == twos) << "round " << round << ": " << left.size();
        });
}

}  // namespace
