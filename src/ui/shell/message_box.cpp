#include "ui/shell/message_box.h"

#include <QFile>
#include <QMessageBox>

namespace ui {

void MessageBoxService::Show(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(ApplicationName), text,
                    QMessageBox::Ok, owner_.data());
    box.exec();
}

void MessageLogService::Show(const QString& text) {
    QFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return;  // the run goes on, as it does after a box
    }
    QString line = text;
    line.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    file.write((line + QLatin1Char('\n')).toUtf8());
}

std::unique_ptr<platform::MessageService> MakeMessageService(QWidget* owner) {
    const QString logPath = qEnvironmentVariable("ZELBO_MESSAGE_LOG");
    if (!logPath.isEmpty()) {
        return std::make_unique<MessageLogService>(logPath);
    }
    return std::make_unique<MessageBoxService>(owner);
}

}  // namespace ui
