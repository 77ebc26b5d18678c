#include "profile/config_store.h"

#include "platform/ini.h"
#include "platform/message_service.h"
#include "profile/profile_settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <thread>
#include <vector>

namespace {

constexpr std::array<std::int32_t, 7> FactoryRow = {1, 2, 3, 4, 5, 17, 16};

// Every value set to something no file below holds, so a test sees what a read replaced.
void FillWithJunk() {
    for (auto& row : KeyFunc) {
        row.fill(99);
    }
    g_curConfig = 99;
    g_curConfigIdx = 99;
    g_langSel = 99;
    g_modeStatus = g_dpiLevel = g_wheelStatus = 99;
    g_dpiSet.fill(99);
    g_dpiSetEn.fill(false);
    for (auto& c : g_dpiColor) {
        c.fill(99);
    }
    g_dpiColorRef.fill(0x123456);
    g_cyc7ColEn = 99;
    for (auto& on : g_cycColorOn) {
        on = 99;
    }
    g_ledType = 99;
    g_ledCycTime = 99;
    g_dpiSpeed = g_wheelSpeed = g_usbSpeed = 99;
    g_fireTime = 50;
}

class ConfigStore : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("config.ini"));
        previous_ = platform::SetMessageService(&messages_);
        FillWithJunk();
    }
    void TearDown() override { platform::SetMessageService(previous_); }

    void WriteFile(const QByteArray& text) {
        QFile file(path_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray FileText() const {
        QFile file(path_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
    QString path_;
    platform::RecordingMessageService messages_;
    platform::MessageService* previous_ = nullptr;
};

// --- [Init] ---------------------------------------------------------------------------------

TEST_F(ConfigStore, Init_ProfileAndLanguageComeFromTheFile) {
    WriteFile("[Init]\r\nCurConfig=4\r\nLANG_SEL=25611\r\n");
    ReadInitSection(path_);
    EXPECT_EQ(g_curConfig, 4);
    EXPECT_EQ(g_curConfigIdx, 3);
    // Cut to "2561" and kept to its low byte: English.
    EXPECT_EQ(g_langSel, 1);
    EXPECT_TRUE(messages_.Messages().isEmpty());
}

TEST_F(ConfigStore, Init_ProfileAboveFourIsReportedOnceAndFallsBackToProfileOne) {
    WriteFile("[Init]\r\nCurConfig=5\r\n");
    ReadInitSection(path_);
    EXPECT_EQ(messages_.Messages(), QStringList{QStringLiteral("CurConfig error!")});
    EXPECT_EQ(g_curConfig, 1);
    EXPECT_EQ(g_curConfigIdx, 0);

    messages_.Clear();
    WriteFile("[Init]\r\nCurConfig=12345\r\n");  // read as 1234
    ReadInitSection(path_);
    EXPECT_EQ(messages_.Messages(), QStringList{QStringLiteral("CurConfig error!")});
    EXPECT_EQ(g_curConfigIdx, 0);
}

TEST_F(ConfigStore, Init_MissingZeroOrNegativeProfileSilentlyBecomesProfileOne) {
    for (const QByteArray& text :
         {QByteArray(), QByteArray("[Init]\r\nCurConfig=\r\n"), QByteArray("[Init]\r\nCurConfig=0"),
          QByteArray("[Init]\r\nCurConfig=-3\r\n")}) {
        FillWithJunk();
        WriteFile(text);
        ReadInitSection(path_);
        EXPECT_EQ(g_curConfig, 1) << text.constData();
        EXPECT_EQ(g_curConfigIdx, 0) << text.constData();
    }
    EXPECT_TRUE(messages_.Messages().isEmpty());
}

// --- Loading ---------------------------------------------------------------------------------

TEST_F(ConfigStore, Load_FileWithOnlyInitGivesZeroesAndWhiteLevels) {
    WriteFile("[Init]\r\nCurConfig=1\r\n");
    ReadInitSection(path_);
    OnReadConfig(path_, g_curConfig, false);
    for (const auto& row : KeyFunc) {
        for (int k = 0; k < 7; ++k) {
            EXPECT_EQ(row[k], 0);
        }
    }
    EXPECT_EQ(g_modeStatus, 0u);
    EXPECT_EQ(g_dpiLevel, 0u);
    EXPECT_EQ(g_wheelStatus, 0u);
    for (int j = 0; j < 6; ++j) {
        EXPECT_EQ(g_dpiSet[j], 0);
        EXPECT_FALSE(g_dpiSetEn[j]);
        EXPECT_EQ(g_dpiColorRef[j], 0xFFFFFFu);
    }
    for (const auto& on : g_cycColorOn) {
        EXPECT_EQ(on, 0u);
    }
    EXPECT_EQ(g_ledType, 0);
    EXPECT_EQ(g_usbSpeed, 0);
    EXPECT_EQ(g_fireTime, 0u);
    EXPECT_TRUE(messages_.Messages().isEmpty());
}

TEST_F(ConfigStore, Load_LongValuesAreCutPerKey) {
    WriteFile(
        "[Config1]\r\nK0=12345\r\nFIRE_TIME=300\r\nDPI_LEVEL=98765\r\n"
        "DPI0_R=123456789\r\nDPI0_G=1234567891\r\nDPI_SET0=300\r\n"
        "[Config2]\r\nFIRE_TIME=12345\r\n");
    OnReadConfig(path_, 1, false);
    EXPECT_EQ(KeyFunc[0][0], 1234);
    EXPECT_EQ(g_fireTime, 300u);
    EXPECT_EQ(g_dpiLevel, 9876u);
    EXPECT_EQ(g_dpiColor[0][0], 123456789u);
    EXPECT_EQ(g_dpiColor[0][1], 123456789u);
    EXPECT_EQ(g_dpiSet[0], 44);  // low byte of 300
    OnReadConfig(path_, 2, false);
    EXPECT_EQ(g_fireTime, 1234u);
}

TEST_F(ConfigStore, Load_FlagsMaskAndColoursAsTheMouseShowsThem) {
    WriteFile(
        "[Config1]\r\nDPI_SET_EN0=7\r\nDPI_SET_EN1=0\r\nCYC_7COL_EN=0x7F\r\n"
        "DPI0_R=0\r\nDPI0_G=0\r\nDPI0_B=15\r\nDPI1_R=15\r\nDPI1_G=8\r\nDPI1_B=1\r\n"
        "[Config2]\r\nCYC_7COL_EN=127\r\n[Config3]\r\nCYC_7COL_EN=37\r\n");
    OnReadConfig(path_, 1, false);
    EXPECT_TRUE(g_dpiSetEn[0]);
    EXPECT_FALSE(g_dpiSetEn[1]);
    EXPECT_EQ(g_dpiColorRef[0], 0x0FFFFFu);  // R 255, G 255, B 15
    EXPECT_EQ(g_dpiColorRef[1], 0xEF7F0Fu);  // R 15, G 127, B 239
    EXPECT_EQ(g_cyc7ColEn, 0);
    for (const auto& on : g_cycColorOn) {
        EXPECT_EQ(on, 0u);
    }
    OnReadConfig(path_, 2, false);
    for (const auto& on : g_cycColorOn) {
        EXPECT_EQ(on, 1u);
    }
    OnReadConfig(path_, 3, false);  // 37 = colours 0, 2 and 5
    const std::array<std::uint32_t, 7> expected = {1, 0, 1, 0, 0, 1, 0};
    for (int b = 0; b < 7; ++b) {
        EXPECT_EQ(g_cycColorOn[b], expected[b]) << b;
    }
}

TEST_F(ConfigStore, Load_ButtonsFromAllFourSectionsSettingsFromTheNamedOne) {
    WriteFile(
        "[Config1]\r\nK0=11\r\nFIRE_TIME=1\r\n[Config2]\r\nK1=22\r\nFIRE_TIME=2\r\n"
        "[Config3]\r\nK2=33\r\nFIRE_TIME=3\r\nLED_TYPE=2\r\n[Config4]\r\nK6=46\r\nFIRE_TIME=4\r\n"
        "[Config6]\r\nDPI_LEVEL=5\r\n");
    OnReadConfig(path_, 3, false);
    EXPECT_EQ(KeyFunc[0][0], 11);
    EXPECT_EQ(KeyFunc[1][1], 22);
    EXPECT_EQ(KeyFunc[2][2], 33);
    EXPECT_EQ(KeyFunc[3][6], 46);
    EXPECT_EQ(KeyFunc[3][0], 0);
    EXPECT_EQ(g_fireTime, 3u);
    EXPECT_EQ(g_ledType, 2);
    EXPECT_EQ(g_strCfgSection, QStringLiteral("Config3"));

    // A section that only holds the DPI level zeroes every other setting.
    OnReadConfig(path_, 6, false);
    EXPECT_EQ(KeyFunc[2][2], 33);
    EXPECT_EQ(g_dpiLevel, 5u);
    EXPECT_EQ(g_fireTime, 0u);
    EXPECT_EQ(g_ledType, 0);
}

TEST_F(ConfigStore, Load_FactoryRestoreUsesTheBuiltInFirstRow) {
    WriteFile(
        "[CfgReset1]\r\nK0=9\r\nFIRE_TIME=9\r\n[CfgReset2]\r\nK0=2\r\nFIRE_TIME=120\r\n"
        "[CfgReset3]\r\nK0=3\r\n[CfgReset4]\r\nK0=4\r\n[Config2]\r\nK0=7\r\nFIRE_TIME=7\r\n");
    OnReadConfig(path_, 2, true);
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(KeyFunc[0][k], FactoryRow[k]);
    }
    EXPECT_EQ(KeyFunc[1][0], 2);
    EXPECT_EQ(KeyFunc[2][0], 3);
    EXPECT_EQ(KeyFunc[3][0], 4);
    EXPECT_EQ(g_fireTime, 120u);
}

// --- Saving ----------------------------------------------------------------------------------

// The settings part of every section after the save in SaveAll_WritesEveryKeyInItsOrder.
const QByteArray SavedSettings =
    "MODE_STATUS=1\r\nDPI_LEVEL=3\r\nWHEEL_STATUS=-1\r\n"
    "DPI_SET0=0\r\nDPI_SET_EN0=1\r\nDPI0_R=0\r\nDPI0_G=15\r\nDPI0_B=15\r\n"
    "DPI_SET1=2\r\nDPI_SET_EN1=0\r\nDPI1_R=1\r\nDPI1_G=14\r\nDPI1_B=15\r\n"
    "DPI_SET2=4\r\nDPI_SET_EN2=1\r\nDPI2_R=2\r\nDPI2_G=13\r\nDPI2_B=15\r\n"
    "DPI_SET3=6\r\nDPI_SET_EN3=0\r\nDPI3_R=3\r\nDPI3_G=12\r\nDPI3_B=15\r\n"
    "DPI_SET4=8\r\nDPI_SET_EN4=1\r\nDPI4_R=4\r\nDPI4_G=11\r\nDPI4_B=15\r\n"
    "DPI_SET5=10\r\nDPI_SET_EN5=0\r\nDPI5_R=5\r\nDPI5_G=10\r\nDPI5_B=15\r\n"
    "CYC_7COL_EN=85\r\nLED_TYPE=3\r\nLED_CYC_TIME=4\r\nDPI_SPEED=9\r\nWHEEL_SPEED=2\r\n"
    "USB_SPEED=1\r\nFIRE_TIME=300\r\n";

TEST_F(ConfigStore, SaveAll_WritesEveryKeyInItsOrder) {
    for (int r = 0; r < 4; ++r) {
        for (int k = 0; k < 12; ++k) {
            KeyFunc[r][k] = 10 * (r + 1) + k;  // slots 7..11 must stay out of the file
        }
    }
    g_modeStatus = 1;
    g_dpiLevel = 3;
    g_wheelStatus = 0xFFFFFFFFu;
    for (int j = 0; j < 6; ++j) {
        g_dpiSet[j] = static_cast<std::uint8_t>(2 * j);
        g_dpiSetEn[j] = j % 2 == 0;
        g_dpiColor[j] = {static_cast<std::uint32_t>(j), static_cast<std::uint32_t>(15 - j), 15};
    }
    g_cyc7ColEn = 0;  // the mask of the last Apply: the save writes what the colour page shows
    for (int b = 0; b < 7; ++b) {
        g_cycColorOn[b] = b % 2 == 0 ? 1 : 0;  // 85
    }
    g_ledType = 3;
    g_ledCycTime = 4;
    g_dpiSpeed = 9;
    g_wheelSpeed = 2;
    g_usbSpeed = 1;
    g_fireTime = 300;

    SaveAllConfigs(path_, 6);

    const QByteArray expected =
        "[Config1]\r\nK0=10\r\nK1=11\r\nK2=12\r\nK3=13\r\nK4=14\r\nK5=15\r\nK6=16\r\n" +
        SavedSettings +
        "[Config2]\r\nK0=20\r\nK1=21\r\nK2=22\r\nK3=23\r\nK4=24\r\nK5=25\r\nK6=26\r\n" +
        SavedSettings +
        "[Config3]\r\nK0=30\r\nK1=31\r\nK2=32\r\nK3=33\r\nK4=34\r\nK5=35\r\nK6=36\r\n" +
        SavedSettings +
        "[Config4]\r\nK0=40\r\nK1=41\r\nK2=42\r\nK3=43\r\nK4=44\r\nK5=45\r\nK6=46\r\n" +
        SavedSettings;
    EXPECT_EQ(FileText(), expected);
}

TEST_F(ConfigStore, SaveAll_ThenLoadGivesBackWhatWasRead) {
    WriteFile(
        "[Init]\r\nCurConfig=2\r\n[Config2]\r\nK0=1\r\nK3=23\r\nDPI_SET_EN0=7\r\nMODE_STATUS=-1\r\n"
        "DPI_SET2=11\r\nDPI2_B=15\r\nCYC_7COL_EN=65\r\nFIRE_TIME=75\r\n");
    ReadInitSection(path_);
    OnReadConfig(path_, g_curConfig, false);
    SaveAllConfigs(path_, g_curConfig);
    const QByteArray before = FileText();
    EXPECT_TRUE(
        before.contains("[Config2]\r\nK0=1\r\nK3=23\r\nDPI_SET_EN0=1\r\nMODE_STATUS=-1\r\n"));
    EXPECT_TRUE(before.contains("[Init]\r\nCurConfig=2\r\n"));

    FillWithJunk();
    OnReadConfig(path_, 4, false);
    EXPECT_EQ(KeyFunc[1][3], 23);
    EXPECT_EQ(KeyFunc[3][3], 0);
    EXPECT_TRUE(g_dpiSetEn[0]);
    EXPECT_EQ(g_modeStatus, 0xFFFFFFFFu);
    EXPECT_EQ(g_dpiSet[2], 11);
    EXPECT_EQ(g_dpiColorRef[2], 0x0FFFFFu);
    EXPECT_EQ(g_cycColorOn[0], 1u);
    EXPECT_EQ(g_cycColorOn[6], 1u);
    EXPECT_EQ(g_cycColorOn[1], 0u);
    EXPECT_EQ(g_fireTime, 75u);
    SaveAllConfigs(path_, 4);
    EXPECT_EQ(FileText(), before);
}

// The save is one transaction, and the file it leaves is the one its 188 writes one by one
// leave, whatever the file held before.
TEST_F(ConfigStore, SaveAll_LeavesWhatItsWritesOneByOneLeave) {
    // Its writes (of FillWithJunk's values) in their order, as a new file lists them.
    SaveAllConfigs(path_, 1);
    std::vector<std::array<QString, 3>> writes;
    QString section;
    for (const QByteArray& line : FileText().split('\n')) {
        const QString text = QString::fromLatin1(line.trimmed());
        if (text.startsWith(u'[')) {
            section = text.mid(1, text.size() - 2);
        } else if (const qsizetype eq = text.indexOf(u'='); eq > 0) {
            writes.push_back({section, text.left(eq), text.mid(eq + 1)});
        }
    }
    ASSERT_EQ(writes.size(), 188u);

    QFile shipped(QStringLiteral(ZELBO_SOURCE_DIR "/data/program/skins/INI_CFG/config.ini"));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    // Other encodings and layouts are the INI layer's transaction tests.
    const std::vector<std::pair<const char*, QByteArray>> starts = {
        {"shipped", shipped.readAll()},
        {"sections missing, out of order, keys spelled otherwise, LF lines",
         "[Init]\nCurConfig=2\n[Config3]\nfire_time=1\nK6=0\n;tail\n[Config1]\n"
         "  K0 = 5 \nLed_Type=2\nEXTRA=x"},
    };
    for (const auto& [what, start] : starts) {
        SCOPED_TRACE(what);
        WriteFile(start);
        for (const auto& [sec, key, value] : writes) {
            ASSERT_TRUE(platform::WritePrivateProfileString(sec, key, value, path_));
        }
        const QByteArray oneByOne = FileText();
        WriteFile(start);
        SaveAllConfigs(path_, 3);
        EXPECT_EQ(FileText(), oneByOne);
    }
}

TEST_F(ConfigStore, SaveDpiLevelAndCurConfigTouchOneKeyEach) {
    WriteFile(
        "[Init]\r\nCurConfig=1\r\nLANG_SEL=1\r\n[Config1]\r\nDPI_LEVEL=0\r\nFIRE_TIME=50\r\n");
    g_dpiLevel = 4;
    SaveDpiLevel(path_, 1);
    SaveDpiLevel(path_, 6);
    SaveCurConfig(path_, 3);
    EXPECT_EQ(FileText(),
              "[Init]\r\nCurConfig=3\r\nLANG_SEL=1\r\n[Config1]\r\nDPI_LEVEL=4\r\nFIRE_TIME=50\r\n"
              "[Config6]\r\nDPI_LEVEL=4\r\n");
}

// --- Threads -----------------------------------------------------------------------------------

// The button-relay thread and the lighting preview read these while the user-interface thread
// loads a profile; ThreadSanitizer runs of this test catch a value that lost its atomicity.
TEST_F(ConfigStore, Threads_DeviceAndPreviewReadersRunBesideALoad) {
    WriteFile(
        "[Init]\r\nCurConfig=3\r\n[Config3]\r\nLED_TYPE=1\r\nLED_CYC_TIME=5\r\n"
        "CYC_7COL_EN=8\r\n");
    std::atomic<bool> stop{false};
    std::uint32_t seen = 0;
    std::thread reader([&] {
        while (!stop) {
            seen += static_cast<std::uint32_t>(g_curConfigIdx) + g_ledType + g_ledCycTime;
            for (const auto& on : g_cycColorOn) {
                seen += on;
            }
        }
    });
    for (int i = 0; i < 5; ++i) {
        ReadInitSection(path_);
        OnReadConfig(path_, g_curConfig, false);
    }
    stop = true;
    reader.join();
    EXPECT_EQ(g_curConfigIdx, 2);
    EXPECT_EQ(g_ledCycTime, 5);
    EXPECT_EQ(g_cycColorOn[3], 1u);
}

// --- The config.ini that ships with the program ------------------------------------------------

class ShippedConfig : public ConfigStore {
protected:
    void SetUp() override {
        ConfigStore::SetUp();
        QFile shipped(QStringLiteral(ZELBO_SOURCE_DIR "/data/program/skins/INI_CFG/config.ini"));
        ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
        shippedText_ = shipped.readAll();
        WriteFile(shippedText_);
    }
    QByteArray shippedText_;
};

TEST_F(ShippedConfig, IsAsciiWithCrLfLines) {
    ASSERT_FALSE(shippedText_.isEmpty());
    EXPECT_TRUE(shippedText_.endsWith("\r\n"));
    for (qsizetype i = 0; i < shippedText_.size(); ++i) {
        const auto c = static_cast<unsigned char>(shippedText_[i]);
        ASSERT_LT(c, 0x80) << "at " << i;
        if (c == '\n') {
            ASSERT_TRUE(i > 0 && shippedText_[i - 1] == '\r') << "at " << i;
        }
    }
    EXPECT_FALSE(shippedText_.contains("[CfgReset1]"));
}

TEST_F(ShippedConfig, StartsOnProfileOneInEnglishWithUsableFactorySettings) {
    ReadInitSection(path_);
    EXPECT_TRUE(messages_.Messages().isEmpty());
    EXPECT_EQ(g_curConfig, 1);
    EXPECT_EQ(g_langSel, 1);

    for (bool fromReset : {false, true}) {
        FillWithJunk();
        OnReadConfig(path_, fromReset ? 2 : 1, fromReset);
        for (int r = 0; r < 4; ++r) {
            for (int k = 0; k < 7; ++k) {
                EXPECT_EQ(KeyFunc[r][k], FactoryRow[k]) << r << "/" << k;
            }
        }
        for (int j = 0; j < 6; ++j) {
            EXPECT_TRUE(g_dpiSetEn[j]);
            EXPECT_LE(g_dpiSet[j], 11);
            for (int i = 0; i < j; ++i) {
                EXPECT_LT(g_dpiSet[i], g_dpiSet[j]);
                EXPECT_NE(g_dpiColorRef[i], g_dpiColorRef[j]);
            }
        }
        EXPECT_LE(g_dpiLevel, 5u);
        for (const auto& on : g_cycColorOn) {
            EXPECT_EQ(on, 1u);
        }
        EXPECT_LE(g_ledType, 3);
        EXPECT_LE(g_ledCycTime, 5);
        EXPECT_LE(g_dpiSpeed, 9);
        EXPECT_LE(g_wheelSpeed, 9);
        EXPECT_LE(g_usbSpeed, 3);
        EXPECT_EQ(g_fireTime, 50u);
    }
}

TEST_F(ShippedConfig, ASaveRightAfterLoadingLeavesItByteForByte) {
    ReadInitSection(path_);
    OnReadConfig(path_, g_curConfig, false);
    SaveAllConfigs(path_, g_curConfig);
    SaveCurConfig(path_, g_curConfig);
    EXPECT_EQ(FileText(), shippedText_);
}

}  // namespace
