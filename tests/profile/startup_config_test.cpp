#include "profile/startup_config.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "platform/ini.h"
#include "platform/message_service.h"
#include "profile/config_store.h"
#include "profile/profile_settings.h"
#include "profile/save_failures.h"
#include "support/ordinary_user.h"
#include "support/qstring_print.h"

namespace {

const QDateTime Now(QDate(2025, 1, 2), QTime(3, 4, 5));

class StartupConfigTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.filePath(QStringLiteral("INI_CFG"));
        ASSERT_TRUE(QDir().mkdir(folder_));
        path_ = folder_ + QStringLiteral("/config.ini");
        shipped_ = ShippedConfigIni();
        ASSERT_FALSE(shipped_.isEmpty());
        previous_ = platform::SetMessageService(&messages_);
    }
    void TearDown() override {
        SetConfigStandIn(QString(), QByteArray());
        platform::SetMessageService(previous_);
    }
    static bool Write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(bytes) == bytes.size();
    }
    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList Files() const {
        return QDir(folder_).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    }
    // The shipped file with one value changed.
    QByteArray ShippedWith(const char* from, const char* to) const {
        return QByteArray(shipped_).replace(from, to);
    }

    QTemporaryDir dir_;
    QString folder_;
    QString path_;
    QByteArray shipped_;
    platform::RecordingMessageService messages_;
    platform::MessageService* previous_ = nullptr;
};

TEST_F(StartupConfigTest, TheShippedFileAndEveryValueAtTheEndsOfItsRangesPass) {
    ASSERT_TRUE(Write(path_, shipped_));
    EXPECT_EQ(PrepareConfigIni(path_, Now).outcome, StartupConfig::Outcome::Used);
    EXPECT_FALSE(CheckFactorySections(path_).has_value());
    // As the Windows program writes it: UTF-16 LE.
    QByteArray utf16le("\xFF\xFE", 2);
    for (char c : shipped_) {
        utf16le.append(c);
        utf16le.append('\0');
    }
    ASSERT_TRUE(Write(path_, utf16le));
    EXPECT_EQ(PrepareConfigIni(path_, Now).outcome, StartupConfig::Outcome::Used);
    EXPECT_EQ(Read(path_), utf16le);
    const QByteArray ends = ShippedWith("CurConfig=1", "CurConfig=4")
                                .replace("LANG_SEL=1", "LANG_SEL=77")
                                .replace("FIRE_TIME=50", "FIRE_TIME=300")
                                .replace("DPI_SET5=11", "DPI_SET5=0")
                                .replace("K6=16", "K6=148");
    ASSERT_TRUE(Write(path_, ends));
    const StartupConfig result = PrepareConfigIni(path_, Now);
    EXPECT_EQ(result.outcome, StartupConfig::Outcome::Used)
        << result.fault->Describe().toStdString();
    EXPECT_EQ(Read(path_), ends);
    EXPECT_EQ(Files(), QStringList{QStringLiteral("config.ini")});
}

// Values each in range that the window never makes together: no left click, no DPI level, a
// current level that is off. The all-zero file is what a missing config.ini once became.
TEST_F(StartupConfigTest, AProfileTheWindowCouldNeverMakeIsSetAsideButACurConfigOutOfRangeIsNot) {
    const auto replaced = [](const QByteArray& text, const char* pattern, const char* with) {
        return QString::fromLatin1(text)
            .replace(QRegularExpression(QString::fromLatin1(pattern)), QString::fromLatin1(with))
            .toLatin1();
    };
    const QByteArray allZero = replaced(shipped_, "=\\d+", "=0");
    const QByteArray noLeftClick = ShippedWith("[Config2]\r\nK0=1\r\n", "[Config2]\r\nK0=2\r\n");
    const QByteArray noLevel = replaced(shipped_, "DPI_SET_EN(\\d)=1", "DPI_SET_EN\\1=0");
    const QByteArray levelOff = ShippedWith("DPI_SET_EN2=1", "DPI_SET_EN2=0");
    const std::vector<std::pair<QByteArray, QString>> refused = {
        {allZero, QStringLiteral("[Config1] K0..K6 hold no left click")},
        {noLeftClick, QStringLiteral("[Config2] K0..K6 hold no left click")},
        {noLevel, QStringLiteral("[Config1] DPI_SET_EN0..5 enable no DPI level")},
        {levelOff, QStringLiteral("[Config1] DPI_LEVEL names level 2, which is not enabled")},
    };
    for (const auto& [bytes, fault] : refused) {
        SCOPED_TRACE(fault.toStdString());
        ASSERT_TRUE(Write(path_, bytes));
        const StartupConfig result = PrepareConfigIni(path_, Now);
        EXPECT_EQ(result.outcome, StartupConfig::Outcome::Replaced);
        ASSERT_TRUE(result.fault);
        EXPECT_EQ(result.fault->Describe(), fault);
        EXPECT_EQ(Read(path_).replace("LANG_SEL=0", "LANG_SEL=1"), shipped_);
        EXPECT_EQ(Read(result.setAsidePath), bytes);
    }
    Write(path_, noLeftClick);
    EXPECT_TRUE(StartupConfigMessage(PrepareConfigIni(path_, Now), 1)
                    .startsWith(QStringLiteral("config.ini cannot be used (Config2 K0..K6), ")));

    // CurConfig names only the profile shown first: out of range it selects profile 1.
    for (const char* curConfig : {"CurConfig=5", "CurConfig=0", "CurConfig=-3", "CurConfig=x"}) {
        SCOPED_TRACE(curConfig);
        const QByteArray bytes = ShippedWith("CurConfig=1", curConfig);
        ASSERT_TRUE(Write(path_, bytes));
        EXPECT_EQ(PrepareConfigIni(path_, Now).outcome, StartupConfig::Outcome::Used);
        EXPECT_EQ(Read(path_), bytes);
    }
}

TEST_F(StartupConfigTest, TheSetAsideNameReplacesNothingAndALinkToNothingIsKept) {
    const QString taken = path_ + QStringLiteral(".bad-20250102-030405");
    ASSERT_TRUE(Write(taken, "an earlier one"));
    const QByteArray bad = ShippedWith("USB_SPEED=2", "USB_SPEED=8");
    ASSERT_TRUE(Write(path_, bad));
    StartupConfig result = PrepareConfigIni(path_, Now);
    EXPECT_EQ(result.outcome, StartupConfig::Outcome::Replaced);
    EXPECT_EQ(result.setAsidePath, taken + QStringLiteral("-2"));
    EXPECT_EQ(result.fault->Where(), QStringLiteral("Config1 USB_SPEED"));
    EXPECT_EQ(Read(taken), "an earlier one");
    EXPECT_EQ(Read(result.setAsidePath), bad);
    EXPECT_EQ(Read(path_), shipped_);
    EXPECT_EQ(
        StartupConfigMessage(result, 1),
        QStringLiteral("config.ini cannot be used (Config1 USB_SPEED), the default settings "
                       "are restored! Your file was kept as config.ini.bad-20250102-030405-2"));

    ASSERT_TRUE(QFile::remove(path_));
    ASSERT_EQ(::symlink("/nonexistent/config.ini", QFile::encodeName(path_).constData()), 0);
    result = PrepareConfigIni(path_, Now);
    EXPECT_EQ(result.outcome, StartupConfig::Outcome::Replaced);
    EXPECT_EQ(result.setAsidePath, taken + QStringLiteral("-3"));
    EXPECT_EQ(QFileInfo(result.setAsidePath).symLinkTarget(),
              QStringLiteral("/nonexistent/config.ini"));
    EXPECT_EQ(Read(path_), shipped_);
}

TEST_F(StartupConfigTest, TheSameBadFileIsSetAsideOnceHoweverOftenItComesBack) {
    const QByteArray bad = ShippedWith("USB_SPEED=2", "USB_SPEED=8");
    ASSERT_TRUE(Write(path_, bad));
    const StartupConfig first = PrepareConfigIni(path_, Now);
    ASSERT_TRUE(Write(path_, bad));
    const StartupConfig second = PrepareConfigIni(path_, Now.addSecs(60));
    EXPECT_EQ(second.outcome, StartupConfig::Outcome::Replaced);
    EXPECT_EQ(second.setAsidePath, first.setAsidePath);
    EXPECT_EQ(Files(), QStringList({QStringLiteral("config.ini"),
                                    QStringLiteral("config.ini.bad-20250102-030405")}));
    EXPECT_EQ(Read(path_), shipped_);
    EXPECT_TRUE(StartupConfigMessage(second, 1).endsWith(
        QStringLiteral("Your file was kept as config.ini.bad-20250102-030405")));
}

// An ordinary user, whom permissions bind: a file without read permission, and one in a folder
// that may not be changed, are left alone; the shipped settings (in the file's own language where
// it could be read) serve the reads, and its saves fail and say so.
TEST_F(StartupConfigTest, AFileThatCannotBeReadOrMovedIsLeftAloneAndTheShippedSettingsServe) {
    const QByteArray bad =
        ShippedWith("LANG_SEL=1", "LANG_SEL=0").replace("FIRE_TIME=50", "FIRE_TIME=-1");
    ASSERT_TRUE(Write(path_, bad));
    ASSERT_TRUE(testing_support::HandOverToOrdinaryUser(dir_.path()));
    testing_support::RunAsOrdinaryUser([&] {
        for (const bool readable : {false, true}) {
            SCOPED_TRACE(readable);
            ForgetToldSaveFailures();  // each round is a start of its own
            ASSERT_TRUE(
                QFile::setPermissions(path_, readable ? QFile::ReadOwner : QFile::Permissions()));
            ASSERT_EQ(::chmod(QFile::encodeName(folder_).constData(), 0500), 0);
            const StartupConfig result = PrepareConfigIni(path_, Now);
            EXPECT_EQ(result.outcome, StartupConfig::Outcome::LeftAlone);
            EXPECT_EQ(result.fault->kind,
                      readable ? ConfigFault::Kind::BadValue : ConfigFault::Kind::Unreadable);
            EXPECT_EQ(result.fault->Describe(),
                      readable ? QStringLiteral("[Config1] FIRE_TIME=-1 is out of range")
                               : QStringLiteral("it cannot be read (Permission denied)"));
            EXPECT_EQ(Files(), QStringList{QStringLiteral("config.ini")});

            g_fireTime = 0;
            ReadInitSection(path_);
            OnReadConfig(path_, g_curConfig, false);
            EXPECT_EQ(g_fireTime, 50u);
            EXPECT_EQ(KeyFunc[0][0], 1);
            EXPECT_EQ(g_langSel, readable ? 0 : 1);
            EXPECT_EQ(StartupConfigMessage(result, g_langSel),
                      readable
                          ? QStringLiteral("config.ini无法使用(Config1 FIRE_TIME),已使用默认设置,"
                                           "更改无法保存!")
                          : QStringLiteral("config.ini cannot be read, the default settings "
                                           "are used and changes cannot be saved!"));
            ASSERT_EQ(::chmod(QFile::encodeName(folder_).constData(), 0700), 0);
            messages_.Clear();
            EXPECT_FALSE(SaveAllConfigs(path_, 1));
            EXPECT_EQ(messages_.Messages().size(), 1);
        }
    });
}

}  // namespace
