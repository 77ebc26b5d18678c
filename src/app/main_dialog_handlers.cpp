// The window's handlers: each hands its work to the file that holds it. User-interface
// thread only.
#include "app/main_dialog.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDateTime>
#include <QEventLoop>
#include <QImage>
#include <QLineEdit>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>
#include <QWindowStateChangeEvent>
#include <mutex>
#include "app/core/mouse_access.h"
#include "common/log_file.h"
#include "common/paths.h"
#include "device/apply_settings.h"
#include "device/device_threads.h"
#include "device/discovery.h"
#include "device/power_apply.h"
#include "macro/macro_commands.h"
#include "macro/macro_file_reader.h"
#include "macro/macro_record.h"
#include "platform/clock.h"
#include "platform/message_service.h"
#include "platform/power_events.h"
#include "profile/config_store.h"
#include "profile/profile_settings.h"
#include "profile/profile_switch.h"
#include "ui/controls/editable_list_box.h"
#include "ui/controls/kve_menu.h"
#include "ui/controls/list_box.h"
#include "ui/controls/macro_controls.h"
#include "ui/controls/macro_controls_view.h"
#include "ui/controls/program_menus.h"
#include "ui/pages/click_dispatch.h"
#include "ui/pages/display_threads.h"
#include "ui/pages/page_painter.h"
#include "ui/popups/slot_popup.h"
#include "ui/shell/about_dlg.h"
#include "ui/shell/display_query.h"
#include "ui/shell/language_switch.h"
#include "ui/shell/pre_translate.h"
#include "ui/shell/system_menu.h"
#include "ui/shell/tray_icon.h"
#include "ui/shell/window_message.h"
#include "ui/shell/window_state.h"
#include "ui/skin/page_layouts.h"
#include "ui/skin/skin_font.h"
#include "ui/skin/skin_image_cache.h"
#include "ui/skin/window_shape.h"

namespace {

constexpr unsigned SC_MINIMIZE = 0xF020;
constexpr unsigned SC_CLOSE = 0xF060;
constexpr unsigned SC_ABOUT = 0x0010;  // the About item of the system menu
constexpr std::uintptr_t HTCAPTION = 2;

}  // namespace

// ---- handlers -----------------------------------------------------------------------------

void CKVE_ZelboDlg::OnSysCommand(unsigned id, std::intptr_t) {
    switch (id & 0xFFF0) {
        case SC_ABOUT: {
            CAboutDlg about(this);
            about.exec();
            return;
        }
        case SC_MINIMIZE:
            RememberPlace();
            showMinimized();
            return;
        case SC_CLOSE:
            OnClose();
            return;
        default:
            return;
    }
}

void CKVE_ZelboDlg::OnClose() {
    // Refused when the icon is there already; puts it back when it was lost.
    AddTrayIcon();
    HideToTray();
}

void CKVE_ZelboDlg::HideToTray() {
    RememberPlace();
    if (!ui::NotificationAreaAvailable()) {
        // No notification area to come back from: the window stays in the task bar, minimised.
        setWindowState(windowState() | Qt::WindowMinimized);
        hiddenToTray_ = false;
        if (!isVisible() && modalLoop_ != nullptr) {
            show();
        }
        return;
    }
    // Hidden first, then marked minimised: a window manager asked to iconify a window that
    // is going anyway answers late, and that late answer would minimise the window again
    // right after it was shown from the notification area.
    hide();
    setWindowState(windowState() | Qt::WindowMinimized);
    hiddenToTray_ = true;
}

void CKVE_ZelboDlg::contextMenuEvent(QContextMenuEvent* event) {
    // Only where the left button would drag the window, and not over a child control.
    if (event->reason() != QContextMenuEvent::Mouse || childAt(event->pos()) != nullptr ||
        !ui::IsCaptionPoint(g_page)) {
        event->ignore();
        return;
    }
    event->accept();
    ShowSystemMenu(event->globalPos());
}

void CKVE_ZelboDlg::ShowSystemMenu(QPoint screenPos) {
    const std::unique_ptr<QMenu> menu = ui::MakeSystemMenu(this);
    const int id = TrackPopupMenu(menu.get(), screenPos);
    if (id > 0) {
        ui::SendWindowMessage(this, ui::WM_SYSCOMMAND, static_cast<std::uintptr_t>(id), 0);
    }
}

std::intptr_t CKVE_ZelboDlg::OnNotifyIcon(std::uintptr_t iconId, std::intptr_t mouseMessage) {
    if (iconId != ui::TrayIconId) {
        return 1;
    }
    if (mouseMessage == ui::WM_LBUTTONDBLCLK) {
        OnTrayShow();
    } else if (mouseMessage == ui::WM_RBUTTONUP) {
        // The menu's only pop-up, at the pointer; the chosen item comes back as a command.
        if (QMenu* popup = g_menuTray.GetSubMenu(0)) {
            activateWindow();
            const int id = TrackPopupMenu(popup, QCursor::pos());
            if (id > 0) {
                OnCommand(static_cast<unsigned>(id));
            }
        }
    }
    return 0;
}

void CKVE_ZelboDlg::OnTrayShow() {
    ShowRestored();
}

void CKVE_ZelboDlg::RememberPlace() {
    if (isVisible() && !isMinimized()) {
        place_ = ui::ScreenPlace(*this);
    }
}

void CKVE_ZelboDlg::ShowRestored() {
    hiddenToTray_ = false;
    // Only a window that was away goes back to the place kept when it went: a shown one stays
    // where it is, wherever the user has moved it since. The place serves one return.
    const bool away = !isVisible() || isMinimized();
    const bool toKeptPlace = away && place_.has_value();
    const QPoint keptPlace = place_.value_or(QPoint());
    place_.reset();
    // Restored before it is mapped: a window mapped while still minimised comes up iconic, and
    // the restore then races the window manager's handling of that map.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    if (toKeptPlace) {
        setGeometry(QRect(keptPlace, size()));
    }
    show();
    raise();
    activateWindow();
}

void CKVE_ZelboDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) {
        return;
    }
    const bool wasMinimized =
        static_cast<QWindowStateChangeEvent*>(event)->oldState().testFlag(Qt::WindowMinimized);
    if (isMinimized()) {
        // Minimised by the window manager too (its button, a key, a panel): the place it left
        // from is the one to come back to, not one kept on an earlier way out.
        if (!wasMinimized && isVisible() && !place_.has_value()) {
            place_ = ui::ScreenPlace(*this);
        }
        return;
    }
    if (wasMinimized && isVisible()) {
        place_.reset();  // back by the window manager: it may be moved before it goes again
    }
    update();
}

void CKVE_ZelboDlg::OnNcLButtonDown(std::uintptr_t hitTest, std::intptr_t point) {
    // The skin drags the window by posting a press on the caption. The press may be over by now
    // (a quick click): a move started then would have the window follow the pointer with no
    // button held, until the next click. A release that comes after this look but before the
    // window manager takes the move reaches this window, and mouseReleaseEvent ends the move.
    if (hitTest != HTCAPTION) {
        return;
    }
    moveHandedOver_ = ui::StartWindowMoveWhileHeld(
        *this, QPoint(static_cast<std::int16_t>(point & 0xFFFF),
                      static_cast<std::int16_t>((point >> 16) & 0xFFFF)));
}

void CKVE_ZelboDlg::OnTrayExit() {
    DeleteTrayIcon();
    EndDialog(0);
}

std::intptr_t CKVE_ZelboDlg::OnDeviceChange(std::uintptr_t event, std::intptr_t header) {
    return ::OnDeviceChange(event, reinterpret_cast<const DeviceBroadcastHeader*>(header));
}

std::intptr_t CKVE_ZelboDlg::OnPowerBroadcast(std::uintptr_t event, std::intptr_t) {
    ApplySettingsOnPowerEvent(event);
    return 1;  // the default handling's answer: the request is granted
}

void CKVE_ZelboDlg::WatchPowerEvents() {
    if (power_) {
        return;
    }
    QObject* window = this;
    power_ = std::make_unique<platform::PowerEvents>([window](platform::PowerEvent event) {
        ui::SendWindowMessage(
            window, ui::WM_POWERBROADCAST,
            event == platform::PowerEvent::Suspend ? PBT_APMSUSPEND : PBT_APMRESUMEAUTOMATIC);
    });
    power_->Watch();  // no system bus: no notifications, and the program runs as ever
}

void CKVE_ZelboDlg::OnDrawItem(int controlId, DrawItemStruct* dis) {
    if (controlId == 0) {
        g_menuTray.DrawItem(dis);
    }
}

void CKVE_ZelboDlg::OnMeasureItem(int controlId, MeasureItemStruct* mis) {
    if (controlId == 0) {
        g_menuTray.MeasureItem(mis);
    }
}

void CKVE_ZelboDlg::OnLangChinese() {
    preTranslator_->StopRunningRecording();  // the language has its own macro list
    ui::SwitchLanguage(0, LanguageTarget());
}

void CKVE_ZelboDlg::OnLangEnglish() {
    preTranslator_->StopRunningRecording();  // the language has its own macro list
    ui::SwitchLanguage(1, LanguageTarget());
}

// Handlers of the pages, the macro editor and the lists: wired with their pieces.
void CKVE_ZelboDlg::OnPaint() {
    if (g_popupChoiceMade != 0) {
        g_popupChoiceMade = 0;
        CloseFunctionPopup();
    }
    // Whatever changed the fire time (its track, its buttons, a profile switch, an import)
    // repaints the page: the box beside the caption follows here.
    if (g_page == PageAdvanced && macroControls_) {
        macroControls_->ShowFireTime(ui::FireTimeText());
    }
    QPainter painter(this);
    if (isMinimized()) {
        ui::PaintMinimized(painter, m_hIcon, size());
        return;
    }
    painter.drawImage(0, 0,
                      ui::ComposePage(m_layouts, ui::WindowSkinImages(), g_strSkinDir, size()));
}
void CKVE_ZelboDlg::OnLButtonDown(unsigned, QPoint point) {
    ui::OnLButtonDown(*this, point);
}
void CKVE_ZelboDlg::OnLButtonUp(unsigned, QPoint point) {
    ui::OnLButtonUp(*this, point);
}
void CKVE_ZelboDlg::OnMouseMove(unsigned, QPoint point) {
    ui::OnMouseMove(*this, point);
}
std::int32_t CKVE_ZelboDlg::HitTestRects(const QPoint* pt, const ui::ButtonPos* rects, int last) {
    return ui::HitTestRects(*pt, rects, last);
}
void CKVE_ZelboDlg::OnMacroListSelChange() {
    if (macroControls_) {
        macroControls_->OnMacroListSelChange();
    }
}
void CKVE_ZelboDlg::OnStepListDblClk() {
    if (macroControls_) {
        macroControls_->OnStepListDblClk();
    }
}
std::intptr_t CKVE_ZelboDlg::OnStepEditDone(std::uintptr_t, std::intptr_t) {
    // The second report of one edit: applying the line then selected once more could only
    // split a delay again on a full macro and repeat its message.
    if (macroControls_ && macroControls_->stepList() != nullptr &&
        macroControls_->stepList()->EndAlreadyReported()) {
        return 0;
    }
    ui::MacroControlsView view(macroControls_.get(), this);
    MacroCommands(view).OnStepEditDone();
    return 0;
}
void CKVE_ZelboDlg::OnImportMacro() {
    ui::MacroControlsView view(macroControls_.get(), this);
    MacroCommands(view).OnImportMacro();
}
void CKVE_ZelboDlg::OnExportMacro() {
    ui::MacroControlsView view(macroControls_.get(), this);
    MacroCommands(view).OnExportMacro();
}
void CKVE_ZelboDlg::OnStepCommand(unsigned id) {
    ui::MacroControlsView view(macroControls_.get(), this);
    MacroCommands(view).OnStepCommand(id);
}

// Entry points of the pieces that the click dispatch reaches (filled in with each piece).
void CKVE_ZelboDlg::OpenFunctionPopup(int mainIndex) {
    ui::OpenFunctionPopup(*this, mainIndex);
}
void CKVE_ZelboDlg::CloseFunctionPopup() {
    ui::CloseFunctionPopup();
}
void CKVE_ZelboDlg::OnMacroButton(int advIndex) {
    if (advIndex == AdvRecord) {
        OnRecordButton();
        return;
    }
    ui::MacroControlsView view(macroControls_.get(), this);
    MacroCommands(view).OnMacroButton(advIndex);
}
void CKVE_ZelboDlg::OnRecordButton() {
    preTranslator_->OnRecordButton();
}
bool CKVE_ZelboDlg::PreTranslateMessage(QObject* receiver, QEvent* event) {
    return preTranslator_->PreTranslateMessage(receiver, event);
}
void CKVE_ZelboDlg::OnPickLedColor(int button) {
    ui::PickLedColor(button);
    update();  // also after a cancel
}
void CKVE_ZelboDlg::OnImportConfigIni() {
    if (ImportProfiles()) {
        update();
    }
}
void CKVE_ZelboDlg::OnExportConfigIni() {
    if (ExportProfiles()) {
        update();
    }
}
void CKVE_ZelboDlg::OnRestoreDefaults() {
    // The factory macros come back only where the macro list shows.
    const bool advancedPage = g_page == PageAdvanced;
    if (advancedPage) {
        preTranslator_->StopRunningRecording();
    }
    RestoreDefaults();
    if (advancedPage) {
        RestoreFactoryMacroList();
    }
    if (advancedPage && macroControls_) {
        macroControls_->RefillMacroList();
    }
    update();
}
void CKVE_ZelboDlg::StartLedPreviewThread() {
    const UiExecutor toUi = UiThread();
    QWidget* window = this;
    displayThreads_->StartLedPreview(ui::OneRepaintAtATime(toUi, [window] { window->update(); }));
}
