// The macro commands' view of the advanced page: MacroPageView over the page's six child
// controls (MacroControls) and the window that holds them. While the controls' windows do not
// exist (another page is shown) every list reads as empty and every change goes nowhere.
// User-interface thread only.
#pragma once

#include "macro/macro_commands.h"

#include <QPointer>

class MacroControls;
class QWidget;

namespace ui {

class MacroControlsView final : public MacroPageView {
public:
    MacroControlsView(MacroControls* controls, QWidget* window)
        : controls_(controls), window_(window) {}

    int NameListCount() const override;
    int NameListSelection() const override;
    QString NameLine(int line) const override;
    void SelectName(int line) override;
    void AddName(const QString& name) override;
    void DeleteName(int line) override;
    void EmptyNameList() override;
    void FocusNameList() override;
    QString NameBoxText() const override;
    void SetNameBoxText(const QString& text) override;
    QString RepeatBoxText() const override;
    void SetRepeatBoxText(const QString& text) override;
    void EnableRepeatBox(bool enabled) override;
    QString TrackBoxText() const override;
    void SetTrackBoxText(const QString& text) override;
    void EnableTrackBox(bool enabled) override;
    int StepListCount() const override;
    int StepListSelection() const override;
    QString StepLine(int line) const override;
    void EmptyStepList() override;
    void BeginStepEdit() override;
    void ShowMacroSteps(int macro) override;
    void RefillMacroList() override;
    void InvalidateWindow() override;

private:
    MacroControls* controls_;
    QPointer<QWidget> window_;
};

}  // namespace ui
