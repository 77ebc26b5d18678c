#include "ui/shell/message_box.h"

#include <QMessageBox>

#include "platform/regular_file.h"

namespace ui {

void MessageBoxService::Show(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(ApplicationName), text,
                    QMessageBox::Ok, owner_.data());
    box.exec();
}

void MessageLogService::Show(const QString& text) {
    QString line = text;
    line.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    // A file that cannot be written loses the line; the run goes on, as it does after a box.
    platform::AppendToRegularFile(path_, (line + QLatin1Char('\n')).toUtf8());
}

std::unique_ptr<platform::MessageService> MakeMessageService(QWidget* owner) {
    const QString logPath = qEnvironmentVariable("ZELBO_MESSAGE_LOG");
    if (!logPath.isEmpty()) {
        return std::make_unique<MessageLogService>(logPath);
    }
    return std::make_unique<MessageBoxService>(owner);
}

}  // namespace ui
