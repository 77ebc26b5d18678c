#include "profile/profile_switch.h"

#include <optional>

#include "common/log_file.h"
#include "common/paths.h"
#include "platform/ini.h"
#include "platform/message_service.h"
#include "profile/config_check.h"
#include "profile/config_keys.h"
#include "profile/config_store.h"
#include "profile/profile_settings.h"
#include "profile/startup_config.h"

namespace {

// The section the factory values (other than the button rows) come from, and the number the
// exported and imported files are written and read with.
constexpr int FactorySection = 2;
constexpr int ProfileFileSection = 2;
// The section that keeps the DPI level while the window is hidden.
constexpr int HiddenSection = 6;

// Whether the file holds any of [Config1]..[Config4], so that a refusal may name what is wrong
// with it; a file with none of them (another program's .ini, a binary, a UTF-16 BE file) is
// simply no profile file.
bool HoldsProfiles(const QString& path) {
    for (int n = 1; n <= ProfileCount; ++n) {
        if (platform::HasSection(ConfigSectionName(n), path)) {
            return true;
        }
    }
    return false;
}

// The refusal, naming the first section or key at fault where the file holds profiles.
QString NotAProfileFileText(const QString& where) {
    const bool english = g_langSel == 1;
    QString text = english ? QStringLiteral("Not a profile file, cannot import!")
                           : QStringLiteral("不是配置文件,无法导入!");
    if (!where.isEmpty()) {
        text += (english ? QStringLiteral(" (") : QStringLiteral("(")) + where + QLatin1Char(')');
    }
    return text;
}

platform::FileDialogRequest ProfileFileRequest(bool open) {
    platform::FileDialogRequest request;
    request.open = open;
    request.filter = QString::fromLatin1(ProfileFileFilter);
    request.initialDir = g_strExeDir;
    return request;
}

}  // namespace

void SwitchProfile(int p) {
    const bool saved = SaveAllConfigs(g_strConfigIni, g_curConfig);
    g_curConfig = p;
    g_curConfigIdx = p - 1;
    // Memory already holds what the load would give after a save (every profile's buttons, the
    // shared settings); after a failed one the file's older values would drop the edits.
    if (saved) {
        OnReadConfig(g_strConfigIni, p, false);
    }
}

namespace {

// The factory settings into memory: config.ini's own where they pass the check a profile
// section must pass, else those of the config.ini that ships with the program (a file cut
// short, or a factory value out of range, would otherwise be saved over every profile and sent).
void LoadFactorySettings() {
    if (const std::optional<ConfigFault> fault = CheckFactorySections(g_strConfigIni)) {
        g_LogFile.Write(QStringLiteral("Factory settings of ") + g_strConfigIni +
                        QStringLiteral(" not used: ") + fault->Describe() +
                        QStringLiteral("; the shipped factory settings are restored"));
        OnReadConfigText(ShippedConfigIni(), FactorySection, true);
        return;
    }
    OnReadConfig(g_strConfigIni, FactorySection, true);
}

}  // namespace

void RestoreDefaults() {
    LoadFactorySettings();
    // As for a switch: a failed save leaves the factory values in memory.
    if (SaveAllConfigs(g_strConfigIni, FactorySection)) {
        OnReadConfig(g_strConfigIni, g_curConfig, false);
    }
}

platform::FileDialogRequest ExportDialogRequest() {
    platform::FileDialogRequest request = ProfileFileRequest(false);
    request.defaultExt = QStringLiteral("ini");
    request.flags = platform::OFN_HIDEREADONLY | platform::OFN_OVERWRITEPROMPT;
    return request;
}

platform::FileDialogRequest ImportDialogRequest() {
    platform::FileDialogRequest request = ProfileFileRequest(true);
    request.flags = platform::OFN_READONLY | platform::OFN_HIDEREADONLY;
    return request;
}

bool ExportProfiles() {
    const std::optional<QString> path = platform::ShowFileDialog(ExportDialogRequest());
    if (!path) {
        return false;
    }
    const platform::OneTimeFile once(*path);
    SaveAllConfigs(*path, ProfileFileSection);
    return true;
}

bool ImportProfiles() {
    const std::optional<QString> path = platform::ShowFileDialog(ImportDialogRequest());
    if (!path) {
        return false;
    }
    const platform::OneTimeFile once(*path);
    // Only a whole file with every value in range: a missing key or section would load as 0 (no
    // left click, DPI and lighting off) and a value out of range would reach the mouse as it is.
    if (const std::optional<ConfigFault> fault = CheckProfileFile(*path)) {
        g_LogFile.Write(QStringLiteral("Profile file refused: ") + *path + QStringLiteral(": ") +
                        fault->Describe());
        platform::ShowMessage(
            NotAProfileFileText(HoldsProfiles(*path) ? fault->Where() : QString()));
        return false;
    }
    OnReadConfig(*path, ProfileFileSection, false);
    return true;
}

void HideSettingsStep() {
    // Reloading the settings from [Config6] here would wipe them: that section holds nothing
    // but the DPI level, and the next Apply would send and save the zeros.
    SaveDpiLevel(g_strConfigIni, HiddenSection);
}
