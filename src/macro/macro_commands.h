// The commands of the advanced page that manage the macro list (open, save, new, delete, the
// repeat count and the playback modes, the track mode and the track insert, import and export)
// and the step list's context-menu commands and end of an in-place edit. They change the macro
// tables of macro_record.h and act on the page through MacroPageView, which the window provides
// over its child controls; file dialogs and messages go through the platform's services.
// User-interface thread only.
#pragma once

#include <QString>
#include <cstdint>

struct StepCommandOutcome;

// Advanced-page buttons by skin rectangle index.
inline constexpr int AdvOpenList = 0;
inline constexpr int AdvSaveList = 1;
inline constexpr int AdvNewMacro = 2;
inline constexpr int AdvDeleteMacro = 3;
inline constexpr int AdvRecord = 4;
inline constexpr int AdvApplyRepeat = 5;
inline constexpr int AdvCountMode = 6;
inline constexpr int AdvMode2 = 7;
inline constexpr int AdvTrackInsert = 28;
inline constexpr int AdvTrackMode = 38;

// The macro list files the user picks.
inline constexpr char16_t MacroFileFilter[] = u"All Files(*.dat)|*.dat||";
inline constexpr char16_t MacroFileExtension[] = u"dat";

// The page's macro controls as the commands see them. Lines are numbered from 0; a selection
// of -1 is none, and selecting a line outside a list selects nothing and notifies nobody.
class MacroPageView {
public:
    virtual ~MacroPageView() = default;

    // Macro-name list.
    virtual int NameListCount() const = 0;
    virtual int NameListSelection() const = 0;
    virtual QString NameLine(int line) const = 0;
    virtual void SelectName(int line) = 0;
    virtual void AddName(const QString& name) = 0;
    virtual void DeleteName(int line) = 0;
    virtual void EmptyNameList() = 0;
    virtual void FocusNameList() = 0;
    // Macro-name edit box.
    virtual QString NameBoxText() const = 0;
    virtual void SetNameBoxText(const QString& text) = 0;
    // Repeat-count edit box.
    virtual QString RepeatBoxText() const = 0;
    virtual void SetRepeatBoxText(const QString& text) = 0;
    virtual void EnableRepeatBox(bool enabled) = 0;
    // Track edit box.
    virtual QString TrackBoxText() const = 0;
    virtual void SetTrackBoxText(const QString& text) = 0;
    virtual void EnableTrackBox(bool enabled) = 0;
    // Step list.
    virtual int StepListCount() const = 0;
    virtual int StepListSelection() const = 0;
    virtual QString StepLine(int line) const = 0;
    virtual void EmptyStepList() = 0;
    // Opens the in-place editor on the selected step line.
    virtual void BeginStepEdit() = 0;
    // The page's own routines: ShowMacroSteps, RefillMacroList, and a repaint of the window.
    virtual void ShowMacroSteps(int macro) = 0;
    virtual void RefillMacroList() = 0;
    virtual void InvalidateWindow() = 0;
};

// The factory restore's part on the advanced page: the macro list becomes the factory list of
// the language, and every button names again the macro config.ini gives it.
void RestoreFactoryMacroList();

class MacroCommands {
public:
    explicit MacroCommands(MacroPageView& view) : view_(view) {}

    // Advanced-page button advIndex (0, 1, 2, 3, 5, 6, 7, 28, 38); false for any other index,
    // the record button 4 included, which the window handles itself.
    bool OnMacroButton(int advIndex);

    void OnOpenMacroList();     // 0: read a list file the user picks
    void OnSaveMacroList();     // 1: export the list to a file the user picks
    void OnNewMacro();          // 2
    void OnDeleteMacro();       // 3
    void OnApplyRepeatCount();  // 5: also saves the user's macro file
    void OnCountMode();         // 6
    void OnMode2();             // 7
    void OnTrackInsert();       // 28
    void OnTrackMode();         // 38

    // The macro-name list's menu: import one macro after the selection, export the selected one.
    void OnImportMacro();
    void OnExportMacro();

    // A command of the step list's context menu (either language); false for another id.
    bool OnStepCommand(unsigned id);
    // The in-place editor ended (WM_USER+10): applies the selected line's text.
    void OnStepEditDone();

private:
    void Apply(const StepCommandOutcome& outcome);
    // The step list's selection becomes the command state (the name list's too when asked).
    void RefreshCommandState(bool macroToo);

    MacroPageView& view_;
};
