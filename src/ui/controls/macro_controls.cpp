// Creating the macro controls and filling the name and step lists.
#include "ui/controls/macro_controls.h"

#include "macro/macro_editor.h"
#include "platform/decimal.h"
#include "platform/message_service.h"
#include "ui/controls/editable_list_box.h"
#include "ui/controls/list_box.h"
#include "ui/shell/window_message.h"

#include <QLineEdit>
#include <QWidget>
#include <algorithm>

namespace {

constexpr const char* ControlIdProperty = "controlId";

// An edit box of the page: WS_CHILD | WS_VISIBLE | ES_CENTER | ES_WANTRETURN, no text limit.
QLineEdit* CreateEditBox(QWidget* parent, int id, const QRect& rect) {
    auto* edit = new QLineEdit(parent);
    edit->setProperty(ControlIdProperty, id);
    edit->setAlignment(Qt::AlignCenter);
    edit->setGeometry(rect);
    edit->show();
    return edit;
}

// A list of the page: WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY, unsorted.
void SetUpList(CListBoxWidget* list, int id, const QRect& rect) {
    list->setProperty(ControlIdProperty, id);
    list->SetControlId(id);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setGeometry(rect);
    list->show();
}

// Clearing an edit box the way the page always has: select all, scroll to the caret, clear.
void ClearEditBox(QLineEdit* edit) {
    if (edit == nullptr) {
        return;
    }
    edit->selectAll();
    edit->del();
}

}  // namespace

int ControlId(const QWidget* widget) {
    return widget != nullptr ? widget->property(ControlIdProperty).toInt() : 0;
}

MacroControls::MacroControls(KeyNameFunction keyName) : keyName_(keyName) {}

MacroControls::~MacroControls() {
    DestroyMacroControls();
}

void MacroControls::CreateMacroControls(QWidget* parent, const MacroControlRects& rects,
                                        const QString& fireTimeText) {
    DestroyMacroControls();
    parent_ = parent;
    editRepeat_ = CreateEditBox(parent, IdEditRepeat, rects.editRepeat);
    editTrack_ = CreateEditBox(parent, IdEditTrack, rects.editTrack);
    editFireTime_ = CreateEditBox(parent, IdEditFireTime, rects.editFireTime);
    editFireTime_->setText(fireTimeText);
    fireTimeShown_ = fireTimeText;
    editMacroName_ = CreateEditBox(parent, IdEditMacroName, rects.editMacroName);
    macroList_ = new CListBoxWidget(parent, LBS_NOTIFY);
    SetUpList(macroList_, IdMacroList, rects.macroList);
    stepList_ = new CEditableListBox(parent, LBS_NOTIFY);
    SetUpList(stepList_, IdStepList, rects.stepList);
    QObject::connect(macroList_, &CListBoxWidget::SelChange, macroList_,
                     [this] { OnMacroListSelChange(); });
    QObject::connect(stepList_, &CListBoxWidget::DblClk, stepList_, [this] { OnStepListDblClk(); });
}

void MacroControls::DestroyMacroControls() {
    // Step list first: its edit box may still report to the page while it goes.
    delete stepList_.data();
    delete macroList_.data();
    delete editMacroName_.data();
    delete editFireTime_.data();
    delete editTrack_.data();
    delete editRepeat_.data();
    parent_ = nullptr;
}

void MacroControls::ShowFireTime(const QString& text) {
    if (editFireTime_ == nullptr || text == fireTimeShown_) {
        return;
    }
    editFireTime_->setText(text);
    fireTimeShown_ = text;
}

void MacroControls::AddMacroStepLine(std::span<const MacroRecord> table, int m, int s) {
    if (m < 0 || static_cast<std::size_t>(m) >= table.size() || s < 0 || s >= MacroMaxSteps) {
        return;
    }
    const MacroRecord& r = table[static_cast<std::size_t>(m)];
    if (s > 0 && stepList_ != nullptr) {
        stepList_->AddString(DelayLineText(r.stepDelay[static_cast<std::size_t>(s - 1)]));
    }
    // The counters count also while the page (and so the list) is away: a recording goes on
    // then, and its press limit rests on them.
    const StepLine line = BuildStepLine(r, s, keyName_);
    if (line.kind == StepLineKind::KeyDown) {
        ++g_keyDownSteps;
    } else if (line.kind == StepLineKind::KeyUp) {
        ++g_keyUpSteps;
    } else if (line.kind == StepLineKind::MediaError) {
        platform::ShowMessage(MediaStepErrorMessage());
    }
    if (stepList_ == nullptr) {
        return;  // the page is away (or went while the message was open)
    }
    stepList_->AddString(line.text);
    stepList_->SetCurSel(g_recording != 0 ? stepList_->GetCount() - 1 : g_stepListSel);
}

void MacroControls::EmptyStepList() {
    if (stepList_ == nullptr) {
        return;
    }
    while (stepList_->GetCount() > 0) {
        stepList_->DeleteString(stepList_->GetCount() - 1);
    }
}

void MacroControls::InvalidateWindow() {
    if (parent_ != nullptr) {
        parent_->window()->update();
    }
}

void MacroControls::ShowMacroSteps(int m) {
    g_keyDownSteps = 0;
    g_keyUpSteps = 0;
    EmptyStepList();
    if (m >= 0 && m < UserMacroSlots) {
        const MacroRecord& r = g_macros[static_cast<std::size_t>(m)];
        // A count beyond the step arrays (a damaged file) shows the steps that exist.
        const int steps = std::min<int>(r.stepCount, MacroMaxSteps);
        if (steps != 0) {
            for (int s = 0; s < steps; ++s) {
                AddMacroStepLine(g_macros, m, s);
            }
            if (editRepeat_ != nullptr) {
                if ((r.mode & MacroModeMask) != 0) {
                    editRepeat_->setText(QStringLiteral("1"));
                    editRepeat_->setEnabled(false);
                } else {
                    editRepeat_->setText(platform::FormatInt(r.repeatCount));
                    editRepeat_->setEnabled(true);
                }
            }
        }
    }
    InvalidateWindow();
}

void MacroControls::ShowSelectedMacro() {
    if (macroList_ == nullptr) {
        return;
    }
    g_curMacro = macroList_->GetCurSel();
    if (editMacroName_ != nullptr) {
        editMacroName_->setText(macroList_->GetText(g_curMacro));
    }
    // With no line selected there is no macro to show: the step list stays empty.
    if (g_curMacro < 0 || g_curMacro >= UserMacroSlots || IsMacroLocked(g_curMacro)) {
        EmptyStepList();
        return;
    }
    ShowMacroSteps(g_curMacro);
}

void MacroControls::RefillMacroList() {
    if (macroList_ == nullptr) {
        return;
    }
    macroList_->ResetContent();
    // A negative count (a damaged list file) is an empty list, here as everywhere.
    const int count = std::clamp<int>(g_macroCount, 0, MaxUserMacros);
    for (int i = 0; i < count; ++i) {
        macroList_->AddString(MacroName(g_macros[static_cast<std::size_t>(i)]));
    }
    if (count != 0) {
        // A selection beyond the list moves to its last line; no selection (-1) stays none.
        const int last = std::max(macroList_->GetCount() - 1, 0);
        g_curMacro = std::min(g_curMacro, last);
        macroList_->SetCurSel(g_curMacro);
        ShowSelectedMacro();
    } else {
        ClearEditBox(editMacroName_);
        macroList_->ResetContent();
        EmptyStepList();
    }
}

void MacroControls::OnMacroListSelChange() {
    ShowSelectedMacro();
}

void MacroControls::OnStepListDblClk() {
    if (stepList_ == nullptr) {
        return;
    }
    stepList_->setFocus(Qt::MouseFocusReason);
    if (::OnStepListDblClk(stepList_->GetCurSel(), stepList_->GetCount()).startEdit) {
        BeginStepEdit();
    }
}

void MacroControls::BeginStepEdit() {
    if (stepList_ != nullptr) {
        ui::SendWindowMessage(stepList_, ui::WM_CHAR, 1, 0);
    }
}
