// Saves that fail are said: the settings writer and the device events' follow-ups on a
// config.ini and a macro file that cannot be written. The user is told once per action, on the
// user-interface thread; the log names each file and why; the mouse still gets its settings.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <vector>

#include "common/log_file.h"
#include "common/paths.h"
#include "device/apply_settings.h"
#include "device/device_threads.h"
#include "device/settings_image.h"
#include "macro/macro_file_writer.h"
#include "macro/macro_record.h"
#include "platform/message_service.h"
#include "profile/profile_settings.h"
#include "support/apply_fixture.h"
#include "support/full_disk.h"
#include "support/program_run.h"
#include "support/qstring_print.h"
#include "support/qt_app.h"

namespace {

using testing_support::ApplyFixture;
using testing_support::ProgramFolder;
using testing_support::QueuedExecutor;

constexpr auto ReadOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;

class SaveFailures : public ApplyFixture {
protected:
    void SetUp() override {
        ApplyFixture::SetUp();
        previous_ = platform::SetMessageService(&messages_);
        g_LogFile.Init(dir_.filePath(QStringLiteral("log.txt")).toLocal8Bit());
        g_langSel = 1;
    }
    void TearDown() override {
        g_LogFile.Init(QByteArray());
        platform::SetMessageService(previous_);
        ApplyFixture::TearDown();
    }
    QStringList Log() const {
        return ProgramFolder::LogMessages(dir_.filePath(QStringLiteral("log.txt")));
    }

    platform::RecordingMessageService messages_;
    platform::MessageService* previous_ = nullptr;
    QueuedExecutor queue_;
};

TEST_F(SaveFailures, AnApplyThatCannotSaveTellsOnceAndStillReachesTheMouse) {
    SetUserMacros({KeyMacro(2)});
    KeyFunc[0][0] = 50;  // the list is saved with the settings
    ASSERT_TRUE(OnWriteMacroList(g_strMacroFile, 1));
    g_macros[0].repeatCount = 5;
    ASSERT_TRUE(QFile::setPermissions(g_strConfigIni, ReadOnly));
    ASSERT_TRUE(QFile::setPermissions(g_strMacroFile, ReadOnly));
    const QByteArray config = ProgramFolder::ReadFile(g_strConfigIni);
    const QByteArray macros = ProgramFolder::ReadFile(g_strMacroFile);
    g_fireTime = 77;
    KeyFunc[0][1] = 3;
    link_->TakeSentReports();

    ApplySettings();
    EXPECT_EQ(messages_.Messages(),
              QStringList{QStringLiteral("Cannot save config.ini, Macro_EN.dat!")});
    EXPECT_EQ(Memory(0x009, 1), std::vector<std::uint8_t>{3}) << "the mouse got the settings";
    EXPECT_EQ(ProgramFolder::ReadFile(g_strConfigIni), config);
    EXPECT_EQ(ProgramFolder::ReadFile(g_strMacroFile), macros);
    EXPECT_EQ(g_fireTime, 77u) << "the program runs on with what it holds";
    const QStringList log = Log();
    EXPECT_EQ(log.filter(QStringLiteral("Cannot save ") + g_strConfigIni +
                         QStringLiteral(": the file is read-only"))
                  .size(),
              2)
        << "both saves (the profile number is the file's already)";
    EXPECT_EQ(log.filter(QStringLiteral("Cannot save ") + g_strMacroFile +
                         QStringLiteral(": the file is read-only"))
                  .size(),
              1);

    // Told once until a save of the file succeeds again.
    messages_.Clear();
    ApplySettings();
    EXPECT_TRUE(messages_.Messages().isEmpty());
    ASSERT_TRUE(QFile::setPermissions(g_strConfigIni, ReadOnly | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(g_strMacroFile, ReadOnly | QFile::WriteOwner));
    ApplySettings();
    ASSERT_TRUE(QFile::setPermissions(g_strConfigIni, ReadOnly));
    ASSERT_TRUE(QFile::setPermissions(g_strMacroFile, ReadOnly));
    g_langSel = 0;
    g_fireTime = 78;
    g_macros[0].repeatCount = 6;
    ApplySettings();
    EXPECT_EQ(messages_.Messages(),
              QStringList{QStringLiteral("无法保存config.ini, Macro_EN.dat!")});
}

TEST_F(SaveFailures, TheDeviceEventsSaysAreToldOnTheUserInterfaceThreadOneEach) {
    const UiExecutor ui = queue_.Executor();
    KeyFunc[0][1] = 16;  // device button 2: DPI
    KeyFunc[1][1] = 16;  // also in profile 2, where the mouse switches below
    ApplySettings();
    ASSERT_TRUE(QFile::setPermissions(g_strConfigIni, ReadOnly));
    const QString told = QStringLiteral("Cannot save config.ini!");
    const std::uint8_t dpi[] = {0x06, 0xF2, 0x03};
    HandleInputReport(dpi, 3, ui);
    MacroSendPass(ui);
    EXPECT_TRUE(messages_.Messages().isEmpty()) << "nothing told on the device threads";
    EXPECT_EQ(queue_.RunAll(), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(messages_.Messages(), QStringList{told});
    EXPECT_EQ(g_dpiLevel, 3u);

    link_->mouse().SetCurrentProfile(1);
    const std::uint8_t profile[] = {0x06, EvtProfileChanged, 0x00};
    HandleInputReport(profile, 3, ui);
    EXPECT_EQ(messages_.Messages().size(), 1);
    EXPECT_EQ(queue_.RunAll(), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(messages_.Messages(), QStringList{told}) << "told once until config.ini is saved";
    EXPECT_EQ(g_curConfig, 2);

    // A level the mouse cannot have is neither taken nor saved.
    ASSERT_TRUE(QFile::setPermissions(g_strConfigIni, ReadOnly | QFile::WriteOwner));
    const std::uint32_t level = g_dpiLevel;
    for (const std::uint8_t wildLevel : {6, 9}) {
        const std::uint8_t wild[] = {0x06, 0xF2, wildLevel};
        HandleInputReport(wild, 3, ui);
        MacroSendPass(ui);
        EXPECT_EQ(queue_.RunAll(), 1) << "the event reaches the user-interface thread";
        QCoreApplication::processEvents();
        EXPECT_EQ(g_dpiLevel, level);
        EXPECT_EQ(ConfigValue(QStringLiteral("Config2"), QStringLiteral("DPI_LEVEL")),
                  QString::number(level));
    }
}

// A full disk: no save replaces a file with less than it held; each is told and logged.
TEST_F(SaveFailures, AFullDiskLeavesEveryFileAsItWasAndSaysSo) {
    SetUserMacros({KeyMacro(2), KeyMacro(3)});
    KeyFunc[0][0] = 50;  // the list is saved with the settings
    ApplySettings();
    const QByteArray config = ProgramFolder::ReadFile(g_strConfigIni);
    const QByteArray macros = ProgramFolder::ReadFile(g_strMacroFile);
    {
        const testing_support::FullDisk full(100);
        g_fireTime = 77;
        g_macros[1].repeatCount = 5;
        ApplySettings();
        EXPECT_EQ(messages_.Messages(),
                  QStringList{QStringLiteral("Cannot save config.ini, Macro_EN.dat!")});
        g_macroCount = 1;
        EXPECT_FALSE(OnWriteMacroList(g_strMacroFile, 1));
    }
    EXPECT_EQ(ProgramFolder::ReadFile(g_strConfigIni), config);
    EXPECT_EQ(ProgramFolder::ReadFile(g_strMacroFile), macros);
    for (const QString& file : {g_strConfigIni, g_strMacroFile}) {
        EXPECT_FALSE(Log()
                         .filter(QStringLiteral("Cannot save ") + file +
                                 QStringLiteral(": No space left on device"))
                         .isEmpty());
        EXPECT_TRUE(QDir(QFileInfo(file).absolutePath())
                        .entryList({QStringLiteral("*.zelbo-tmp-*")}, QDir::Files | QDir::Hidden)
                        .isEmpty());
    }
}

// A box shown while the mouse's event is still at work would hold it: the box must come after.
class BodyAtMessage final : public platform::MessageService {
public:
    explicit BodyAtMessage(std::function<std::vector<std::uint8_t>()> body)
        : body_(std::move(body)) {}
    void Show(const QString& text) override {
        texts.append(text);
        bodies.push_back(body_());
    }
    QStringList texts;
    std::vector<std::vector<std::uint8_t>> bodies;

private:
    std::function<std::vector<std::uint8_t>()> body_;
};

TEST_F(SaveFailures, TheMouseNeverWaitsOnTheMessageAndEachFileIsToldOnce) {
    testing_support::TestApplication();
    const UiExecutor ui = queue_.Executor();
    SetUserMacros({RecoilMacro({10, 10})});
    KeyFunc[0][0] = 50;
    KeyFunc[0][1] = 16;  // device button 2: DPI
    ApplySettings();
    const int address = static_cast<int>(g_macroDevAddr[0][0]);
    const int size = static_cast<int>(g_macroDevBodySize[0][0]);
    const std::vector<std::uint8_t> before = Memory(address, size);
    BodyAtMessage told([&] { return Memory(address, size); });
    platform::SetMessageService(&told);

    ASSERT_TRUE(QFile::setPermissions(g_strConfigIni, ReadOnly));
    for (std::uint8_t i = 0; i < 10; ++i) {
        const std::uint8_t dpi[] = {0x06, 0xF2, static_cast<std::uint8_t>(4 + i % 2)};
        HandleInputReport(dpi, 3, ui);
        MacroSendPass(ui);
        queue_.RunAll();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(told.texts, QStringList{QStringLiteral("Cannot save config.ini!")});
    EXPECT_EQ(Log().filter(QStringLiteral("Cannot save ") + g_strConfigIni).size(), 10);

    ASSERT_TRUE(QFile::setPermissions(g_strMacroFile, ReadOnly));
    const std::uint8_t up[] = {0x06, 0x01, 0x00};
    HandleInputReport(up, 3, ui);
    queue_.RunAll();
    QCoreApplication::processEvents();
    platform::SetMessageService(&messages_);
    EXPECT_EQ(told.texts.size(), 2);
    EXPECT_EQ(told.texts.back(), QStringLiteral("Cannot save Macro_EN.dat!"));
    EXPECT_NE(told.bodies.back(), before) << "the adjusted body was in the mouse before the box";
    EXPECT_EQ(told.bodies.back(), Memory(address, size));
    EXPECT_EQ(g_macros[0].stepParam[0].y, 11);
}

}  // namespace
