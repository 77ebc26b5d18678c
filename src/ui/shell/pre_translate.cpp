// The pre-translation's three branches (recording, right click, tail) and the record button.
#include "ui/shell/pre_translate.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "macro/keyboard_recording.h"
#include "macro/macro_record.h"
#include "platform/virtual_keys.h"
#include "ui/controls/editable_list_box.h"
#include "ui/controls/kve_menu.h"
#include "ui/controls/list_box.h"
#include "ui/controls/macro_controls.h"
#include "ui/controls/menu_resources.h"
#include "ui/controls/program_menus.h"
#include "ui/shell/display_query.h"
#include "ui/shell/window_message.h"
#include "ui/shell/window_state.h"

namespace ui {
namespace {

constexpr std::uint8_t VK_LMENU = 0xA4;
constexpr std::uint8_t VK_RMENU = 0xA5;

// A list's client area in screen coordinates, on the window's place as the X server has it,
// where the pointer's screen position comes from.
QRect ScreenClientRect(const CListBoxWidget& list) {
    const QWidget* client = list.viewport();
    const QWidget* window = client->window();
    return QRect(ScreenPlace(*window) + client->mapTo(window, QPoint(0, 0)), client->size());
}

// The line of list under the point, and the scroll position it was read with.
int HitTestList(const CListBoxWidget& list, const QPoint& pt) {
    g_hitListScroll = list.verticalScrollBar()->value();
    return ListRowAt(g_hitListScroll, list.GetItemHeight(), ScreenClientRect(list).top(), pt.y());
}

}  // namespace

std::uint8_t VirtualKeyOf(const QKeyEvent& event) {
    if (event.nativeScanCode() != 0 || event.nativeVirtualKey() != 0) {
        if (const std::uint8_t vk =
                platform::VirtualKeyFromX11(event.nativeScanCode(), event.nativeVirtualKey())) {
            return vk;
        }
    }
    return platform::VirtualKeyFromQtKey(event.key(),
                                         event.modifiers().testFlag(Qt::KeypadModifier));
}

std::uint32_t KeyMessageOf(const QKeyEvent& event, std::uint8_t vk) {
    const bool press = event.type() == QEvent::KeyPress;
    const bool system = vk == VK_LMENU || vk == VK_RMENU || vk == VK_F10 ||
                        event.modifiers().testFlag(Qt::AltModifier);
    if (system) {
        return press ? WM_SYSKEYDOWN : WM_SYSKEYUP;
    }
    return press ? WM_KEYDOWN : WM_KEYUP;
}

std::unique_ptr<platform::KeyboardGrab> MakeWindowKeyboardGrab() {
    xcb_connection_t* connection = nullptr;
    if (auto* x11 = qGuiApp != nullptr
                        ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                        : nullptr) {
        connection = x11->connection();
    }
    return platform::MakeX11KeyboardGrab(connection);
}

PreTranslator::PreTranslator(QWidget* window, ControlsSource controls,
                             std::unique_ptr<platform::KeyboardGrab> grab)
    : window_(window), controls_(std::move(controls)), grab_(std::move(grab)) {
    if (!grab_) {
        grab_ = platform::MakeX11KeyboardGrab(nullptr);
    }
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->installEventFilter(this);
    }
}

PreTranslator::~PreTranslator() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->removeEventFilter(this);
    }
    if (g_recording != 0) {
        EndRecording();
    }
    grab_->Release();
}

bool PreTranslator::eventFilter(QObject* watched, QEvent* event) {
    return PreTranslateMessage(watched, event);
}

bool PreTranslator::IsOwnWidget(const QObject* receiver) const {
    if (window_ == nullptr || receiver == nullptr || !receiver->isWidgetType()) {
        return false;  // the toolkit's window objects see each event before the widget does
    }
    return static_cast<const QWidget*>(receiver)->window() == window_;
}

bool PreTranslator::PreTranslateMessage(QObject* receiver, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return IsOwnWidget(receiver) && OnKeyEvent(*static_cast<QKeyEvent*>(event));
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::RightButton || g_recording != 0 ||
                g_page.load() != PageAdvanced || !IsOwnWidget(receiver)) {
                return false;
            }
            const QPoint pos = mouse->globalPosition().toPoint();
            if (handledRightUp_ && mouse->timestamp() == lastRightUpTime_ &&
                pos == lastRightUpPos_) {
                return false;  // the release a child ignored, handed on to its parent
            }
            handledRightUp_ = true;
            lastRightUpTime_ = mouse->timestamp();
            lastRightUpPos_ = pos;
            OnRightButtonUp(pos);
            return false;  // then delivered as always
        }
        case QEvent::Hide:
            if (receiver == window_) {
                StopRunningRecording();
            }
            return false;
        case QEvent::WindowStateChange:
            if (receiver == window_ && window_->isMinimized()) {
                StopRunningRecording();
            }
            return false;
        default:
            return false;
    }
}

bool PreTranslator::OnKeyEvent(QKeyEvent& event) {
    // The toolkit reports a held key's repeats as releases and presses; the key stays down.
    if (event.type() == QEvent::KeyRelease && event.isAutoRepeat()) {
        return g_recording != 0;
    }
    const std::uint8_t vk = VirtualKeyOf(event);
    if (g_recording != 0) {
        if (vk != 0) {
            MacroControls* controls = controls_ ? controls_() : nullptr;
            RecordKeyMessage(KeyMessageOf(event, vk), vk, [controls](int macro, int step) {
                if (controls != nullptr) {
                    controls->AddMacroStepLine(g_macros, macro, step);
                }
            });
        }
        // Every key of a recording is the recording's: no widget acts on it, as no other
        // program receives it.
        return true;
    }
    return vk != 0 && TailConsumesKey(KeyMessageOf(event, vk), vk);
}

void PreTranslator::ShowMenuAndPost(QMenu* menu, const QPoint& screenPos) {
    const int id = TrackPopupMenu(menu, screenPos);
    if (id > 0 && window_ != nullptr) {
        PostWindowMessage(window_, WM_COMMAND, static_cast<std::uintptr_t>(id));
    }
}

void PreTranslator::OnRightButtonUp(const QPoint& pt) {
    MacroControls* controls = controls_ ? controls_() : nullptr;
    if (controls == nullptr || controls->stepList() == nullptr ||
        controls->macroList() == nullptr) {
        return;
    }
    QPointer<CListBoxWidget> names = controls->macroList();
    QPointer<CEditableListBox> steps = controls->stepList();
    g_cmdMacro = names->GetCurSel();

    // The step list: the line at the pointer's height is selected, whether or not the pointer
    // is over the list.
    const int stepRow = HitTestList(*steps, pt);
    g_stepListSel = stepRow;
    steps->SetCurSel(stepRow);
    g_hitListCount = steps->GetCount();
    if (ScreenClientRect(*steps).contains(pt) &&
        (stepRow < g_hitListCount || g_hitListCount == 0)) {
        if (IsMacroLocked(g_cmdMacro)) {
            return;  // a locked macro's steps have no menu
        }
        ShowMenuAndPost(g_menuMacro.GetSubMenu(0), pt);
        if (names == nullptr || steps == nullptr) {
            return;  // the page went while the menu was open
        }
    }

    const int nameRow = HitTestList(*names, pt);
    g_stepListSel = nameRow;
    g_hitListCount = names->GetCount();
    if (ScreenClientRect(*names).contains(pt) && nameRow < g_hitListCount) {
        names->SetCurSel(nameRow);
        controls->ShowSelectedMacro();
        CKveMenu menu;
        menu.Attach(LoadMenuResource(MenuMacroList));
        menu.itemCount = 0;
        menu.ChangeMenuItem(menu.menu(), false);
        ShowMenuAndPost(menu.GetSubMenu(0), pt);
        if (names == nullptr || steps == nullptr) {
            return;
        }
    }
    RefreshCommandState(steps->GetCurSel(), names->GetCurSel());
}

void PreTranslator::OnRecordButton() {
    MacroControls* controls = controls_ ? controls_() : nullptr;
    if (controls == nullptr || controls->stepList() == nullptr ||
        controls->macroList() == nullptr) {
        return;  // the button exists only on the advanced page
    }
    controls->stepList()->setFocus(Qt::OtherFocusReason);
    CListBoxWidget& names = *controls->macroList();
    const int s = std::max(names.GetCurSel(), 0);
    if (names.GetCount() < 1 || IsMacroLocked(s)) {
        return;
    }
    if (g_recording == 0) {
        StartRecording(s, names.GetText(s));
        if (g_recording == 0) {
            return;  // no user slot
        }
        if (window_ != nullptr && window_->windowHandle() != nullptr) {
            grab_->Grab(static_cast<std::uint32_t>(window_->winId()));
        }
        if (QLineEdit* repeat = controls->editRepeat()) {
            repeat->setText(QStringLiteral("1"));
            repeat->setEnabled(false);
        }
        controls->stepList()->ResetContent();
    } else {
        EndRecording();
    }
    if (window_ != nullptr) {
        window_->update();  // the button's caption follows g_recording
    }
}

void PreTranslator::StopRunningRecording() {
    if (g_recording == 0) {
        return;
    }
    EndRecording();
    if (window_ != nullptr) {
        window_->update();
    }
}

void PreTranslator::EndRecording() {
    StopRecording();
    grab_->Release();
}

}  // namespace ui
