#include "platform/ini.h"

#include "ini_test_files.h"

#include <optional>

namespace {

using platform::GetPrivateProfileString;
using platform::WritePrivateProfileString;

class IniWrite : public IniFileTest {
protected:
    // Writes into a file that starts as `before` and returns the file's bytes afterwards.
    QByteArray After(const QByteArray& before, const char* section,
                     const std::optional<QString>& key, const std::optional<QString>& value) {
        const QString path = Make(before);
        EXPECT_TRUE(WritePrivateProfileString(QString::fromUtf8(section), key, value, path));
        return Bytes(path);
    }
};

TEST_F(IniWrite, NewOrEmptyFileGetsSectionAndKey) {
    const QString path = PathOf("new.ini");
    EXPECT_TRUE(
        WritePrivateProfileString("App", QStringLiteral("key"), QStringLiteral("string"), path));
    EXPECT_EQ(Bytes(path), "[App]\r\nkey=string\r\n");
    EXPECT_EQ(After("", "App", QStringLiteral("key"), QStringLiteral("string")),
              "[App]\r\nkey=string\r\n");
    EXPECT_EQ(After("", "App", QStringLiteral("key"), QStringLiteral("")), "[App]\r\nkey=\r\n");
}

TEST_F(IniWrite, NamesLoseSpacesValueIsKeptExactly) {
    EXPECT_EQ(After("", "  App ", QStringLiteral(" key  "), QStringLiteral("  v  ")),
              "[App]\r\nkey=  v  \r\n");
}

TEST_F(IniWrite, ExistingKeyIsReplacedInPlaceWithFileSpelling) {
    EXPECT_EQ(After("[Config1]\r\nK0=1\r\nFire_Time=50\r\nK1=2\r\n", "config1",
                    QStringLiteral("FIRE_TIME"), QStringLiteral("300")),
              "[Config1]\r\nK0=1\r\nFire_Time=300\r\nK1=2\r\n");
    EXPECT_EQ(
        After("[s]\r\n  k  =  old \r\nz=1\r\n", "s", QStringLiteral("k"), QStringLiteral("new")),
        "[s]\r\nk=new\r\nz=1\r\n");
    // The first of two keys of one name is the one read, so it is the one written.
    EXPECT_EQ(After("[s]\r\na=1\r\na=2\r\n", "s", QStringLiteral("A"), QStringLiteral("9")),
              "[s]\r\na=9\r\na=2\r\n");
}

TEST_F(IniWrite, NewKeysFollowTheLastKeyLineInWriteOrder) {
    const QString path = Make("[s]\r\nb=v\r\na=v\r\n");
    for (const char* key : {"z", "b", "y", "a"}) {
        ASSERT_TRUE(WritePrivateProfileString("s", QString::fromUtf8(key), QString(), path));
    }
    EXPECT_EQ(Bytes(path), "[s]\r\nb=\r\na=\r\nz=\r\ny=\r\n");
}

TEST_F(IniWrite, NewKeyGoesBeforeTrailingCommentsAndIntoFirstCopyOfSection) {
    EXPECT_EQ(
        After("[s]\r\na=1\r\n; note\r\n\r\n[t]\r\n", "s", QStringLiteral("b"), QStringLiteral("2")),
        "[s]\r\na=1\r\nb=2\r\n; note\r\n\r\n[t]\r\n");
    EXPECT_EQ(After("[s]\r\n[t]\r\n", "s", QStringLiteral("b"), QStringLiteral("2")),
              "[s]\r\nb=2\r\n[t]\r\n");
    EXPECT_EQ(After("[s]\r\na=1\r\n[s]\r\nb=1\r\n", "s", QStringLiteral("b"), QStringLiteral("2")),
              "[s]\r\na=1\r\nb=2\r\n[s]\r\nb=1\r\n");
    EXPECT_EQ(After("[s]\r\na=1", "s", QStringLiteral("b"), QStringLiteral("2")),
              "[s]\r\na=1\r\nb=2\r\n");
}

TEST_F(IniWrite, NewSectionIsAppendedWithoutBlankLine) {
    const QByteArray start = "[Init]\r\nCurConfig=1\r\nLANG_SEL=0";  // 31 bytes, no final break
    ASSERT_EQ(start.size(), 31);
    EXPECT_EQ(After(start, "section1", QStringLiteral("key1"), QStringLiteral("string1")),
              start + "\r\n[section1]\r\nkey1=string1\r\n");
    EXPECT_EQ(After("[a]\r\nx=1\r\n\r\n", "b", QStringLiteral("y"), QStringLiteral("2")),
              "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n");
    EXPECT_EQ(After("; only a comment\n", "b", QStringLiteral("y"), QStringLiteral("2")),
              "; only a comment\n[b]\r\ny=2\r\n");
}

TEST_F(IniWrite, MissingValueDeletesKeyLine) {
    EXPECT_EQ(After("[s]\r\na=1\r\nb=2\r\nc=3\r\n", "S", QStringLiteral("B"), std::nullopt),
              "[s]\r\na=1\r\nc=3\r\n");
    EXPECT_EQ(After("[s]\r\na=1\r\nb=2", "s", QStringLiteral("b"), std::nullopt), "[s]\r\na=1\r\n");
    EXPECT_EQ(After("[s]\r\na=1\r\n", "s", QStringLiteral("zz"), std::nullopt), "[s]\r\na=1\r\n");
    EXPECT_EQ(After("[s]\r\na=1\r\n", "t", QStringLiteral("a"), std::nullopt), "[s]\r\na=1\r\n");
}

TEST_F(IniWrite, MissingKeyDeletesSectionHeaderAndKeys) {
    EXPECT_EQ(
        After("[a]\r\nx=1\r\n[b]\r\ny=2\r\nz=3\r\n[c]\r\nw=4\r\n", "B", std::nullopt, std::nullopt),
        "[a]\r\nx=1\r\n[c]\r\nw=4\r\n");
    EXPECT_EQ(After("[a]\r\nx=1\r\n", "zz", std::nullopt, std::nullopt), "[a]\r\nx=1\r\n");
    const QString missing = PathOf("never.ini");
    EXPECT_TRUE(WritePrivateProfileString("a", std::nullopt, std::nullopt, missing));
    EXPECT_TRUE(WritePrivateProfileString("a", QStringLiteral("k"), std::nullopt, missing));
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(IniWrite, OtherLinesStayByteForByte) {
    const QByteArray before =
        "; made by hand\n"
        "stray=before any section\r\n"
        "  [ Config1 ]  trailing\r"
        "\tK0 = 1\t\n"
        "junk line\r\n"
        "K1='2'\r\n"
        "\r\n"
        "[Other]\r\n"
        "x=\xC3\xA9\r\n";
    const QByteArray after = After(before, "Config1", QStringLiteral("K1"), QStringLiteral("5"));
    QByteArray expected = before;
    expected.replace("K1='2'", "K1=5");
    EXPECT_EQ(after, expected);
}

TEST_F(IniWrite, WrittenValuesReadBack) {
    const QString path = PathOf("rt.ini");
    ASSERT_TRUE(
        WritePrivateProfileString("Init", QStringLiteral("CurConfig"), QStringLiteral("3"), path));
    EXPECT_EQ(GetPrivateProfileString("Init", "CurConfig", "", 5, path), "3");
    ASSERT_TRUE(
        WritePrivateProfileString("Init", QStringLiteral("CurConfig"), QStringLiteral("4"), path));
    EXPECT_EQ(GetPrivateProfileString("INIT", "curconfig", "", 5, path), "4");
    ASSERT_TRUE(WritePrivateProfileString("Init", QStringLiteral("CurConfig"), std::nullopt, path));
    EXPECT_EQ(GetPrivateProfileString("Init", "CurConfig", "gone", 5, path), "gone");
}

TEST_F(IniWrite, FailsWithoutFolderAndLeavesNothing) {
    EXPECT_FALSE(WritePrivateProfileString("s", QStringLiteral("k"), QStringLiteral("v"),
                                           PathOf("missing/config.ini")));
    EXPECT_FALSE(QFile::exists(PathOf("missing")));
    EXPECT_FALSE(
        WritePrivateProfileString("s", QStringLiteral("k"), QStringLiteral("v"), QString()));
    EXPECT_FALSE(
        WritePrivateProfileString("s", QStringLiteral("k"), QStringLiteral("v"), dir_.path()));
}

}  // namespace
