// The macro commands' view of the page's controls.
#include "ui/controls/macro_controls_view.h"

#include <QLineEdit>
#include <QWidget>

#include "ui/controls/editable_list_box.h"
#include "ui/controls/list_box.h"
#include "ui/controls/macro_controls.h"

namespace ui {

namespace {

void SetText(QLineEdit* edit, const QString& text) {
    if (edit != nullptr) {
        edit->setText(text);
    }
}

void Enable(QLineEdit* edit, bool enabled) {
    if (edit != nullptr) {
        edit->setEnabled(enabled);
    }
}

QString TextOf(const QLineEdit* edit) {
    return edit != nullptr ? edit->text() : QString();
}

}  // namespace

#define ZELBO_CONTROL(name) (controls_ != nullptr ? controls_->name() : nullptr)

int MacroControlsView::NameListCount() const {
    const CListBoxWidget* list = ZELBO_CONTROL(macroList);
    return list != nullptr ? list->GetCount() : 0;
}

int MacroControlsView::NameListSelection() const {
    const CListBoxWidget* list = ZELBO_CONTROL(macroList);
    return list != nullptr ? list->GetCurSel() : -1;
}

QString MacroControlsView::NameLine(int line) const {
    const CListBoxWidget* list = ZELBO_CONTROL(macroList);
    return list != nullptr ? list->GetText(line) : QString();
}

void MacroControlsView::SelectName(int line) {
    if (CListBoxWidget* list = ZELBO_CONTROL(macroList)) {
        list->SetCurSel(line);
    }
}

void MacroControlsView::AddName(const QString& name) {
    if (CListBoxWidget* list = ZELBO_CONTROL(macroList)) {
        list->AddString(name);
    }
}

void MacroControlsView::DeleteName(int line) {
    if (CListBoxWidget* list = ZELBO_CONTROL(macroList)) {
        list->DeleteString(line);
    }
}

void MacroControlsView::EmptyNameList() {
    if (CListBoxWidget* list = ZELBO_CONTROL(macroList)) {
        list->ResetContent();
    }
}

void MacroControlsView::FocusNameList() {
    if (CListBoxWidget* list = ZELBO_CONTROL(macroList)) {
        list->setFocus(Qt::OtherFocusReason);
    }
}

QString MacroControlsView::NameBoxText() const {
    return TextOf(ZELBO_CONTROL(editMacroName));
}

void MacroControlsView::SetNameBoxText(const QString& text) {
    SetText(ZELBO_CONTROL(editMacroName), text);
}

QString MacroControlsView::RepeatBoxText() const {
    return TextOf(ZELBO_CONTROL(editRepeat));
}

void MacroControlsView::SetRepeatBoxText(const QString& text) {
    SetText(ZELBO_CONTROL(editRepeat), text);
}

void MacroControlsView::EnableRepeatBox(bool enabled) {
    Enable(ZELBO_CONTROL(editRepeat), enabled);
}

QString MacroControlsView::TrackBoxText() const {
    return TextOf(ZELBO_CONTROL(editTrack));
}

void MacroControlsView::SetTrackBoxText(const QString& text) {
    SetText(ZELBO_CONTROL(editTrack), text);
}

void MacroControlsView::EnableTrackBox(bool enabled) {
    Enable(ZELBO_CONTROL(editTrack), enabled);
}

int MacroControlsView::StepListCount() const {
    const CEditableListBox* list = ZELBO_CONTROL(stepList);
    return list != nullptr ? list->GetCount() : 0;
}

int MacroControlsView::StepListSelection() const {
    const CEditableListBox* list = ZELBO_CONTROL(stepList);
    return list != nullptr ? list->GetCurSel() : -1;
}

QString MacroControlsView::StepLine(int line) const {
    const CEditableListBox* list = ZELBO_CONTROL(stepList);
    return list != nullptr ? list->GetText(line) : QString();
}

void MacroControlsView::EmptyStepList() {
    if (CEditableListBox* list = ZELBO_CONTROL(stepList)) {
        list->ResetContent();
    }
}

#undef ZELBO_CONTROL

void MacroControlsView::BeginStepEdit() {
    if (controls_ != nullptr) {
        controls_->BeginStepEdit();
    }
}

void MacroControlsView::ShowMacroSteps(int macro) {
    if (controls_ != nullptr) {
        controls_->ShowMacroSteps(macro);
    }
}

void MacroControlsView::RefillMacroList() {
    if (controls_ != nullptr) {
        controls_->RefillMacroList();
    }
}

void MacroControlsView::InvalidateWindow() {
    if (window_ != nullptr) {
        window_->update();
    }
}

}  // namespace ui
