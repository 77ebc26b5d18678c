#include "profile/profile_switch.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/core/paths.h"
#include "platform/dialog_service.h"
#include "platform/ini.h"
#include "profile/profile_settings.h"

namespace {

class ProfileFiles : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        savedConfig_ = g_strConfigIni;
        g_strConfigIni = dir_.filePath(QStringLiteral("config.ini"));
        previous_ = platform::SetDialogService(&dialogs_);
    }
    void TearDown() override {
        platform::SetDialogService(previous_);
        g_strConfigIni = savedConfig_;
    }
    QString Write(const QString& name, const QByteArray& text) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }
    static QString Value(const QString& path, const char* section, const char* key) {
        return platform::GetPrivateProfileString(QString::fromLatin1(section),
                                                 QString::fromLatin1(key), QStringLiteral("-"),
                                                 20, path);
    }

    QTemporaryDir dir_;
    QString savedConfig_;
    platform::ScriptedDialogService dialogs_;
    platform::DialogService* previous_ = nullptr;
};

TEST_F(ProfileFiles, ExportOverAnExistingFileRewritesOnlyTheFourProfiles) {
    const QString path = Write(QStringLiteral("old.ini"),
                               "[Mine]\r\nNOTE=kept\r\n[Config3]\r\nFIRE_TIME=7\r\nEXTRA=also kept\r\n");
    g_fireTime = 250;
    KeyFunc[2][0] = 42;
    dialogs_.QueueFileName(path);
    ASSERT_TRUE(ExportProfiles());
    EXPECT_EQ(Value(path, "Mine", "NOTE"), "kept");
    EXPECT_EQ(Value(path, "Config3", "EXTRA"), "also kept");
    EXPECT_EQ(Value(path, "Config3", "FIRE_TIME"), "250");
    EXPECT_EQ(Value(path, "Config3", "K0"), "42");
    EXPECT_EQ(Value(path, "Config1", "FIRE_TIME"), "250");
    EXPECT_EQ(Value(path, "Init", "CurConfig"), "-") << "no [Init] in a profile file";
    dialogs_.QueueFileName(std::nullopt);
    EXPECT_FALSE(ExportProfiles());
}

TEST_F(ProfileFiles, ImportOfAFileWithOnlyTheSecondProfileKeepsOnlyItsButtons) {
    for (auto& row : KeyFunc) {
        row.fill(9);
    }
    const QString path =
        Write(QStringLiteral("two.ini"), "[Config2]\r\nK0=1\r\nK4=33\r\nFIRE_TIME=120\r\n");
    dialogs_.QueueFileName(path);
    ASSERT_TRUE(ImportProfiles());
    for (int r = 0; r < ProfileCount; ++r) {
        for (int k = 0; k < ButtonSlotCount; ++k) {
            const int expected = r != 1 ? 0 : (k == 0 ? 1 : (k == 4 ? 33 : 0));
            EXPECT_EQ(KeyFunc[r][k], expected) << r << "," << k;
        }
    }
    EXPECT_EQ(g_fireTime, 120u);
    EXPECT_FALSE(QFile::exists(g_strConfigIni)) << "memory only until the next save";
}

}  // namespace
