#include "profile/profile_switch.h"

#include "common/paths.h"
#include "platform/dialog_service.h"
#include "platform/ini.h"
#include "platform/message_service.h"
#include "profile/config_store.h"
#include "profile/profile_settings.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <optional>
#include <tuple>
#include <vector>

namespace {

// Four profiles that differ in their buttons, every cycle colour on, fire time 60.
QByteArray FourProfiles() {
    QByteArray text = "[Init]\r\nCurConfig=1\r\nLANG_SEL=1\r\n";
    for (int n = 1; n <= 4; ++n) {
        text += "[Config" + QByteArray::number(n) + "]\r\nK0=1\r\nK1=" + QByteArray::number(n) +
                "\r\nDPI_SET0=3\r\nDPI_SET_EN0=1\r\nCYC_7COL_EN=127\r\nLED_TYPE=2\r\n"
                "USB_SPEED=3\r\nFIRE_TIME=60\r\n";
    }
    return text;
}

// What an import may change, to see that a refused one changed nothing.
struct Settings {
    std::array<std::array<std::int32_t, KeyFuncColumns>, ProfileCount> keyFunc = KeyFunc;
    std::uint32_t fireTime = g_fireTime;
    std::array<std::uint8_t, DpiLevelCount> dpiSet = g_dpiSet;
    std::array<bool, DpiLevelCount> dpiSetEn = g_dpiSetEn;
    std::uint8_t ledType = g_ledType;
    std::uint8_t usbSpeed = g_usbSpeed;
    std::uint8_t cycleMask = CycleColorMask();
    bool operator==(const Settings&) const = default;
};

class ProfileSwitch : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        savedExeDir_ = g_strExeDir;
        savedConfigIni_ = g_strConfigIni;
        g_strExeDir = dir_.path();
        g_strConfigIni = Write(QStringLiteral("config.ini"), FourProfiles());
        previousMessages_ = platform::SetMessageService(&messages_);
        previousDialogs_ = platform::SetDialogService(&dialogs_);
        ReadInitSection(g_strConfigIni);
        OnReadConfig(g_strConfigIni, g_curConfig, false);
    }
    void TearDown() override {
        platform::SetMessageService(previousMessages_);
        platform::SetDialogService(previousDialogs_);
        g_strExeDir = savedExeDir_;
        g_strConfigIni = savedConfigIni_;
    }

    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }
    static QByteArray Bytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QString Mask(const QString& path, int n) {
        return platform::GetPrivateProfileString(QStringLiteral("Config%1").arg(n),
                                                 QStringLiteral("CYC_7COL_EN"), QString(), 5, path);
    }

    QTemporaryDir dir_;
    platform::RecordingMessageService messages_;
    platform::ScriptedDialogService dialogs_;

private:
    QString savedExeDir_;
    QString savedConfigIni_;
    platform::MessageService* previousMessages_ = nullptr;
    platform::DialogService* previousDialogs_ = nullptr;
};

TEST_F(ProfileSwitch, CycleColourSwitchedOffStaysOffAcrossAProfileSwitch) {
    g_cycColorOn[3] = 0;  // the colour page's click; no Apply
    SwitchProfile(2);
    SwitchProfile(1);
    for (int b = 0; b < 7; ++b) {
        EXPECT_EQ(g_cycColorOn[b], b == 3 ? 0u : 1u) << b;
    }
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(Mask(g_strConfigIni, n), QStringLiteral("119")) << n;
    }
}

TEST_F(ProfileSwitch, ExportHoldsTheCycleColoursThePageShowsAndLeavesNoCopyInMemory) {
    g_cycColorOn[0] = 0;
    g_cycColorOn[6] = 0;
    const QString target = dir_.filePath(QStringLiteral("export.ini"));
    dialogs_.QueueFileName(target);
    ASSERT_TRUE(ExportProfiles());
    EXPECT_FALSE(platform::CachedFiles().contains(target));
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(Mask(target, n), QStringLiteral("62")) << n;
    }
}

TEST_F(ProfileSwitch, ImportRefusesAFileWithoutProfilesInTheUsersLanguageAndChangesNothing) {
    QByteArray utf16be("\xFE\xFF", 2);
    for (char c : FourProfiles()) {
        utf16be.append('\0');
        utf16be.append(c);
    }
    const QString fifo = dir_.filePath(QStringLiteral("pipe.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder.ini")));
    const std::vector<std::pair<const char*, QString>> files = {
        {"folder", dir_.filePath(QStringLiteral("folder.ini"))},
        {"FIFO", fifo},
        {"empty", Write(QStringLiteral("empty.ini"), QByteArray())},
        {"binary", Write(QStringLiteral("binary.ini"), QByteArray("\x7F"
                                                                  "ELF\0\x02[\x01\xFF",
                                                                  9))},
        {"UTF-16 BE", Write(QStringLiteral("be.ini"), utf16be)},
        {"another program's", Write(QStringLiteral("other.ini"),
                                    "[General]\r\nK0=0\r\nFIRE_TIME=0\r\n[Config]\r\nK0=0\r\n")},
        {"missing", dir_.filePath(QStringLiteral("gone.ini"))},
    };
    g_cycColorOn[2] = 0;
    const Settings before;
    const QByteArray config = Bytes(g_strConfigIni);
    for (const auto& [language, text] :
         {std::pair{1, QStringLiteral("Not a profile file, cannot import!")},
          std::pair{0, QStringLiteral("不是配置文件,无法导入!")}}) {
        g_langSel = static_cast<std::uint8_t>(language);
        for (const auto& [what, path] : files) {
            SCOPED_TRACE(what);
            messages_.Clear();
            dialogs_.QueueFileName(path);
            EXPECT_FALSE(ImportProfiles());
            EXPECT_EQ(messages_.Messages(), QStringList{text});
            EXPECT_TRUE(Settings() == before);
            EXPECT_FALSE(platform::CachedFiles().contains(path));
        }
    }
    EXPECT_EQ(Bytes(g_strConfigIni), config);
}

TEST_F(ProfileSwitch, ASwitchThatCannotSaveKeepsWhatMemoryHoldsAndSaysSo) {
    g_fireTime = 99;
    KeyFunc[0][2] = 7;
    ASSERT_TRUE(QFile::setPermissions(g_strConfigIni, QFile::ReadOwner));
    const QByteArray config = Bytes(g_strConfigIni);
    SwitchProfile(2);
    EXPECT_EQ(g_curConfig, 2);
    EXPECT_EQ(g_fireTime, 99u) << "the file's older value would drop the edit";
    EXPECT_EQ(KeyFunc[0][2], 7);
    EXPECT_EQ(messages_.Messages(), QStringList{QStringLiteral("Cannot save config.ini!")});
    EXPECT_EQ(Bytes(g_strConfigIni), config);
}

TEST_F(ProfileSwitch, ImportTakesOnlyAWholeFileWithEveryValueInRange) {
    g_fireTime = 77;
    const QString exported = dir_.filePath(QStringLiteral("export.ini"));
    dialogs_.QueueFileName(exported);
    ASSERT_TRUE(ExportProfiles());
    // The export with some writes on top (a missing value deletes the key).
    const auto edited =
        [&](const QString& name,
            std::initializer_list<std::tuple<int, const char*, const char*>> edits) {
            const QString path = Write(name, Bytes(exported));
            for (const auto& [n, key, value] : edits) {
                const auto text = value ? std::optional<QString>(QString::fromLatin1(value))
                                        : std::optional<QString>();
                EXPECT_TRUE(platform::WritePrivateProfileString(
                    QStringLiteral("Config%1").arg(n), QString::fromLatin1(key), text, path));
            }
            return path;
        };
    const std::vector<std::pair<QString, QString>> refused = {
        {Write(QStringLiteral("partial.ini"), "[Config2]\r\nK0=5\r\nK6=16\r\nFIRE_TIME=70\r\n"),
         QStringLiteral("Config1")},
        {edited(QStringLiteral("key.ini"), {{3, "DPI3_G", nullptr}}),
         QStringLiteral("Config3 DPI3_G")},
        {edited(QStringLiteral("empty.ini"), {{2, "K6", ""}}), QStringLiteral("Config2 K6")},
        {edited(QStringLiteral("hand.ini"), {{1, "K0", "500"},
                                             {2, "K0", "500"},
                                             {3, "K0", "500"},
                                             {4, "K0", "500"},
                                             {2, "DPI_LEVEL", "9"},
                                             {2, "LED_TYPE", "9"},
                                             {2, "USB_SPEED", "8"},
                                             {2, "DPI_SPEED", "-3"},
                                             {2, "FIRE_TIME", "99999"}}),
         QStringLiteral("Config1 K0")},
        {edited(QStringLiteral("code.ini"), {{3, "K2", "37"}}), QStringLiteral("Config3 K2")},
        {edited(QStringLiteral("text.ini"), {{1, "DPI_SET0", "3x"}}),
         QStringLiteral("Config1 DPI_SET0")},
        // In range, but never made by the window.
        {edited(QStringLiteral("click.ini"), {{4, "K0", "2"}}), QStringLiteral("Config4 K0..K6")},
        {edited(QStringLiteral("dpi.ini"), {{2, "DPI_SET_EN0", "0"}}),
         QStringLiteral("Config2 DPI_SET_EN0..5")},
        {edited(QStringLiteral("level.ini"), {{3, "DPI_LEVEL", "1"}}),
         QStringLiteral("Config3 DPI_LEVEL")},
    };
    const Settings before;
    for (const auto& [path, where] : refused) {
        SCOPED_TRACE(where.toStdString());
        messages_.Clear();
        dialogs_.QueueFileName(path);
        EXPECT_FALSE(ImportProfiles());
        EXPECT_EQ(messages_.Messages(),
                  QStringList{QStringLiteral("Not a profile file, cannot import! (") + where +
                              QLatin1Char(')')});
        EXPECT_TRUE(Settings() == before);
    }
    g_langSel = 0;
    messages_.Clear();
    dialogs_.QueueFileName(refused[3].first);
    EXPECT_FALSE(ImportProfiles());
    EXPECT_EQ(messages_.Messages(),
              QStringList{QStringLiteral("不是配置文件,无法导入!(Config1 K0)")});

    // The export itself, and one whose values sit at the ends of their ranges, are taken.
    messages_.Clear();
    g_fireTime = 5;
    dialogs_.QueueFileName(exported);
    EXPECT_TRUE(ImportProfiles());
    EXPECT_TRUE(Settings() == before);
    dialogs_.QueueFileName(edited(QStringLiteral("ends.ini"), {{2, "K0", "148"},
                                                               {2, "K1", "61"},
                                                               {2, "K2", "1"},
                                                               {2, "DPI_SET_EN5", "-7"},
                                                               {2, "CYC_7COL_EN", "127"},
                                                               {2, "FIRE_TIME", "300"}}));
    EXPECT_TRUE(ImportProfiles());
    EXPECT_EQ(KeyFunc[1][0], 148);
    EXPECT_EQ(KeyFunc[1][1], 61);
    EXPECT_EQ(g_fireTime, 300u);
    EXPECT_TRUE(messages_.Messages().isEmpty());
}

}  // namespace
