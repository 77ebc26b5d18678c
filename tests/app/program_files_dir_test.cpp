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
        // Each installed file holds its own name.
        for (const char* file : {"zelbo-mouse", "skins/INI_CFG/config.ini", "skins/main normal.jpg",
                                 "Macro_EN.dat", "LOG/Mouse2026_1_1_00_00_00.txt"}) {
            Write(Installed(file), file);
        }
        ASSERT_TRUE(QFile::setPermissions(Installed("zelbo-mouse"),
                                          QFile::permissions(Installed("zelbo-mouse")) |
                                              QFileDevice::ExeOwner | QFileDevice::ExeOther));
        ASSERT_TRUE(QDir().mkpath(DataHome()));
    }

    void TearDown() override { SetInstalledFolderModes(QFileDevice::WriteOwner); }

    // Installed as a package installs it, nobody may write it: without extra, the owner neither.
    void SetInstalledFolderModes(QFileDevice::Permissions extra) {
        for (const char* dir : {"", "skins", "skins/INI_CFG", "LOG"}) {
            ASSERT_TRUE(QFile::setPermissions(
                Installed(dir), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                    QFileDevice::ReadOther | QFileDevice::ExeOther | extra));
        }
    }

    QString Installed(const QString& relative) const {
        return QDir::cleanPath(root_.filePath(QStringLiteral("lib/zelbo-mouse/") + relative));
    }
    QString DataHome() const { return root_.filePath(QStringLiteral("home/.local/share")); }
    QString UserFile(const QString& relative) const {
        return QDir::cleanPath(DataHome() + QStringLiteral("/zelbo-mouse/") + relative);
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
    EXPECT_EQ(ProgramFilesDir(Installed({}), DataHome()), Installed({}));
    EXPECT_FALSE(QFileInfo::exists(UserFile({})));
}

TEST_F(ProgramFilesDirTest, AnInstalledFolderGetsAPerUserCopyThatIsNeverOverwritten) {
    SetInstalledFolderModes({});
    const QString blocked = root_.filePath(QStringLiteral("blocked"));
    Write(blocked, "a file where the data folder would be");
    RunAsOrdinaryUser(
        [&] {
            // Without a usable data folder the installed folder is used after all.
            EXPECT_EQ(ProgramFilesDir(Installed({}), blocked), Installed({}));
            EXPECT_EQ(ProgramFilesDir(Installed({}), QString()), Installed({}));

            ASSERT_EQ(ProgramFilesDir(Installed({}), DataHome()), UserFile({}));
            for (const char* file :
                 {"skins/INI_CFG/config.ini", "skins/main normal.jpg", "Macro_EN.dat"}) {
                EXPECT_EQ(Read(UserFile(file)), file);
            }
            EXPECT_FALSE(QFileInfo::exists(UserFile("zelbo-mouse"))) << "not the program";
            EXPECT_FALSE(QFileInfo::exists(UserFile("LOG"))) << "not another run's log";
            EXPECT_TRUE(QFileInfo(UserFile("skins/INI_CFG/config.ini")).isWritable());
            EXPECT_TRUE(QDir(UserFile("skins")).entryList({QStringLiteral("*.part")}).isEmpty());

            // The user's runs change their files and lose one.
            Write(UserFile("skins/INI_CFG/config.ini"), "the user's profiles");
            ASSERT_TRUE(QFile::remove(UserFile("skins/main normal.jpg")));
            ASSERT_EQ(ProgramFilesDir(Installed({}), DataHome()), UserFile({}));
            EXPECT_EQ(Read(UserFile("skins/INI_CFG/config.ini")), "the user's profiles");
            EXPECT_EQ(Read(UserFile("skins/main normal.jpg")), "skins/main normal.jpg");
        },
        {DataHome()});
    EXPECT_EQ(Read(Installed("skins/INI_CFG/config.ini")), "skins/INI_CFG/config.ini");
}

}  // namespace
