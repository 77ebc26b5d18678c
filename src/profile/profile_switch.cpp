#include "profile/profile_switch.h"

#include <optional>

#include "app/core/paths.h"
#include "macro/macro_bindings.h"
#include "macro/macro_file_reader.h"
#include "platform/ini.h"
#include "platform/message_service.h"
#include "profile/config_store.h"
#include "profile/profile_settings.h"

namespace {

// The section the factory values (other than the button rows) come from, and the number the
// exported and imported files are written and read with.
constexpr int FactorySection = 2;
constexpr int ProfileFileSection = 2;
// The section that keeps the DPI level while the window is hidden.
constexpr int HiddenSection = 6;

// A profile file holds at least one of [Config1]..[Config4]. Anything else (a folder, a FIFO, an
// empty, binary or UTF-16 BE file, another program's .ini) would load as all zeros: no left
// click on any profile, written to config.ini and the mouse by the next save and Apply.
bool HoldsProfiles(const QString& path) {
    for (int n = 1; n <= ProfileCount; ++n) {
        if (platform::HasSection(QStringLiteral("Config") + QString::number(n), path)) {
            return true;
        }
    }
    return false;
}

QString NotAProfileFileText() {
    return g_langSel == 1 ? QStringLiteral("Not a profile file, cannot import!")
                          : QStringLiteral("不是配置文件,无法导入!");
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
    SaveAllConfigs(g_strConfigIni, g_curConfig);
    g_curConfig = p;
    g_curConfigIdx = p - 1;
    OnReadConfig(g_strConfigIni, p, false);
}

void RestoreDefaults(bool factoryMacros) {
    OnReadConfig(g_strConfigIni, FactorySection, true);
    SaveAllConfigs(g_strConfigIni, FactorySection);
    OnReadConfig(g_strConfigIni, g_curConfig, false);
    if (factoryMacros) {
        OnReadMacroList(FactoryMacroFilePath(g_strExeDir, g_langSel));
        OnUserMacroListReplaced();
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
    if (!HoldsProfiles(*path)) {
        platform::ShowMessage(NotAProfileFileText());
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
