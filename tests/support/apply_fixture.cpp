#include "support/apply_fixture.h"

#include <QFile>

#include "common/paths.h"
#include "device/applied_settings.h"
#include "device/settings_image.h"
#include "macro/macro_bindings.h"
#include "platform/ini.h"
#include "profile/config_store.h"
#include "profile/profile_settings.h"

namespace testing_support {

bool RecordingPointerSettings::GetMouseSpeed(int& speed) {
    speed = 10;
    return offered;
}
bool RecordingPointerSettings::SetMouseSpeed(int speed) {
    speedSet = speed;
    return true;
}
bool RecordingPointerSettings::GetWheelScrollLines(int& lines) {
    lines = 3;
    return offered;
}
bool RecordingPointerSettings::SetWheelScrollLines(int lines) {
    linesSet = lines;
    return true;
}

UiExecutor QueuedExecutor::Executor() {
    return [this](std::function<void()> work) {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
    };
}

int QueuedExecutor::RunAll() {
    int ran = 0;
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty()) {
                return ran;
            }
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        work();
        ++ran;
    }
}

void ApplyFixture::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    g_strExeDir = dir_.path();
    g_strSkinDir = dir_.path();
    g_strConfigIni = dir_.filePath(QStringLiteral("config.ini"));
    g_strMacroFile = dir_.filePath(QStringLiteral("Macro_EN.dat"));
    ASSERT_TRUE(QFile::copy(
        QStringLiteral(ZELBO_SOURCE_DIR "/data/program/skins/INI_CFG/config.ini"), g_strConfigIni));
    QFile::setPermissions(g_strConfigIni, QFile::ReadOwner | QFile::WriteOwner);
    link_ = std::make_unique<SimulatedLink>();
    ASSERT_TRUE(link_->connected());
    previousPointer_ = platform::SetPointerSettings(&pointer_);

    g_macros = {};
    g_macroCount = 0;
    g_macroSet = {};
    g_constMacros = {};
    g_ledOnFlag = 0;
    g_macroDevAddr = {};
    g_macroDevBodySize = {};
    g_mouseProfileIdx = 0;
    g_lastApplied.reset();
    ResetMacroBindings();
    g_boundMacroAddr = 0;
    g_boundMacroSize = 0;
    g_btnHoldState = 0;
    g_btnEventPending = 0;
    g_recoilDir = 0;
    ResetDeviceHandOver();
    ReadInitSection(g_strConfigIni);
    OnReadConfig(g_strConfigIni, g_curConfig, false);
}

void ApplyFixture::TearDown() {
    platform::SetPointerSettings(previousPointer_);
    link_.reset();
}

MacroRecord ApplyFixture::KeyMacro(int steps, std::uint8_t mode, std::uint16_t repeat) {
    MacroRecord r{};
    r.mode = mode;
    r.repeatCount = repeat;
    for (int i = 0; i < steps; ++i) {
        r.stepCode[i] = 0x04;
        r.stepType[i] = static_cast<std::uint8_t>(i % 2 == 0 ? 1 : 2);
        r.stepDelay[i] = 10;
    }
    r.stepCount = static_cast<std::uint16_t>(steps);
    return r;
}

MacroRecord ApplyFixture::RecoilMacro(std::initializer_list<std::uint16_t> ys) {
    MacroRecord r{};
    r.repeatCount = 1;
    for (std::uint16_t y : ys) {
        const int i = r.stepCount++;
        r.stepCode[i] = StepCodeXyMove;
        r.stepType[i] = StepTypeXPlusYPlus;
        r.stepParam[i] = {0, y};
        r.stepDelay[i] = 10;
        ++r.xyCount;
    }
    return r;
}

void ApplyFixture::SetUserMacros(std::initializer_list<MacroRecord> macros) {
    int i = 0;
    for (const MacroRecord& m : macros) {
        g_macros[i++] = m;
    }
    g_macroCount = static_cast<std::int16_t>(i);
}

QString ApplyFixture::ConfigValue(const QString& section, const QString& key) {
    return platform::GetPrivateProfileString(section, key, QStringLiteral("<none>"), 64,
                                             g_strConfigIni);
}

}  // namespace testing_support
