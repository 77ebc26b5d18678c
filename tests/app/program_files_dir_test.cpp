#include "app/core/program_files_dir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "support/ordinary_user.h"

namespace {

using app::ProgramFilesDir;
using testing_support::RunAsOrdinaryUser;

class ProgramFilesDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        // Open to the ordinary user the test may run parts as.
        ASSERT_TRUE(QFile::setPermissions(root_.path(), QFile::permissions(root_.path()) |
                                                            QFileDevice::ReadOther |
                                                            QFileDevice::ExeOther));
        Write(Installed("zelbo-mouse"), "the program");
        ASSERT_TRUE(QFile::setPermissions(Installed("zelbo-mouse"),
                                          QFile::permissions(Installed("zelbo-mouse")) |
                                              QFileDevice::ExeOwner | QFileDevice::ExeOther));
        Write(Installed("skins/INI_CFG/config.ini"), "shipped profiles");
        Write(Installed("skins/main normal.jpg"), "image");
        Write(Installed("Macro_EN.dat"), "shipped macros");
        Write(Installed("LOG/Mouse2026_1_1_00_00_00.txt"), "someone's run");
        ASSERT_TRUE(QDir().mkpath(DataHome()));
    }

    void TearDown() override { SetInstalledFolderModes(QFileDevice::WriteOwner); }

    // Installed as a package installs it: nobody may write it (its owner root excepted).
    void MakeInstalledReadOnly() { SetInstalledFolderModes({}); }

    void SetInstalledFolderModes(QFileDevice::Permissions extra) {
        for (const QString& dir :
             {Installed(""), Installed("skins"), Installed("skins/INI_CFG"), Installed("LOG")}) {
            ASSERT_TRUE(QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                       QFileDevice::ReadOther |
                                                       QFileDevice::ExeOther | extra));
        }
    }

    QString Installed(const QString& relative) const {
        return root_.filePath(QStringLiteral("lib/zelbo-mouse/") + relative);
    }
    QString InstalledDir() const { return QDir::cleanPath(Installed({})); }
    QString DataHome() const { return root_.filePath(QStringLiteral("home/.local/share")); }
    QString UserFile(const QString& relative) const {
        return DataHome() + QStringLiteral("/zelbo-mouse/") + relative;
    }

    static void Write(const QString& path, const QByteArray& content) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir root_;
};

TEST_F(ProgramFilesDirTest, AWritableFolderIsUsedAsItIs) {
    EXPECT_EQ(ProgramFilesDir(InstalledDir(), DataHome()).toStdString(),
              InstalledDir().toStdString());
    EXPECT_FALSE(QFileInfo::exists(UserFile({})));
}

TEST_F(ProgramFilesDirTest, AnInstalledFolderGetsAPerUserCopyThatIsNeverOverwritten) {
    MakeInstalledReadOnly();
    RunAsOrdinaryUser(
        [&] {
            ASSERT_EQ(ProgramFilesDir(InstalledDir(), DataHome()).toStdString(),
                      QDir::cleanPath(UserFile({})).toStdString());
            EXPECT_EQ(Read(UserFile("skins/INI_CFG/config.ini")), "shipped profiles");
            EXPECT_EQ(Read(UserFile("skins/main normal.jpg")), "image");
            EXPECT_EQ(Read(UserFile("Macro_EN.dat")), "shipped macros");
            EXPECT_FALSE(QFileInfo::exists(UserFile("zelbo-mouse"))) << "not the program";
            EXPECT_FALSE(QFileInfo::exists(UserFile("LOG"))) << "not another run's log";
            EXPECT_TRUE(QFileInfo(UserFile("skins/INI_CFG/config.ini")).isWritable());
            EXPECT_TRUE(QDir(UserFile("skins")).entryList({QStringLiteral("*.part")}).isEmpty());

            // The user's runs change their files and lose one.
            Write(UserFile("skins/INI_CFG/config.ini"), "the user's profiles");
            ASSERT_TRUE(QFile::remove(UserFile("skins/main normal.jpg")));
            ASSERT_EQ(ProgramFilesDir(InstalledDir(), DataHome()).toStdString(),
                      QDir::cleanPath(UserFile({})).toStdString());
            EXPECT_EQ(Read(UserFile("skins/INI_CFG/config.ini")), "the user's profiles");
            EXPECT_EQ(Read(UserFile("skins/main normal.jpg")), "image");
        },
        {DataHome()});
    EXPECT_EQ(Read(Installed("skins/INI_CFG/config.ini")), "shipped profiles");
}

TEST_F(ProgramFilesDirTest, WithoutAUsableDataFolderTheInstalledFolderIsUsed) {
    MakeInstalledReadOnly();
    const QString blocked = root_.filePath(QStringLiteral("blocked"));
    Write(blocked, "a file where the data folder would be");
    RunAsOrdinaryUser([&] {
        EXPECT_EQ(ProgramFilesDir(InstalledDir(), blocked).toStdString(),
                  InstalledDir().toStdString());
        EXPECT_EQ(ProgramFilesDir(InstalledDir(), QString()).toStdString(),
                  InstalledDir().toStdString());
    });
}

}  // namespace
