#include "platform/ini.h"

#include "ini_test_files.h"

namespace {

using platform::GetPrivateProfileString;

class IniRead : public IniFileTest {
protected:
    QString Read(const QByteArray& file, const char* section, const char* key, int size = 260,
                 const QString& fallback = QStringLiteral("dflt")) {
        return GetPrivateProfileString(QString::fromUtf8(section), QString::fromUtf8(key), fallback,
                                       size, Make(file));
    }
};

TEST_F(IniRead, SectionLinesAreTrimmedAndEndAtFirstBracket) {
    EXPECT_EQ(Read("  [ sec\t]\r\nk=v\r\n", "sec", "k"), "v");
    EXPECT_EQ(Read("[sec   \r\nk=v", "sec", "k"), "v");
    EXPECT_EQ(Read("[a]b]\r\nk=v\r\n", "a", "k"), "v");
    EXPECT_EQ(Read("[a]b]\r\nk=v\r\n", "a]b", "k"), "dflt");
    EXPECT_EQ(Read("[sec]k=v\r\n", "sec", "k"), "dflt");
    EXPECT_EQ(Read("\t[sec]\r\n\t k = v \r\n", "sec", "k"), "v");
}

TEST_F(IniRead, KeyLineSplitsAtFirstEqualsAndTrims) {
    EXPECT_EQ(Read("[s]\r\n  \t key  =  a=b \t\r\n", "s", "key"), "a=b");
    EXPECT_EQ(Read("[s]\nkey=\v v \v\n", "s", "key"), "v");
    EXPECT_EQ(Read("[s]\nk=\n", "s", "k"), "");
    EXPECT_EQ(Read("[s]\nk\n", "s", "k"), "dflt");
    EXPECT_EQ(Read("[s]\n=v\n", "s", "k"), "dflt");
}

TEST_F(IniRead, AllKindsOfLineBreakEndALine) {
    EXPECT_EQ(Read("[s]\ra=1\rb=2", "s", "b"), "2");
    EXPECT_EQ(Read("[s]\na=1\nb=2\n", "s", "a"), "1");
    EXPECT_EQ(Read("[s]\r\n\r\n\n\ra=1\r\n", "s", "a"), "1");
    EXPECT_EQ(Read("[s]\n\ra=1\n\rb=2", "s", "b"), "2");
}

TEST_F(IniRead, OnlyLeadingSemicolonMakesAComment) {
    EXPECT_EQ(Read("[s]\r\n;k=1\r\nk=2\r\n", "s", "k"), "2");
    EXPECT_EQ(Read("[s]\r\n  ;k=1\r\n", "s", "k"), "dflt");
    EXPECT_EQ(Read("[s]\r\nk=v ;x\r\n", "s", "k"), "v ;x");
    EXPECT_EQ(Read("[s]\r\n#k=1\r\n", "s", "#k"), "1");
    EXPECT_EQ(Read(";[s]\r\nk=1\r\n", "s", "k"), "dflt");
}

TEST_F(IniRead, LinesBeforeFirstSectionBelongToNone) {
    EXPECT_EQ(Read("k=1\r\n[s]\r\nj=2\r\n", "", "k"), "dflt");
    EXPECT_EQ(Read("k=1\r\n[s]\r\nj=2\r\n", "s", "k"), "dflt");
    EXPECT_EQ(Read("k=1\r\n[]\r\nk=2\r\n", "", "k"), "2");
}

TEST_F(IniRead, LookupIgnoresCaseAndValueKeepsIt) {
    EXPECT_EQ(Read("[Config1]\r\nFire_Time=AbC\r\n", "CONFIG1", "fire_time"), "AbC");
    EXPECT_EQ(Read("[config1]\r\nfire_time=5\r\n", "Config1", "FIRE_TIME"), "5");
}

TEST_F(IniRead, RequestedNamesLoseOnlySpaces) {
    EXPECT_EQ(Read("[s]\r\nk=1\r\n", "  s  ", "  k "), "1");
    EXPECT_EQ(Read("[s]\r\nk=1\r\n", "\ts", "k"), "dflt");
    EXPECT_EQ(Read("[s]\r\nk=1\r\n", "s", "k\t"), "dflt");
}

TEST_F(IniRead, FirstSectionAndFirstKeyOfANameWin) {
    const QByteArray file = "[s]\r\na=1\r\na=2\r\n[t]\r\nx=0\r\n[S]\r\na=3\r\nb=4\r\n";
    EXPECT_EQ(Read(file, "s", "a"), "1");
    EXPECT_EQ(Read(file, "s", "b"), "dflt");
    EXPECT_EQ(Read(file, "t", "a"), "dflt");
}

TEST_F(IniRead, MatchingQuotesAroundTheValueAreRemoved) {
    EXPECT_EQ(Read("[s]\r\nk=  \"  a  \"  \r\n", "s", "k"), "  a  ");
    EXPECT_EQ(Read("[s]\r\nk='\"x\"'\r\n", "s", "k"), "\"x\"");
    EXPECT_EQ(Read("[s]\r\nk=\"x'\r\n", "s", "k"), "\"x'");
    EXPECT_EQ(Read("[s]\r\nk=\"\r\n", "s", "k"), "\"");
    EXPECT_EQ(Read("[s]\r\nk=''\r\n", "s", "k"), "");
    EXPECT_EQ(Read("[s]\r\nk=\"a\"b\"\r\n", "s", "k"), "a\"b");
}

TEST_F(IniRead, BufferSizeCutsValueToSizeMinusOne) {
    const QByteArray file = "[s]\r\nk=val1\r\n";
    EXPECT_EQ(Read(file, "s", "k", 4), "val");
    EXPECT_EQ(Read(file, "s", "k", 5), "val1");
    EXPECT_EQ(Read(file, "s", "k", 1), "");
    EXPECT_EQ(Read(file, "s", "k", 0), "");
    EXPECT_EQ(Read(file, "s", "k", -3), "");
    EXPECT_EQ(Read("[s]\r\nFIRE_TIME=12345\r\n", "s", "FIRE_TIME", 5), "1234");
    EXPECT_EQ(Read("[s]\r\nmacroNum=100\r\n", "s", "macroNum", 3), "10");
}

TEST_F(IniRead, DefaultLosesTrailingSpacesAndIsCut) {
    const QByteArray file = "[s]\r\nk=1\r\n";
    EXPECT_EQ(Read(file, "s", "missing", 260, QStringLiteral("  d  ")), "  d");
    EXPECT_EQ(Read(file, "s", "missing", 3, QStringLiteral("abcd")), "ab");
    EXPECT_EQ(Read(file, "s", "missing", 260, QString()), "");
    EXPECT_EQ(Read(file, "nosec", "k", 260, QStringLiteral("x\t")), "x\t");
}

TEST_F(IniRead, MissingOrUnreadableFileGivesDefault) {
    EXPECT_EQ(GetPrivateProfileString("s", "k", "d", 260, PathOf("none.ini")), "d");
    EXPECT_EQ(GetPrivateProfileString("s", "k", "d", 260, PathOf("no/dir/x.ini")), "d");
    EXPECT_EQ(GetPrivateProfileString("s", "k", "d", 260, QString()), "d");
    EXPECT_EQ(GetPrivateProfileString("s", "k", "d", 260, dir_.path()), "d");
    EXPECT_EQ(Read(QByteArray("\0\0\xFF\x80[s]", 7), "s", "k"), "dflt");
}

TEST_F(IniRead, Utf8BomIsSkipped) {
    EXPECT_EQ(Read("\xEF\xBB\xBF[Init]\r\nLANG_SEL=1\r\n", "Init", "LANG_SEL"), "1");
    EXPECT_EQ(Read("[s]\r\nname=\xE5\xAE\x8F\xE4\xB8\x80\r\n", "s", "name"),
              QString::fromUtf8("\xE5\xAE\x8F\xE4\xB8\x80"));
}

TEST_F(IniRead, Utf16FileIsReadAsUtf16) {
    EXPECT_EQ(Read(Utf16File("[Macros]\r\nmacroNum=3\r\n"), "macros", "MACRONUM"), "3");
    QByteArray chinese = Utf16File("[s]\r\nk=");
    chinese.append("\x8F\x5B\x00\x4E", 4);  // two CJK characters
    EXPECT_EQ(Read(chinese, "s", "k"), QString::fromUtf8("\xE5\xAE\x8F\xE4\xB8\x80"));
    // A stray odd byte at the end is no character.
    EXPECT_EQ(Read(Utf16File("[s]\r\nk=ab") + QByteArray("c"), "s", "k"), "ab");
}

TEST_F(IniRead, SeesChangesMadeOutsideTheProgram) {
    const QString path = Make("[s]\r\nk=1\r\n");
    EXPECT_EQ(GetPrivateProfileString("s", "k", "", 260, path), "1");
    Make("[s]\r\nk=2\r\n");  // same size, within the same timestamp tick
    EXPECT_EQ(GetPrivateProfileString("s", "k", "", 260, path), "2");

    // Even when the outside writer puts the old modification time back.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QDateTime old = QDateTime::currentDateTime().addDays(-30);
    ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
    file.close();
    EXPECT_EQ(GetPrivateProfileString("s", "k", "", 260, path), "2");
    Make("[s]\r\nk=3\r\n");
    QFile again(path);
    ASSERT_TRUE(again.open(QIODevice::ReadWrite));
    ASSERT_TRUE(again.setFileTime(old, QFileDevice::FileModificationTime));
    again.close();
    EXPECT_EQ(GetPrivateProfileString("s", "k", "", 260, path), "3");

    QFile::remove(path);
    EXPECT_EQ(GetPrivateProfileString("s", "k", "gone", 260, path), "gone");
}

TEST_F(IniRead, FileExistsFindsFilesAndFolders) {
    EXPECT_TRUE(platform::FileExists(Make("x")));
    EXPECT_TRUE(platform::FileExists(dir_.path()));
    EXPECT_FALSE(platform::FileExists(PathOf("missing.dat")));
    EXPECT_FALSE(platform::FileExists(QString()));
}

}  // namespace
