// The macro list commands and the step list's commands. User-interface thread only.
#include "macro/macro_commands.h"

#include <algorithm>
#include <optional>

#include "common/paths.h"
#include "macro/macro_bindings.h"
#include "macro/macro_editor.h"
#include "macro/macro_file_reader.h"
#include "macro/macro_file_writer.h"
#include "macro/macro_record.h"
#include "platform/decimal.h"
#include "platform/dialog_service.h"
#include "platform/ini.h"
#include "platform/message_service.h"
#include "profile/profile_settings.h"

namespace {

constexpr int RepeatCountMax = 65535;
constexpr std::uint8_t PlaybackCount = 0;  // plays repeatCount times
constexpr std::uint8_t PlaybackMode1 = 1;
constexpr std::uint8_t PlaybackMode2 = 2;

// The user macros in the list, kept within the table whatever g_macroCount holds.
int ListedMacros() {
    return std::clamp<int>(g_macroCount, 0, MaxUserMacros);
}

// The macro the commands act on: g_curMacro when it names a macro of the list, else -1 (no
// macro is selected, or the list is empty).
int SelectedMacro() {
    return g_curMacro >= 0 && g_curMacro < ListedMacros() ? g_curMacro : -1;
}

void SetPlaybackMode(MacroRecord& r, std::uint8_t mode) {
    r.mode = static_cast<std::uint8_t>((r.mode & ~MacroModeMask) | mode);
}

// The file dialogs of the macro files: open (read-only box set and hidden), save (".dat" added,
// asks before overwriting), both in the program's folder. A cancel or an empty answer is none.
std::optional<QString> AskForMacroFile(bool open) {
    platform::FileDialogRequest request;
    request.open = open;
    request.filter = QString::fromUtf16(MacroFileFilter);
    request.initialDir = g_strExeDir;
    if (open) {
        request.flags = platform::OFN_READONLY | platform::OFN_HIDEREADONLY;
    } else {
        request.defaultExt = QString::fromUtf16(MacroFileExtension);
        request.flags = platform::OFN_HIDEREADONLY | platform::OFN_OVERWRITEPROMPT;
    }
    std::optional<QString> path = platform::ShowFileDialog(request);
    if (path && path->isEmpty()) {
        return std::nullopt;
    }
    return path;
}

}  // namespace

bool MacroCommands::OnMacroButton(int advIndex) {
    switch (advIndex) {
        case AdvOpenList:
            OnOpenMacroList();
            return true;
        case AdvSaveList:
            OnSaveMacroList();
            return true;
        case AdvNewMacro:
            OnNewMacro();
            return true;
        case AdvDeleteMacro:
            OnDeleteMacro();
            return true;
        case AdvApplyRepeat:
            OnApplyRepeatCount();
            return true;
        case AdvCountMode:
            OnCountMode();
            return true;
        case AdvMode2:
            OnMode2();
            return true;
        case AdvTrackInsert:
            OnTrackInsert();
            return true;
        case AdvTrackMode:
            OnTrackMode();
            return true;
        default:
            return false;
    }
}

void RestoreFactoryMacroList() {
    OnReadMacroList(FactoryMacroFilePath(g_strExeDir, g_langSel));
    OnUserMacroListReplaced();
}

void MacroCommands::OnOpenMacroList() {
    // A recording writes into its macro's slot until it stops; a list read under it would have
    // the keys land in whichever macro the file put there.
    if (g_recording) {
        return;
    }
    const std::optional<QString> path = AskForMacroFile(true);
    if (!path) {
        return;
    }
    const platform::OneTimeFile once(*path);
    // A list that cannot be read keeps the one shown, and with it the buttons' macros.
    if (!OnReadMacroList(*path, false)) {
        return;
    }
    OnUserMacroListReplaced();
    view_.RefillMacroList();
    view_.InvalidateWindow();
}

void MacroCommands::OnSaveMacroList() {
    const std::optional<QString> path = AskForMacroFile(false);
    if (path) {
        const platform::OneTimeFile once(*path);
        OnWriteMacroList(*path, 0);
    }
}

void MacroCommands::OnNewMacro() {
    const QString text = view_.NameBoxText();
    view_.FocusNameList();
    const int count = ListedMacros();
    if (count >= MaxUserMacros || text.isEmpty()) {
        return;
    }
    // The list shows and compares the name as the record holds it.
    const QString name = StoredMacroName(text);
    const int i = count > 0 ? FindMacroByName(g_macros, name, count) : 0;
    g_curMacro = i;
    if (i == count) {
        // After a shorter list was read the slot may still hold an older macro and its lock
        // flag; the new macro starts empty and unlocked, as its step list shows it.
        g_macros[static_cast<std::size_t>(i)] = MacroRecord{};
        g_macroSet[static_cast<std::size_t>(i)] = 0;
        SetMacroName(g_macros[static_cast<std::size_t>(i)], name);
        view_.EmptyStepList();
        view_.AddName(name);
        g_macroCount = static_cast<std::int16_t>(count + 1);
        OnUserMacroInserted(i, count);
    }
    view_.SelectName(g_curMacro);
}

void MacroCommands::OnDeleteMacro() {
    if (g_recording || view_.NameListCount() == 0) {
        return;
    }
    const int count = ListedMacros();
    const int s = view_.NameListSelection();
    if (s < 0 || s >= count) {
        return;  // nothing selected: nothing to delete
    }
    for (int i = s; i < count - 1; ++i) {
        g_macroSet[static_cast<std::size_t>(i)] = g_macroSet[static_cast<std::size_t>(i + 1)];
        g_macros[static_cast<std::size_t>(i)] = g_macros[static_cast<std::size_t>(i + 1)];
    }
    g_macroSet[static_cast<std::size_t>(count - 1)] = 0;
    view_.DeleteName(s);
    const int t = s > 0 ? s - 1 : 0;
    view_.SelectName(t);
    g_curMacro = t;
    if (view_.NameListCount() > 0) {
        view_.SetNameBoxText(view_.NameLine(t));
    } else {
        view_.SetNameBoxText(QString());
        view_.SetRepeatBoxText(QStringLiteral("1"));
        view_.EnableRepeatBox(false);
    }
    ClearMacro(g_macros, static_cast<std::uint8_t>(count - 1));
    g_macroCount = static_cast<std::int16_t>(count - 1);
    // The buttons keep their macros: those of later macros move down with them.
    OnUserMacroDeleted(s, count);
    if (g_macroSet[static_cast<std::size_t>(t)] == 0) {
        view_.ShowMacroSteps(t);
    }
}

void MacroCommands::OnApplyRepeatCount() {
    int v = platform::Wtoi(view_.RepeatBoxText());
    if (v < 1) {
        v = 1;
        view_.SetRepeatBoxText(QStringLiteral("1"));
    } else if (v > RepeatCountMax) {
        v = RepeatCountMax;
        view_.SetRepeatBoxText(platform::FormatInt(RepeatCountMax));
    }
    const int macro = SelectedMacro();
    if (macro >= 0) {
        g_macros[static_cast<std::size_t>(macro)].repeatCount = static_cast<std::uint16_t>(v);
    }
    // Saved also without a selected macro: this is how an emptied list reaches the file.
    SaveUserMacroList();
}

void MacroCommands::OnCountMode() {
    const int macro = SelectedMacro();
    if (macro < 0) {
        return;
    }
    MacroRecord& r = g_macros[static_cast<std::size_t>(macro)];
    const int c = r.repeatCount != 0 ? r.repeatCount : 1;
    if ((r.mode & MacroModeMask) != PlaybackCount) {
        SetPlaybackMode(r, PlaybackCount);
        view_.SetRepeatBoxText(platform::FormatInt(c));
        view_.EnableRepeatBox(true);
    } else {
        SetPlaybackMode(r, PlaybackMode1);
        view_.SetRepeatBoxText(QStringLiteral("1"));
        view_.EnableRepeatBox(false);
    }
    view_.InvalidateWindow();
}

void MacroCommands::OnMode2() {
    const int macro = SelectedMacro();
    if (macro < 0) {
        return;
    }
    MacroRecord& r = g_macros[static_cast<std::size_t>(macro)];
    if ((r.mode & MacroModeMask) == PlaybackMode2) {
        SetPlaybackMode(r, PlaybackCount);
    } else {
        SetPlaybackMode(r, PlaybackMode2);
        view_.SetRepeatBoxText(QStringLiteral("1"));
        view_.EnableRepeatBox(false);
    }
    view_.InvalidateWindow();
}

void MacroCommands::OnTrackMode() {
    g_trackInsertMode = g_trackInsertMode ? 0 : 1;
    if (g_trackInsertMode) {
        const int macro = SelectedMacro();
        if (macro >= 0) {
            SetPlaybackMode(g_macros[static_cast<std::size_t>(macro)], PlaybackMode2);
        }
        view_.SetTrackBoxText(QStringLiteral("1"));
        view_.EnableTrackBox(true);
    } else {
        view_.SetTrackBoxText(QStringLiteral("0"));
        view_.EnableTrackBox(false);
    }
    view_.InvalidateWindow();
}

void MacroCommands::RefreshCommandState(bool macroToo) {
    g_stepListSel = g_stepListCurSel = view_.StepListSelection();
    if (macroToo) {
        g_cmdMacro = std::min(view_.NameListSelection(), MaxCommandMacro);
    }
    g_cmdStep = g_stepListCurSel / 2;
}

void MacroCommands::OnTrackInsert() {
    const int macro = SelectedMacro();
    if (macro < 0 || IsMacroLocked(macro)) {
        return;
    }
    if (!g_trackInsertMode) {
        view_.InvalidateWindow();
        return;
    }
    g_trackValue = platform::Wtoi(view_.TrackBoxText());
    view_.EnableTrackBox(true);
    // Each insert redraws the list with its new step selected, so the next one follows it.
    RefreshCommandState(true);
    Apply(OnAddBackwardLeftDown(view_.StepListCount(), view_.TrackBoxText()));
    RefreshCommandState(false);
    Apply(OnAddBackwardLeftUp(view_.StepListCount(), view_.TrackBoxText()));
    RefreshCommandState(false);
    Apply(OnInsertXPlusYPlus(view_.StepListCount(), view_.TrackBoxText()));
    view_.InvalidateWindow();
}

void MacroCommands::OnImportMacro() {
    const int count = ListedMacros();
    if (g_recording || count >= MaxUserMacros || view_.NameListCount() >= MaxUserMacros) {
        platform::ShowMessage(g_recording ? QStringLiteral("宏录制中,不可导入!")
                                          : QStringLiteral("当前宏数量12个已满,不可导入!"));
        return;
    }
    const std::optional<QString> path = AskForMacroFile(true);
    if (!path) {
        return;
    }
    // The reader points g_curMacro at the file's last macro; unless the import goes ahead the
    // selection stays the one the list shows.
    const std::int32_t selectedBefore = g_curMacro;
    const platform::OneTimeFile once(*path);
    OnReadMacro(*path);
    const QString name = MacroName(g_macroBuf);
    // A missing, empty or foreign file gives a macro without a name: there is nothing to import.
    if (name.isEmpty()) {
        g_curMacro = selectedBefore;
        return;
    }
    if (count > 0 && FindMacroByName(g_macros, name, count) < count) {
        platform::ShowMessage(QLatin1Char('\'') + name + QLatin1Char('\'') +
                              QStringLiteral("  宏重名,无法导入!"));
        g_curMacro = selectedBefore;
        view_.SetNameBoxText(name);
        return;
    }
    const int s = std::clamp(view_.NameListSelection(), -1, count - 1);
    g_macroCount = static_cast<std::int16_t>(count + 1);
    // Make room after the selection; the macros after it move up with their lock flags.
    for (int k = count; k >= s + 2; --k) {
        g_macros[static_cast<std::size_t>(k)] = g_macros[static_cast<std::size_t>(k - 1)];
        g_macroSet[static_cast<std::size_t>(k)] = g_macroSet[static_cast<std::size_t>(k - 1)];
    }
    const int at = s + 1;
    g_macros[static_cast<std::size_t>(at)] = g_macroBuf;
    g_macroSet[static_cast<std::size_t>(at)] = g_importMacroSet;
    OnUserMacroInserted(at, count);
    view_.EmptyStepList();
    view_.EmptyNameList();
    for (int i = 0; i < g_macroCount; ++i) {
        view_.AddName(MacroName(g_macros[static_cast<std::size_t>(i)]));
    }
    view_.SelectName(at);
    view_.ShowMacroSteps(at);
    g_curMacro = at;
    view_.InvalidateWindow();
    view_.SetNameBoxText(name);
}

void MacroCommands::OnExportMacro() {
    if (g_recording || ListedMacros() == 0) {
        return;
    }
    // The file gets the macro selected in the name list: neither it nor g_curMacro may be locked.
    const int macro = SelectedMacro();
    const int selected = view_.NameListSelection();
    if (macro < 0 || IsMacroLocked(macro) || selected < 0 || selected >= ListedMacros() ||
        IsMacroLocked(selected)) {
        return;
    }
    const std::optional<QString> path = AskForMacroFile(false);
    if (path) {
        const platform::OneTimeFile once(*path);
        OnWriteMacro(*path, selected);
    }
}

bool MacroCommands::OnStepCommand(unsigned id) {
    const int commandId = static_cast<int>(id);
    if (const StepInsertCommand* insert = FindStepInsertCommand(commandId)) {
        Apply(RunStepInsertCommand(*insert, view_.StepListCount(), view_.TrackBoxText()));
        return true;
    }
    switch (commandId) {
        case CmdModifyTrackValue:
            Apply(OnModifyTrackValue());
            return true;
        case CmdModifyDelayChinese:
        case CmdModifyDelayEnglish:
            Apply(OnModifyDelay());
            return true;
        case CmdDeleteItemChinese:
        case CmdDeleteItemEnglish:
            Apply(OnDeleteItem());
            return true;
        default:
            return false;
    }
}

void MacroCommands::OnStepEditDone() {
    const int line = view_.StepListSelection();
    Apply(::OnStepEditDone(line, view_.NameListSelection(), view_.StepLine(line)));
}

void MacroCommands::Apply(const StepCommandOutcome& outcome) {
    if (outcome.trackBoxRewritten) {
        view_.SetTrackBoxText(outcome.trackBoxText);
        view_.InvalidateWindow();
    }
    if (outcome.redraw) {
        view_.ShowMacroSteps(outcome.redrawMacro);
    }
    if (outcome.startEdit) {
        view_.BeginStepEdit();
    }
}
