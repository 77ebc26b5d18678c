#include "platform/message_service.h"

#include <atomic>
#include <cstdio>

namespace platform {
namespace {

std::atomic<MessageService*> g_messageService{nullptr};
std::atomic<bool> g_boxesRefused{false};

}  // namespace

void RecordingMessageService::Show(const QString& text) {
    std::lock_guard lock(mutex_);
    messages_.append(text);
}

QStringList RecordingMessageService::Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

void RecordingMessageService::Clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
}

void ShowMessage(const QString& text) {
    MessageService* service = g_messageService.load();
    if (service != nullptr && !BoxesRefused()) {
        service->Show(text);
        return;
    }
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

MessageService* SetMessageService(MessageService* service) {
    return g_messageService.exchange(service);
}

void RefuseBoxes(bool refuse) {
    g_boxesRefused = refuse;
}

bool BoxesRefused() {
    return g_boxesRefused.load();
}

}  // namespace platform
