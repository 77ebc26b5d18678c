#include "ui/shell/dialogs.h"

#include <QApplication>
#include <QColor>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>

#include "platform/message_service.h"

namespace ui {

QStringList NameFiltersOf(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty()) {
            break;  // the "||" that ends the list
        }
        const QString& label = parts[i];
        QString pattern = parts[i + 1];
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        // A label that already ends in its pattern, as "All Files(*.ini)" does, is shown as it
        // is (Qt reads the pattern from there); any other gets the pattern appended.
        const QString own = QLatin1Char('(') + parts[i + 1] + QLatin1Char(')');
        if (label.endsWith(own)) {
            filters.append(label.chopped(own.size()) + QLatin1Char('(') + pattern +
                           QLatin1Char(')'));
        } else {
            filters.append(label + QStringLiteral(" (") + pattern + QLatin1Char(')'));
        }
    }
    return filters;
}

void EndModalBoxes() {
    platform::RefuseBoxes(true);
    // Each close ends that box's own loop; a box that would not go must not hold this one.
    constexpr int MaxNestedBoxes = 32;
    for (int i = 0; i < MaxNestedBoxes; ++i) {
        QWidget* menu = QApplication::activePopupWidget();
        if (menu == nullptr) {
            break;
        }
        menu->close();
    }
    for (int i = 0; i < MaxNestedBoxes; ++i) {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) {
            break;
        }
        // done, not reject: the warning box refuses Esc and its close command.
        if (auto* dialog = qobject_cast<QDialog*>(box)) {
            dialog->done(0);
        } else {
            box->close();
        }
    }
}

std::optional<QString> QtDialogService::GetFileName(const platform::FileDialogRequest& request) {
    QFileDialog dialog(owner_.data());
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!request.initialDir.isEmpty()) {
        dialog.setDirectory(request.initialDir);
    }
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    const QStringList filters = NameFiltersOf(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
    }
    if (!request.defaultExt.isEmpty()) {
        dialog.setDefaultSuffix(request.defaultExt);
    }
    if (!request.open && (request.flags & platform::OFN_OVERWRITEPROMPT) == 0) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

std::optional<std::uint32_t> QtDialogService::ChooseColor(std::uint32_t initial) {
    const QColor start(static_cast<int>(initial & 0xFF), static_cast<int>((initial >> 8) & 0xFF),
                       static_cast<int>((initial >> 16) & 0xFF));
    const QColor chosen = QColorDialog::getColor(start, owner_.data());
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(chosen.red()) |
           (static_cast<std::uint32_t>(chosen.green()) << 8) |
           (static_cast<std::uint32_t>(chosen.blue()) << 16);
}

}  // namespace ui
