// Window messages between the program's windows, as the design sends them: a message number
// with its two parameters. SendWindowMessage delivers at once on the caller's thread (the
// receiver's handler runs before it returns); PostWindowMessage queues it for the receiver's
// thread. A receiving widget overrides event(), picks out WindowMessageEvent and dispatches
// it by its own message table. User-interface thread only, except PostWindowMessage.
#pragma once

#include <QEvent>
#include <QObject>
#include <cstdint>

// The main window's title: a second copy, the keyboard hook and the group popup find the
// window by it.
inline constexpr char MainWindowTitle[] = "ZP-3907 Gaming mouse";

namespace ui {

constexpr unsigned WM_CHAR = 0x0102;
constexpr unsigned WM_USER = 0x0400;
constexpr unsigned WM_DEVICECHANGE = 0x0219;
constexpr unsigned WM_NCLBUTTONDOWN = 0x00A1;
constexpr unsigned WM_SYSCOMMAND = 0x0112;
constexpr unsigned WM_POWERBROADCAST = 0x0218;

class WindowMessageEvent final : public QEvent {
public:
    WindowMessageEvent(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
        : QEvent(EventType()), message_(message), wParam_(wParam), lParam_(lParam) {}

    static QEvent::Type EventType();

    unsigned message() const { return message_; }
    std::uintptr_t wParam() const { return wParam_; }
    std::intptr_t lParam() const { return lParam_; }
    // What the receiver's handler returns to a SendWindowMessage caller.
    void setResult(std::intptr_t result) { result_ = result; }
    std::intptr_t result() const { return result_; }

private:
    unsigned message_;
    std::uintptr_t wParam_;
    std::intptr_t lParam_;
    std::intptr_t result_ = 0;
};

// SendMessage: synchronous; returns the handler's result (0 when nobody handled it).
std::intptr_t SendWindowMessage(QObject* target, unsigned message, std::uintptr_t wParam = 0,
                                std::intptr_t lParam = 0);
// PostMessage: queued for the target's thread; safe from any thread.
void PostWindowMessage(QObject* target, unsigned message, std::uintptr_t wParam = 0,
                       std::intptr_t lParam = 0);

}  // namespace ui
