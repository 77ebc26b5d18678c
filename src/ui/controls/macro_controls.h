// The six child controls of the advanced page that edit macros: repeat-count, track, fire-time
// and macro-name edit boxes, the macro-name list and the step list. The MacroControls object
// lives for the whole run; its windows exist from CreateMacroControls (entering the page) to
// DestroyMacroControls (leaving it). It fills the step list from g_macros, shows the macro
// selected in the name list and rebuilds that list; it reads the macro tables and changes none
// but g_curMacro and the line counters. User-interface thread only.
#pragma once

#include "macro/macro_record.h"
#include "macro/step_lines.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <span>

class QLineEdit;
class QWidget;
class CListBoxWidget;
class CEditableListBox;

inline constexpr int IdEditRepeat = 10004;
inline constexpr int IdEditTrack = 10005;
inline constexpr int IdEditFireTime = 10005;  // the same id as the track box
inline constexpr int IdEditMacroName = 10000;
inline constexpr int IdMacroList = 10001;
inline constexpr int IdStepList = 10002;

// The rectangles of the six controls, from the advanced page's skin.
struct MacroControlRects {
    QRect editRepeat;     // g_rcEditRepeat (EDIT 3)
    QRect editTrack;      // g_rcEditTrack (EDIT 5)
    QRect editFireTime;   // g_rcEditFireTime (EDIT 2)
    QRect editMacroName;  // g_rcEditMacroName (EDIT 4)
    QRect macroList;      // g_rcMacroList (MACRODISPLAY 1)
    QRect stepList;       // g_rcStepList (MACRODISPLAY 2)
};

// The control id a window of this module was created with (0 for another widget).
int ControlId(const QWidget* widget);

class MacroControls {
public:
    explicit MacroControls(KeyNameFunction keyName = StepKeyName);
    ~MacroControls();
    MacroControls(const MacroControls&) = delete;
    MacroControls& operator=(const MacroControls&) = delete;

    // Creates the six windows as children of parent, in the order of the table of controls,
    // and sets the fire-time text. Windows still open from an earlier call are destroyed first.
    void CreateMacroControls(QWidget* parent, const MacroControlRects& rects,
                             const QString& fireTimeText);
    void DestroyMacroControls();
    bool Created() const { return stepList_ != nullptr; }
    // The fire-time box follows the fire time: it shows text when that differs from the text
    // it was last given, so what the user typed there stays until the fire time changes.
    void ShowFireTime(const QString& text);

    // Appends the line(s) of step s of table[m] and selects a line.
    void AddMacroStepLine(std::span<const MacroRecord> table, int m, int s);
    // Refills the step list with g_macros[m] and sets the repeat-count box.
    void ShowMacroSteps(int m);
    // Shows the macro selected in the name list.
    void ShowSelectedMacro();
    // Rebuilds the name list from g_macros and g_macroCount.
    void RefillMacroList();
    // The name list's selection changed (LBN_SELCHANGE of 10001).
    void OnMacroListSelChange();
    // The step list was double-clicked (LBN_DBLCLK of 10002): it takes the focus, and a delay
    // line opens the in-place editor.
    void OnStepListDblClk();
    // Opens the in-place editor on the step list's selected line (WM_CHAR 1).
    void BeginStepEdit();

    QLineEdit* editRepeat() const { return editRepeat_; }
    QLineEdit* editTrack() const { return editTrack_; }
    QLineEdit* editFireTime() const { return editFireTime_; }
    QLineEdit* editMacroName() const { return editMacroName_; }
    CListBoxWidget* macroList() const { return macroList_; }
    CEditableListBox* stepList() const { return stepList_; }

private:
    void EmptyStepList();
    void InvalidateWindow();

    KeyNameFunction keyName_;
    QPointer<QWidget> parent_;
    QPointer<QLineEdit> editRepeat_;
    QPointer<QLineEdit> editTrack_;
    QPointer<QLineEdit> editFireTime_;
    QPointer<QLineEdit> editMacroName_;
    QPointer<CListBoxWidget> macroList_;
    QPointer<CEditableListBox> stepList_;
    QString fireTimeShown_;
};
