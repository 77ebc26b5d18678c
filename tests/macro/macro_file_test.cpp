#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/log_file.h"
#include "common/paths.h"
#include "macro/macro_editor.h"
#include "macro/macro_field_string.h"
#include "macro/macro_file_reader.h"
#include "macro/macro_file_writer.h"
#include "macro_fixture.h"
#include "platform/ini.h"
#include "profile/profile_settings.h"
#include "support/file_replace_counter.h"
#include "support/killed_writer.h"

namespace {

const QString NotFound = QStringLiteral("找不到配置文件");

QString Repeat(const char* field, int times) {
    return QString::fromLatin1(field).repeated(times);
}

class MacroFileTest : public MacroTablesTest {
protected:
    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    static QString Value(const QString& section, const QString& key, const QString& path) {
        return platform::GetPrivateProfileString(section, key, QStringLiteral("<none>"), 30000,
                                                 path);
    }

    static QString FileText(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromUtf8(file.readAll());
    }

    static void WriteText(const QString& path, const QString& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }

    // A macro that uses every part of the record: 180 steps of all kinds, LED and GPIO records.
    static MacroRecord FullMacro(int seed) {
        MacroRecord r{};
        SetMacroName(r, QStringLiteral("宏%1").arg(seed));
        r.mode = static_cast<std::uint8_t>(0x04 | (seed % 3));
        r.repeatCount = static_cast<std::uint16_t>(1000 + seed);
        AddStep(r, StepCodeLed, StepTypeLed0, 0, 0, 300);
        AddStep(r, StepCodeGpio, StepTypeGpio0, 0, 0, 1);
        AddStep(r, StepCodeDpi, StepTypeDpiSet, 13, 0, 2);
        AddStep(r, StepCodeMedia, StepTypeMediaPress, 0xCD, 0, 3);
        AddStep(r, StepCodeWheel, StepTypeWheelDown, 3, 0, 4);
        AddStep(r, StepCodeRightButton, StepTypePress, 0, 0, 2540);
        AddStep(r, 0xE1, StepTypePress);  // left shift
        while (r.stepCount < MacroMaxSteps) {
            if (r.xyCount < MacroMaxXySteps) {
                AddStep(r, StepCodeXyMove, StepTypeXMinusYPlus, 65535,
                        static_cast<std::uint16_t>(r.stepCount), 254);
            } else {
                AddStep(r, static_cast<std::uint8_t>(4 + r.stepCount % 30), StepTypeRelease, 0, 0,
                        static_cast<std::uint16_t>(r.stepCount * 7));
            }
        }
        for (int i = 0; i < MacroEffectRecords; ++i) {
            r.led[i].field0 = 0x01020304u * (i + 1) + seed;
            r.led[i].field2 = 0xFFFFFFFFu;
            r.led[i].data[0] = static_cast<std::uint8_t>(i);
            r.led[i].data[55] = 0xEE;
        }
        return r;
    }

    QTemporaryDir dir_;
};

// ---- the field string -----------------------------------------------------------------------

TEST(AppendNumber3, PadsToThreeDigits) {
    EXPECT_EQ(AppendNumber3(QString(), 7), QStringLiteral("007"));
    EXPECT_EQ(AppendNumber3(QStringLiteral("x"), 45), QStringLiteral("x045"));
    EXPECT_EQ(AppendNumber3(QStringLiteral("001"), 240), QStringLiteral("001240"));
    EXPECT_EQ(AppendNumber3(QString(), 0), QStringLiteral("000"));
}

TEST_F(MacroFileTest, FieldStringLaysOutNameCountersAndSteps) {
    MacroRecord r{};
    SetMacroName(r, QStringLiteral("ab"));
    r.mode = 2;
    r.repeatCount = 1000;
    AddStep(r, StepCodeLeftButton, StepTypePress, 0, 0, 300);
    AddStep(r, 0x04, StepTypeRelease);
    AddStep(r, StepCodeRightButton, StepTypeRelease);
    const QString s = MacroFieldString(r);
    ASSERT_EQ(s.size(), 5445);
    EXPECT_EQ(s.left(60), QStringLiteral("097000098000") + Repeat("000", 16));
    EXPECT_EQ(s.mid(60, 3), QStringLiteral("002"));
    EXPECT_EQ(s.mid(63, 6), QStringLiteral("232003"));  // 1000 = 3 * 256 + 232
    EXPECT_EQ(s.mid(69, 6), QStringLiteral("003000"));
    EXPECT_EQ(s.mid(105, 24), QStringLiteral("001240000000000000044001"));
    EXPECT_EQ(s.mid(129, 24), QStringLiteral("002065000000000000005000"));
    EXPECT_EQ(s.mid(153 + 3, 3), QStringLiteral("241"));
    EXPECT_EQ(s.mid(177), Repeat("000", (5445 - 177) / 3));
    EXPECT_EQ(MacroFieldString(r, MacroFieldCountNoLed).size(), 4425);
}

TEST_F(MacroFileTest, TenUnitNameFillsAllNameFields) {
    MacroRecord r{};
    for (int i = 0; i < 10; ++i) {
        r.name[i] = static_cast<char16_t>(0x4E00 + i);
    }
    const QString s = MacroFieldString(r);
    EXPECT_EQ(s.left(6), QStringLiteral("000078"));
    EXPECT_EQ(s.mid(54, 6), QStringLiteral("009078"));
    MacroRecord back{};
    DecodeMacroFieldString(s, back);
    EXPECT_EQ(MacroName(back).size(), 10);
    EXPECT_EQ(back.name[9], 0x4E09);
}

TEST_F(MacroFileTest, DecodingTakesWholeLowFieldAndAddsHighField) {
    MacroRecord r{};
    // name 20 fields, mode, repeat 300/000, steps 255/001 (kept at 180), xy 300/001.
    QString s = Repeat("000", 20) + QStringLiteral("001") + QStringLiteral("300000") +
                QStringLiteral("255001") + QStringLiteral("300001");
    s += Repeat("000", 35 - 27);
    // Step 0: type 1, file code 240, x 255/001, y 300/000, delay 999/000.
    s += QStringLiteral("001240255001300000999000");
    // Step 1: file codes 241 and 65.
    s += QStringLiteral("002241") + Repeat("000", 6) + QStringLiteral("001065");
    DecodeMacroFieldString(s, r);
    EXPECT_EQ(r.mode, 1);
    EXPECT_EQ(r.repeatCount, 300);
    EXPECT_EQ(r.stepCount, 180);  // 511 steps cannot be held
    EXPECT_EQ(r.xyCount, 556);
    EXPECT_EQ(r.stepCode[0], 0xF1);
    EXPECT_EQ(r.stepParam[0].x, 511);
    EXPECT_EQ(r.stepParam[0].y, 300);
    EXPECT_EQ(r.stepDelay[0], 999);
    EXPECT_EQ(r.stepCode[1], 0xF3);
    EXPECT_EQ(r.stepType[1], 2);
    EXPECT_EQ(r.stepType[2], 1);
    EXPECT_EQ(r.stepCode[2], 4);
}

TEST_F(MacroFileTest, DecodingOverwritesAllButGpioAndIgnoresTheRest) {
    MacroRecord r = FullMacro(1);
    const MacroEffectRecord gpio = r.gpio[3] = MacroEffectRecord{7, 8, 9, {}};
    DecodeMacroFieldString(QStringLiteral("07"), r);  // ends inside field 0
    EXPECT_EQ(r.name[0], 7);
    EXPECT_EQ(r.stepCount, 0);
    EXPECT_EQ(r.stepDelay[179], 0);
    EXPECT_EQ(r.led[4].data[55], 0);
    EXPECT_EQ(std::memcmp(&r.gpio[3], &gpio, sizeof gpio), 0);

    // Fields with other characters convert their leading sign and digits only.
    DecodeMacroFieldString(
        QStringLiteral("x12-01 9a") + Repeat("000", 1811) + QStringLiteral("001999"), r);
    EXPECT_EQ(r.name[0], 0xFF00);     // "x12" is 0, "-01" is -1
    EXPECT_EQ(r.name[1], 9);          // " 9a"
    EXPECT_EQ(r.led[4].data[55], 1);  // field 1814; what follows is ignored
    MacroRecord neg{};
    DecodeMacroFieldString(QStringLiteral("-01"), neg);
    EXPECT_EQ(neg.name[0], 0xFF);
}

// ---- round trips ----------------------------------------------------------------------------

TEST_F(MacroFileTest, ListSaveReadsBackWithLocksLedRecordsAndAllSteps) {
    const QString path = Path("Macro_EN.dat");
    for (int i = 0; i < 3; ++i) {
        g_macros[i] = FullMacro(i);
    }
    g_macroCount = 3;
    g_macroSet = {0, 1, 0};
    g_macroSet[1] = static_cast<std::uint32_t>(-1);
    OnWriteMacroList(path, 1);

    const QString text = FileText(path);
    EXPECT_TRUE(text.startsWith(
        QStringLiteral("[MacrosSet]\r\n0=0\r\n1=-1\r\n2=0\r\n[Macros]\r\nmacroNum=3\r\n0=")));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(Value(QStringLiteral("Macros"), QString::number(k), path).size(), 5445);
    }

    const std::array<MacroRecord, 3> written = {g_macros[0], g_macros[1], g_macros[2]};
    SetUp();
    OnReadMacroList(path);
    ASSERT_EQ(g_macroCount, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(std::memcmp(&g_macros[i].name, &written[i].name, offsetof(MacroRecord, gpio)), 0)
            << "macro " << i;
    }
    EXPECT_EQ(g_macroSet[0], 0u);
    EXPECT_NE(g_macroSet[1], 0u);
    EXPECT_EQ(g_macroSet[2], 0u);
    EXPECT_EQ(g_macros[2].stepParam[179].x, written[2].stepParam[179].x);
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(MacroFileTest, ListExportLeavesOutLockedMacrosAndLedRecords) {
    const QString path = Path("export.dat");
    for (int i = 0; i < 4; ++i) {
        g_macros[i] = FullMacro(i);
    }
    g_macroCount = 4;
    g_macroSet = {1, 0, 2, 0};
    OnWriteMacroList(path, 0);
    EXPECT_FALSE(FileText(path).contains(QStringLiteral("MacrosSet")));
    EXPECT_EQ(Value(QStringLiteral("Macros"), QStringLiteral("macroNum"), path),
              QStringLiteral("2"));
    EXPECT_EQ(Value(QStringLiteral("Macros"), QStringLiteral("0"), path),
              MacroFieldString(g_macros[1], 1475));
    EXPECT_EQ(Value(QStringLiteral("Macros"), QStringLiteral("1"), path).size(), 4425);
    EXPECT_EQ(Value(QStringLiteral("Macros"), QStringLiteral("2"), path), QStringLiteral("<none>"));

    const MacroRecord second = g_macros[1];
    const MacroRecord fourth = g_macros[3];
    SetUp();
    g_macroSet = {5, 5, 5, 5};
    OnReadMacroList(path);
    ASSERT_EQ(g_macroCount, 2);
    EXPECT_EQ(g_macroSet[0], 0u);
    EXPECT_EQ(g_macroSet[1], 0u);
    EXPECT_EQ(MacroName(g_macros[0]), MacroName(second));
    EXPECT_EQ(MacroName(g_macros[1]), MacroName(fourth));
    EXPECT_EQ(g_macros[1].stepDelay[179], fourth.stepDelay[179]);
    const MacroEffectRecord zero{};
    for (int i = 0; i < 2; ++i) {
        for (const MacroEffectRecord& led : g_macros[i].led) {
            EXPECT_EQ(std::memcmp(&led, &zero, sizeof zero), 0);
        }
    }
}

TEST_F(MacroFileTest, EmptyOrAllLockedListsWriteCountZero) {
    OnWriteMacroList(Path("a.dat"), 1);
    EXPECT_EQ(FileText(Path("a.dat")), QStringLiteral("[Macros]\r\nmacroNum=0\r\n"));
    g_macroCount = 2;
    g_macroSet = {1, 1};
    OnWriteMacroList(Path("b.dat"), 0);
    EXPECT_EQ(FileText(Path("b.dat")), QStringLiteral("[Macros]\r\nmacroNum=0\r\n"));
}

TEST_F(MacroFileTest, SingleExportWritesOneMacroOverAnyList) {
    const QString path = Path("one.dat");
    for (int i = 0; i < 5; ++i) {
        g_macros[i] = FullMacro(i);
    }
    g_macroCount = 5;
    OnWriteMacroList(path, 1);
    OnWriteMacro(path, 3);
    EXPECT_EQ(Value(QStringLiteral("Macros"), QStringLiteral("macroNum"), path),
              QStringLiteral("1"));
    EXPECT_EQ(Value(QStringLiteral("Macros"), QStringLiteral("0"), path),
              MacroFieldString(g_macros[3]));
    EXPECT_EQ(Value(QStringLiteral("Macros"), QStringLiteral("4"), path),
              MacroFieldString(g_macros[4]));
    EXPECT_EQ(std::memcmp(&g_macroBuf, &g_macros[3], sizeof g_macroBuf), 0);

    const QString fresh = Path("fresh.dat");
    OnWriteMacro(fresh, 0);
    EXPECT_EQ(FileText(fresh).left(24), QStringLiteral("[Macros]\r\nmacroNum=1\r\n0="));
    EXPECT_FALSE(FileText(fresh).contains(QStringLiteral("MacrosSet")));
    EXPECT_EQ(Value(QStringLiteral("Macros"), QStringLiteral("0"), fresh).size(), 5445);

    // No selection, or one past the list: nothing is written.
    OnWriteMacro(Path("none.dat"), -1);
    OnWriteMacro(Path("none.dat"), 5);
    EXPECT_FALSE(QFile::exists(Path("none.dat")));
}

TEST_F(MacroFileTest, SaveMacroReplacesOnlyItsKey) {
    const QString path = Path("list.dat");
    for (int i = 0; i < 5; ++i) {
        g_macros[i] = FullMacro(i);
    }
    g_macroCount = 5;
    g_macroSet[2] = 1;
    OnWriteMacroList(path, 1);
    const QString before = FileText(path);
    g_macros[2].stepParam[60].y = 29;
    SaveMacro(path, 2);
    const QString after = FileText(path);
    EXPECT_EQ(Value(QStringLiteral("Macros"), QStringLiteral("2"), path),
              MacroFieldString(g_macros[2]));
    const QString old2 = QStringLiteral("\r\n2=") + MacroFieldString(FullMacro(2));
    EXPECT_TRUE(before.contains(old2));
    QString expected = before;
    expected.replace(old2, QStringLiteral("\r\n2=") + MacroFieldString(g_macros[2]));
    EXPECT_EQ(after, expected);

    SaveMacro(path, 5);
    SaveMacro(path, -1);
    SaveMacro(path, 99);
    EXPECT_EQ(FileText(path), after);
}

// The list save is one transaction: the bytes of its writes one by one, one replacement of the
// file, and a save killed at any moment leaves the old list or the new one, never a mix.
TEST_F(MacroFileTest, ListSaveReplacesTheFileOnceWithTheBytesOfItsWrites) {
    const QString path = Path("Macro_EN.dat");
    const QString oneByOne = Path("one_by_one.dat");
    for (int i = 0; i < 3; ++i) {
        g_macros[i] = FullMacro(i);
    }
    g_macroCount = 3;
    OnWriteMacroList(path, 1);
    const QString three = FileText(path);
    ASSERT_TRUE(QFile::copy(path, oneByOne));

    g_macros[1] = g_macros[2];  // the middle macro deleted
    g_macroCount = 2;
    g_macroSet[1] = 1;
    for (const auto& [section, key, value] :
         std::vector<std::array<QString, 3>>{{"MacrosSet", "0", "0"},
                                             {"MacrosSet", "1", "1"},
                                             {"Macros", "macroNum", "2"},
                                             {"Macros", "0", MacroFieldString(g_macros[0])},
                                             {"Macros", "1", MacroFieldString(g_macros[1])}}) {
        platform::WritePrivateProfileString(section, key, value, oneByOne);
    }
    testing_support::FileReplaceCounter replaced(path);
    OnWriteMacroList(path, 1);
    EXPECT_EQ(replaced.Take(), 1);
    const QString two = FileText(path);
    EXPECT_EQ(two, FileText(oneByOne));

    const std::array<MacroRecord, 3> lists[] = {{FullMacro(0), FullMacro(1), FullMacro(2)},
                                                {FullMacro(0), FullMacro(2), {}}};
    testing_support::KillWriterRepeatedly(
        20,
        [&](int i) {
            std::copy(lists[i % 2].begin(), lists[i % 2].end(), g_macros.begin());
            g_macroCount = static_cast<std::int16_t>(3 - i % 2);
            g_macroSet[1] = static_cast<std::uint32_t>(i % 2);
            OnWriteMacroList(path, 1);
        },
        [&](int round) {
            const QString left = FileText(path);
            ASSERT_TRUE(left == three || left == two) << "round " << round << ": " << left.size();
        });
}

// ---- readers: counts, flags, bounds ---------------------------------------------------------

TEST_F(MacroFileTest, CountsAreCutToTwoCharactersAndKeptWithinTheList) {
    const QString path = Path("many.dat");
    QString text = QStringLiteral(
        "[MacrosSet]\r\n0=2\r\n1=-1\r\n2=0\r\n11=7\r\n12=1\r\n[Macros]\r\nmacroNum=100\r\n");
    for (int i = 0; i < 14; ++i) {
        text += QStringLiteral("%1=%2\r\n")
                    .arg(i)
                    .arg(QStringLiteral("%1").arg(65 + i, 3, 10, QChar(u'0')));
    }
    WriteText(path, text);
    OnReadMacroList(path);
    EXPECT_EQ(g_macroCount, 10);  // "100" is read as "10"
    EXPECT_EQ(g_macroSet[0], 2u);
    EXPECT_EQ(g_macroSet[1], static_cast<std::uint32_t>(-1));
    EXPECT_EQ(g_macroSet[2], 0u);
    EXPECT_EQ(MacroName(g_macros[9]), QStringLiteral("J"));

    WriteText(path,
              QString(text).replace(QStringLiteral("macroNum=100"), QStringLiteral("macroNum=20")));
    OnReadMacroList(path);
    EXPECT_EQ(g_macroCount, 12);
    EXPECT_EQ(g_macroSet[11], 7u);
    EXPECT_EQ(g_macroSet[12], 0u);
    EXPECT_EQ(MacroName(g_macros[11]), QStringLiteral("L"));
    EXPECT_EQ(MacroName(g_macros[12]), QString());  // the spare stays empty

    WriteText(path,
              QString(text).replace(QStringLiteral("macroNum=100"), QStringLiteral("macroNum=-5")));
    OnReadMacroList(path);
    EXPECT_EQ(g_macroCount, 0);
    EXPECT_EQ(MacroName(g_macros[0]), QStringLiteral("A"));  // records beyond the count stay

    WriteText(path,
              QString(text).replace(QStringLiteral("macroNum=100"), QStringLiteral("macroNum=40")));
    OnReadConstMacro(path);
    EXPECT_EQ(g_constMacroCount, 12);
    EXPECT_EQ(MacroName(g_constMacros[11]), QStringLiteral("L"));
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(MacroFileTest, MissingFilesAreToldAndReadEmpty) {
    const QString path = Path("absent.dat");
    g_macroCount = 3;
    g_constMacroCount = 4;
    OnReadMacroList(path);
    EXPECT_EQ(g_macroCount, 0);
    OnReadConstMacro(path);
    EXPECT_EQ(g_constMacroCount, 0);
    g_macroBuf = FullMacro(3);
    g_macroBuf.gpio[0].field0 = 0;
    g_curMacro = 5;
    g_importMacroSet = 1;
    OnReadMacro(path);
    EXPECT_EQ(g_curMacro, 0);
    EXPECT_EQ(g_importMacroSet, 0u);
    const MacroRecord empty{};
    EXPECT_EQ(std::memcmp(&g_macroBuf, &empty, sizeof empty), 0);
    EXPECT_EQ(Messages(), (QStringList{NotFound, NotFound, NotFound}));
    EXPECT_FALSE(QFile::exists(path));
}

// The user's file is there but cannot be read (here a folder, as a FIFO or a file without read
// permission would be): that is said, not shown as an empty list, and no list save puts the list
// in memory in its place, even once it can be read again; another list that cannot be read
// leaves the one shown as it is.
TEST_F(MacroFileTest, AListThatCannotBeReadIsToldAndNeverReplacedByAListSave) {
    const QString saved = g_strMacroFile;
    const std::uint8_t language = g_langSel;
    g_strMacroFile = Path("Macro_EN.dat");
    g_langSel = 1;
    ASSERT_TRUE(QDir().mkdir(g_strMacroFile));
    g_macroCount = 2;
    OnReadMacroList(g_strMacroFile);
    EXPECT_EQ(g_macroCount, 0);
    EXPECT_EQ(Messages(),
              QStringList{QStringLiteral("Cannot read Macro_EN.dat, its macros are not shown!")});

    ASSERT_TRUE(QDir().rmdir(g_strMacroFile));
    const QString mine = QStringLiteral("[Macros]\r\nmacroNum=1\r\n0=065\r\n");
    WriteText(g_strMacroFile, mine);
    g_macros[0] = FullMacro(1);
    g_macroCount = 1;
    messages_.Clear();
    EXPECT_FALSE(OnWriteMacroList(g_strMacroFile, 1));
    EXPECT_EQ(FileText(g_strMacroFile), mine);
    EXPECT_EQ(Messages(), QStringList{QStringLiteral("Cannot save Macro_EN.dat!")});

    const QString folder = Path("other.dat");
    ASSERT_TRUE(QDir().mkdir(folder));
    g_langSel = 0;
    messages_.Clear();
    OnReadMacroList(folder);
    EXPECT_EQ(g_macroCount, 1) << "another list that cannot be read changes nothing";
    EXPECT_EQ(Messages(), QStringList{QStringLiteral("无法读取other.dat,其中的宏未显示!")});

    // Once read, the list is the file's and saves go as always.
    OnReadMacroList(g_strMacroFile);
    ASSERT_EQ(g_macroCount, 1);
    g_macros[0].repeatCount = 9;
    EXPECT_TRUE(OnWriteMacroList(g_strMacroFile, 1));
    EXPECT_NE(FileText(g_strMacroFile), mine);
    g_strMacroFile = saved;
    g_langSel = language;
}

TEST_F(MacroFileTest, ImportTakesFirstMacroOfAFile) {
    const QString path = Path("three.dat");
    WriteText(path,
              QStringLiteral("[MacrosSet]\r\n0=1\r\n[Macros]\r\nmacroNum=3\r\n0=066\r\n1=067\r\n"));
    g_macroCount = 4;
    OnReadMacro(path);
    EXPECT_EQ(Messages(), QStringList{QStringLiteral("当前文件包含多个宏,导入第一个宏!")});
    EXPECT_EQ(MacroName(g_macroBuf), QStringLiteral("B"));
    EXPECT_EQ(g_importMacroSet, 1u);
    EXPECT_EQ(g_curMacro, 2);

    // With only two user macros, index 2 names none: the selection stays.
    g_macroCount = 2;
    g_curMacro = 1;
    OnReadMacro(path);
    EXPECT_EQ(g_curMacro, 1);
}

TEST_F(MacroFileTest, ImportWithoutMacroNumStillReadsKeyZero) {
    const QString path = Path("bare.dat");
    WriteText(path, QStringLiteral("[Macros]\r\n0=068069\r\n[MacrosSet]\r\n0=3\r\n"));
    g_curMacro = 4;
    g_macroCount = 6;
    OnReadMacro(path);
    EXPECT_EQ(g_macroBuf.name[0], 0x4544);
    EXPECT_EQ(g_importMacroSet, 3u);
    EXPECT_EQ(g_curMacro, 0);
    EXPECT_TRUE(Messages().isEmpty());
}

// A file's counters are taken from its steps, whatever it claims: a hostile count of X/Y moves
// would refuse every X/Y insert, a missing one would mis-size the body sent to the mouse.
TEST_F(MacroFileTest, EveryReaderCountsTheStepsOfEachKind) {
    MacroRecord r{};
    SetMacroName(r, QStringLiteral("hostile"));
    AddStep(r, 4, StepTypePress);
    AddStep(r, StepCodeLed, StepTypeLed0);
    AddStep(r, StepCodeMedia, StepTypeMediaPress, 0xCD);
    AddStep(r, StepCodeMedia, StepTypeMediaRelease, 0xCD);
    r.xyCount = 65535;  // too high, and too low below
    r.wheelCount = r.dpiCount = r.gpioCount = 255;
    r.mediaCount = r.ledCount = 0;
    const QString path = Path("hostile.dat");
    WriteText(path, QStringLiteral("[Macros]\r\nmacroNum=1\r\n0=") + MacroFieldString(r) +
                        QStringLiteral("\r\n"));
    OnReadMacroList(path);
    OnReadMacro(path);
    OnReadConstMacro(path);
    for (const MacroRecord* read : {&g_macros[0], &g_macroBuf, &g_constMacros[0]}) {
        EXPECT_EQ(
            (std::array<int, 7>{read->stepCount, read->xyCount, read->wheelCount, read->dpiCount,
                                read->mediaCount, read->ledCount, read->gpioCount}),
            (std::array<int, 7>{4, 0, 0, 0, 2, 1, 0}));
    }
    ASSERT_TRUE(InsertMacroStep(0, 1, StepCodeXyMove, StepTypeXPlusYPlus));
    EXPECT_EQ(g_macros[0].xyCount, 1);
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(MacroFileTest, ReadersLogTheirProgress) {
    QTemporaryDir logDir;
    const QString logPath = logDir.filePath(QStringLiteral("log.txt"));
    g_LogFile.Init(logPath.toLocal8Bit());
    const QString path = Path("two.dat");
    WriteText(path, QStringLiteral("[Macros]\r\nmacroNum=2\r\n0=065\r\n1=066\r\n"));
    OnReadConstMacro(path);
    OnReadMacro(path);
    OnReadMacroList(path);
    g_LogFile.Init(QByteArray());
    QFile file(logPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList messages;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab >= 0) {
            messages << line.mid(tab + 1).trimmed();
        }
    }
    EXPECT_EQ(
        messages,
        (QStringList{QStringLiteral("In OnReadConstMacro"), QStringLiteral("Before for loop!"),
                     QStringLiteral("In for loop!"), QStringLiteral("In for loop!"),
                     QStringLiteral("Finish OnReadConstMacro"), QStringLiteral("In OnReadMacro!"),
                     QStringLiteral("Finish OnReadMacro!"), QStringLiteral("in OnReadMacro!")}));
}

// ---- the files that ship beside the program --------------------------------------------------

TEST_F(MacroFileTest, ShippedFilesReadAsMacroLists) {
    const QString program = QStringLiteral(ZELBO_SHIPPED_DIR);
    OnReadConstMacro(ConstMacroFilePath(program));
    EXPECT_GE(g_constMacroCount, 8);
    EXPECT_LE(g_constMacroCount, 12);
    for (std::uint8_t lang : {std::uint8_t{0}, std::uint8_t{1}}) {
        for (const QString& path :
             {UserMacroFilePath(program, lang), FactoryMacroFilePath(program, lang)}) {
            SetUp();
            OnReadMacroList(path);
            EXPECT_TRUE(Messages().isEmpty()) << path.toStdString();
            ASSERT_EQ(g_macroCount, 3) << path.toStdString();
            for (int i = 0; i < g_macroCount; ++i) {
                const MacroRecord& r = g_macros[i];
                EXPECT_FALSE(MacroName(r).isEmpty());
                EXPECT_GT(r.stepCount, 0);
                int xy = 0;
                for (int k = 0; k < r.stepCount; ++k) {
                    xy += r.stepCode[k] == StepCodeXyMove;
                }
                EXPECT_EQ(r.xyCount, xy);
            }
            // The text macro types h, e, l, l, o.
            const MacroRecord& hello = g_macros[1];
            EXPECT_EQ(hello.stepCode[0], 0x0B);
            EXPECT_EQ(hello.stepCode[8], 0x12);
            EXPECT_GT(g_macros[2].xyCount, 0);
        }
    }
    EXPECT_TRUE(FactoryMacroFilePath(QStringLiteral("/p"), 1)
                    .endsWith(QStringLiteral("/skins/INI_EN/defMacro.dat")));
    EXPECT_EQ(UserMacroFilePath(QStringLiteral("/p"), 0), QStringLiteral("/p/Macro_CN.dat"));
    EXPECT_EQ(ConstMacroFilePath(QStringLiteral("/p")), QStringLiteral("/p/constMacro.dat"));
}

}  // namespace
