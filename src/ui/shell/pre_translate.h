// The main window's message pre-translation: it sees the key and mouse events of the window and
// its child widgets before they are delivered. While a macro is recorded every key becomes the
// recording's (and the keyboard is grabbed for the window); otherwise a right click over the
// advanced page opens the step list's or the macro list's context menu, and Esc, Enter and F10
// never act on the window. The record button starts and stops the recording. The chosen menu
// command is posted to the window as WM_COMMAND, so it runs after the click was handled.
// User-interface thread only.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/keyboard_grab.h"

class MacroControls;
class QKeyEvent;
class QMenu;
class QWidget;

namespace ui {

inline constexpr unsigned WM_COMMAND = 0x0111;

// The Windows virtual-key code of a key event, as a low-level keyboard hook reports it (left and
// right modifiers apart); 0 for a key that has none.
std::uint8_t VirtualKeyOf(const QKeyEvent& event);
// The key message of a key event: WM_KEYDOWN / WM_KEYUP, or the WM_SYS... pair for Alt, F10
// and keys pressed while Alt is held.
std::uint32_t KeyMessageOf(const QKeyEvent& event, std::uint8_t vk);

// The grab of the toolkit's X11 connection, or one that never grabs where there is none.
std::unique_ptr<platform::KeyboardGrab> MakeWindowKeyboardGrab();

class PreTranslator final : public QObject {
public:
    using ControlsSource = std::function<MacroControls*()>;

    // window: the main window (its child widgets' events are its own); controls: the macro
    // editor's controls, whose windows exist only while the advanced page shows. Installs
    // itself as the application's event filter.
    PreTranslator(QWidget* window, ControlsSource controls,
                  std::unique_ptr<platform::KeyboardGrab> grab);
    // Ends a recording that still runs (the keyboard is given back).
    ~PreTranslator() override;

    // True when the event is consumed.
    bool PreTranslateMessage(QObject* receiver, QEvent* event);

    // Advanced-page button 4.
    void OnRecordButton();
    // Ends a recording that still runs: the window hid or went to the task bar (the keyboard is
    // not kept from every program while nobody can see or stop it), or the macro list is about
    // to be read afresh (the keys would land in whichever macro the file puts in that slot).
    void StopRunningRecording();

    const platform::KeyboardGrab& grab() const { return *grab_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsOwnWidget(const QObject* receiver) const;
    bool OnKeyEvent(QKeyEvent& event);
    void OnRightButtonUp(const QPoint& screenPos);
    void ShowMenuAndPost(QMenu* menu, const QPoint& screenPos);
    void EndRecording();

    QPointer<QWidget> window_;
    ControlsSource controls_;
    std::unique_ptr<platform::KeyboardGrab> grab_;
    // The last right button release handled: the same release handed on to a parent widget
    // is not a second click.
    std::uint64_t lastRightUpTime_ = 0;
    QPoint lastRightUpPos_;
    bool handledRightUp_ = false;
};

}  // namespace ui
