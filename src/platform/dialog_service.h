// File and colour dialogs. The program asks for one through this seam; the window installs the
// real dialogs at start-up, tests install a scripted service, and without any service every
// dialog answers "cancel" at once, so no test can ever block on a dialog. Called on the
// user-interface thread.
#pragma once

#include <QString>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace platform {

// OPENFILENAME flags the program passes (the dialogs honour the ones that mean something here).
inline constexpr unsigned OFN_READONLY = 0x0001;
inline constexpr unsigned OFN_OVERWRITEPROMPT = 0x0002;
inline constexpr unsigned OFN_HIDEREADONLY = 0x0004;

// What a file dialog was asked with, as the program's file-dialog class takes it.
struct FileDialogRequest {
    bool open = true;    // an open dialog; false: save as
    QString defaultExt;  // appended (with a dot) to a name typed without one; may be empty
    QString fileName;    // the name the dialog starts with; may be empty
    unsigned flags = 0;  // OFN_* flags
    QString filter;      // "Text|*.ext|Text|*.ext||"
    QString initialDir;  // the folder the dialog opens in; empty for the default
};

class DialogService {
public:
    virtual ~DialogService() = default;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> GetFileName(const FileDialogRequest& request) = 0;
    // The chosen colour as 0x00BBGGRR, or nothing when the user cancelled.
    virtual std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) = 0;
};

// Answers from queues filled by a test and keeps every request. An empty queue cancels.
class ScriptedDialogService final : public DialogService {
public:
    std::optional<QString> GetFileName(const FileDialogRequest& request) override;
    std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) override;

    void QueueFileName(std::optional<QString> answer);
    void QueueColor(std::optional<std::uint32_t> answer);
    std::vector<FileDialogRequest> FileRequests() const;
    std::vector<std::uint32_t> ColorRequests() const;

private:
    mutable std::mutex mutex_;
    std::deque<std::optional<QString>> fileAnswers_;
    std::deque<std::optional<std::uint32_t>> colorAnswers_;
    std::vector<FileDialogRequest> fileRequests_;
    std::vector<std::uint32_t> colorRequests_;
};

// Through the service in force; without one, or while boxes are refused, cancelled.
std::optional<QString> ShowFileDialog(const FileDialogRequest& request);
std::optional<std::uint32_t> ShowColorDialog(std::uint32_t initial);
// Installs a service; nullptr removes it. Returns the one that was in force.
DialogService* SetDialogService(DialogService* service);

}  // namespace platform
