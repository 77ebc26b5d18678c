// The real file and colour dialogs, owned by the main window: start-up installs one of these as
// the platform's dialog service (platform/dialog_service.h). User-interface thread only.
#pragma once

#include "platform/dialog_service.h"

#include <QPointer>
#include <QWidget>

namespace ui {

class QtDialogService final : public platform::DialogService {
public:
    explicit QtDialogService(QWidget* owner) : owner_(owner) {}
    std::optional<QString> GetFileName(const platform::FileDialogRequest& request) override;
    std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) override;

private:
    QPointer<QWidget> owner_;
};

// "Text|*.a|Text|*.b||" as Qt's name filters: "Text (*.a)", "Text (*.b)"; a label that already
// ends in its pattern stays as it is ("All Files(*.ini)|*.ini||": "All Files(*.ini)").
QStringList NameFiltersOf(const QString& filter);

// The run ends while boxes may be open (the mouse went away): every open menu and modal box is
// closed, innermost first (a box ends with 0, a file or colour dialog as cancelled), and no box
// opens any more (platform::RefuseBoxes), so nothing is left on screen for the user to answer.
void EndModalBoxes();

}  // namespace ui
