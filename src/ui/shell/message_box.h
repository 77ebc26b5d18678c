// The message boxes of the running program: modal, an OK button, the application's name as
// caption, owned by the main window. Start-up installs one of these as the platform's message
// service. With ZELBO_MESSAGE_LOG=<file> in the environment the texts are appended to that file
// instead and the call returns at once, so that runs without a person in front of them (the
// end-to-end tests) never wait on a box. User-interface thread only.
#pragma once

#include "platform/message_service.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

namespace ui {

// The caption of every message box (the framework's application name).
inline constexpr char ApplicationName[] = "KVE_Zelbo";

class MessageBoxService final : public platform::MessageService {
public:
    explicit MessageBoxService(QWidget* owner) : owner_(owner) {}
    void Show(const QString& text) override;

private:
    QPointer<QWidget> owner_;
};

// One text per line, appended as UTF-8; line breaks inside a text are written as "\n".
class MessageLogService final : public platform::MessageService {
public:
    explicit MessageLogService(QString path) : path_(std::move(path)) {}
    void Show(const QString& text) override;

private:
    QString path_;
};

// The service the environment asks for: the message log when ZELBO_MESSAGE_LOG names a file,
// else real boxes owned by owner.
std::unique_ptr<platform::MessageService> MakeMessageService(QWidget* owner);

}  // namespace ui
