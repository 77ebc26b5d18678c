// config.ini at start-up, the window started in the test's process on a copy of the program
// folder: a file the program cannot use never reaches the mouse, the user is told once, and
// nothing of theirs is lost.
#include "app/main_dialog.h"
#include "app/main_dialog_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <functional>

#include "device/discovery.h"
#include "platform/hid.h"
#include "platform/simulated_mouse.h"
#include "profile/profile_settings.h"
#include "support/full_disk.h"
#include "support/program_run.h"
#include "support/qstring_print.h"

namespace {

using testing_support::ProgramFolder;

// Profile 1's button bytes 0x008..0x00E as the start-up's Apply left them in a fresh mouse.
std::vector<std::uint8_t> StartAndReadButtons() {
    platform::SimulatedMouse mouse(BuiltInMouseAttributes());
    platform::SetHidBackend(&mouse);
    {
        CKVE_ZelboDlg dlg;
        EXPECT_TRUE(dlg.OnInitDialog());
    }
    platform::SetHidBackend(nullptr);
    return mouse.Memory(0x008, 7);
}

class StartupConfigIni : public testing_support::StartupInProcess {};

TEST_F(StartupConfigIni, AFileItCannotUseNeverReachesTheMouseAndNothingOfTheUsersIsLost) {
    const QString config = folder_.ConfigIni();
    const QString folder = QFileInfo(config).absolutePath();
    const QByteArray shipped =
        ProgramFolder::ReadFile(QStringLiteral(ZELBO_SHIPPED_DIR "/skins/INI_CFG/config.ini"));
    QByteArray utf16be("\xFE\xFF", 2);  // no section can be read, so no language either
    for (char c : shipped) {
        utf16be.append('\0');
        utf16be.append(c);
    }
    QByteArray chinese = QByteArray(shipped).replace("LANG_SEL=1", "LANG_SEL=0");
    const QByteArray edited =
        QByteArray(chinese).replace("[Config3]\r\nK0=1", "[Config3]\r\nK0=500");
    const QString leftAlone = QStringLiteral(
        "config.ini cannot be read, the default settings are used and changes cannot be saved!");
    const QString replaced =
        QStringLiteral("config.ini is missing or empty, the default settings are restored!");
    struct Case {
        const char* what;
        std::function<bool()> make;
        QString message;            // a set-aside copy's name follows it
        QByteArray afterward = {};  // config.ini; empty: left as it was
        QByteArray aside = {};      // the set-aside copy
    };
    const std::vector<Case> cases = {
        {"FIFO", [&] { return ::mkfifo(QFile::encodeName(config).constData(), 0600) == 0; },
         leftAlone},
        {"folder", [&] { return QDir().mkdir(config); }, leftAlone},
        {"empty", [&] { return ProgramFolder::WriteFile(config, {}); }, replaced, shipped},
        {"missing", [] { return true; }, replaced, shipped},
        {"UTF-16 BE", [&] { return ProgramFolder::WriteFile(config, utf16be); },
         QStringLiteral("config.ini cannot be used (Init), the default settings are restored! "
                        "Your file was kept as "),
         shipped, utf16be},
        // Only the profile shown first is out of range: told, and profile 1 is shown.
        {"CurConfig 5",
         [&] {
             return ProgramFolder::WriteFile(
                 config, QByteArray(shipped).replace("CurConfig=1", "CurConfig=5"));
         },
         QStringLiteral("CurConfig error!"), shipped},
        {"out of range, in Chinese", [&] { return ProgramFolder::WriteFile(config, edited); },
         QStringLiteral("config.ini无法使用(Config3 K0),已恢复默认设置!原文件已另存为"), chinese,
         edited},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages_.Clear();
        for (const QString& name :
             QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            const QString path = folder + QLatin1Char('/') + name;
            ASSERT_TRUE(QFile::remove(path) || QDir(path).removeRecursively());
        }
        ASSERT_TRUE(c.make());

        EXPECT_EQ(StartAndReadButtons(),
                  (std::vector<std::uint8_t>{0x01, 0x02, 0x03, 0x04, 0x05, 0x0C, 0x00}));
        const QStringList files =
            QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        const QString aside = files.filter(QStringLiteral(".bad-")).value(0);
        // One message: the Apply's failed saves of a file left alone are not told again.
        EXPECT_EQ(messages_.Messages(), QStringList{c.message + aside});
        EXPECT_EQ(files.size(), c.aside.isEmpty() ? 1 : 2);
        if (c.afterward.isEmpty()) {
            struct stat st {};
            ASSERT_EQ(::lstat(QFile::encodeName(config).constData(), &st), 0);
            EXPECT_FALSE(S_ISREG(st.st_mode)) << "left alone";
            EXPECT_FALSE(Log().filter(QStringLiteral("Cannot save ") + config).isEmpty());
        } else {
            EXPECT_EQ(ProgramFolder::ReadFile(config), c.afterward);
        }
        if (!c.aside.isEmpty()) {
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^config\\.ini\\.bad-\\d{8}-\\d{6}$"))
                            .match(aside)
                            .hasMatch())
                << aside.toStdString();
            EXPECT_EQ(ProgramFolder::ReadFile(folder + QLatin1Char('/') + aside), c.aside);
        }
    }
    EXPECT_EQ(g_langSel, 0) << "the user's language kept";
    EXPECT_TRUE(Log().contains(QStringLiteral("config.ini refused: ") + config +
                               QStringLiteral(": [Config3] K0=500 is out of range; set aside as ") +
                               folder + QLatin1Char('/') +
                               QDir(folder).entryList().filter(QStringLiteral(".bad-")).value(0) +
                               QStringLiteral(", the shipped config.ini is in its place")))
        << Log().join(QLatin1Char('|')).toStdString();
}

// On a full disk the user's file stays where it was, and the mouse gets the shipped settings the
// message says the program runs on.
TEST_F(StartupConfigIni, OnAFullDiskTheUsersFileStaysAndTheMouseGetsWhatTheMessageSays) {
    const QString config = folder_.ConfigIni();
    const QByteArray edited =
        ProgramFolder::ReadFile(QStringLiteral(ZELBO_SHIPPED_DIR "/skins/INI_CFG/config.ini"))
            .replace("[Config3]\r\nK0=1", "[Config3]\r\nK0=500");
    const QString unsaved =
        QStringLiteral(", the default settings are used and changes cannot be saved!");
    for (const QByteArray& bytes : {edited, QByteArray()}) {
        messages_.Clear();
        ASSERT_TRUE(ProgramFolder::WriteFile(config, bytes));
        {
            const testing_support::FullDisk full;
            EXPECT_EQ(StartAndReadButtons(),
                      (std::vector<std::uint8_t>{0x01, 0x02, 0x03, 0x04, 0x05, 0x0C, 0x00}));
        }
        EXPECT_EQ(messages_.Messages(),
                  QStringList{(bytes.isEmpty() ? QStringLiteral("config.ini is missing or empty")
                                               : QStringLiteral("config.ini cannot be used "
                                                                "(Config3 K0)")) +
                              unsaved});
        EXPECT_EQ(ProgramFolder::ReadFile(config), bytes);
        EXPECT_EQ(QDir(QFileInfo(config).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("config.ini")});
    }
}

}  // namespace
