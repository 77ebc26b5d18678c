// Message boxes: modal, an OK button, the application's name as caption, owned by the main
// window. The core only asks for one through this seam; the window installs the real message
// box, tests install a recorder, and the end-to-end runs write the texts where they can be read.
// Called on the user-interface thread.
#pragma once

#include <QString>
#include <QStringList>
#include <mutex>

namespace platform {

class MessageService {
public:
    virtual ~MessageService() = default;
    // Blocks until the user closes the box.
    virtual void Show(const QString& text) = 0;
};

// Keeps every text, for tests.
class RecordingMessageService final : public MessageService {
public:
    void Show(const QString& text) override;
    QStringList Messages() const;
    void Clear();

private:
    mutable std::mutex mutex_;
    QStringList messages_;
};

// Shows a message through the service in force. Without one (a test that did not install
// any), the text goes to standard error.
void ShowMessage(const QString& text);
// Installs a service; nullptr removes it. Returns the one that was in force.
MessageService* SetMessageService(MessageService* service);

// While the program ends (its mouse went away) no new box may hold it up: a message then goes
// to standard error and a file or colour dialog answers "cancel" at once (dialog_service.h).
void RefuseBoxes(bool refuse);
bool BoxesRefused();

}  // namespace platform
