#include "platform/dialog_service.h"

#include <atomic>

#include "platform/message_service.h"

namespace platform {
namespace {

std::atomic<DialogService*> g_dialogService{nullptr};

template <typename T>
std::optional<T> TakeFront(std::deque<std::optional<T>>& queue) {
    if (queue.empty() || !queue.front().has_value()) {
        if (!queue.empty()) {
            queue.pop_front();
        }
        return std::nullopt;
    }
    T answer = std::move(*queue.front());
    queue.pop_front();
    return answer;
}

}  // namespace

std::optional<QString> ScriptedDialogService::GetFileName(const FileDialogRequest& request) {
    std::lock_guard lock(mutex_);
    fileRequests_.push_back(request);
    return TakeFront(fileAnswers_);
}

std::optional<std::uint32_t> ScriptedDialogService::ChooseColor(std::uint32_t initial) {
    std::lock_guard lock(mutex_);
    colorRequests_.push_back(initial);
    return TakeFront(colorAnswers_);
}

void ScriptedDialogService::QueueFileName(std::optional<QString> answer) {
    std::lock_guard lock(mutex_);
    fileAnswers_.push_back(std::move(answer));
}

void ScriptedDialogService::QueueColor(std::optional<std::uint32_t> answer) {
    std::lock_guard lock(mutex_);
    colorAnswers_.push_back(answer);
}

std::vector<FileDialogRequest> ScriptedDialogService::FileRequests() const {
    std::lock_guard lock(mutex_);
    return fileRequests_;
}

std::vector<std::uint32_t> ScriptedDialogService::ColorRequests() const {
    std::lock_guard lock(mutex_);
    return colorRequests_;
}

std::optional<QString> ShowFileDialog(const FileDialogRequest& request) {
    if (BoxesRefused()) {
        return std::nullopt;
    }
    if (DialogService* service = g_dialogService.load()) {
        return service->GetFileName(request);
    }
    return std::nullopt;
}

std::optional<std::uint32_t> ShowColorDialog(std::uint32_t initial) {
    if (BoxesRefused()) {
        return std::nullopt;
    }
    if (DialogService* service = g_dialogService.load()) {
        return service->ChooseColor(initial);
    }
    return std::nullopt;
}

DialogService* SetDialogService(DialogService* service) {
    return g_dialogService.exchange(service);
}

}  // namespace platform
