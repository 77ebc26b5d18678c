// CKVE_ZelboDlg, the program's one window: a frameless, skinned dialog that lives for the whole
// run and whose modal loop is the program's only event loop. It brings the program up in
// OnInitDialog, dispatches window messages and menu commands to its On... handlers by its
// message table, owns the notification-area icon, and is the user-interface thread's queue for
// the worker threads (ui_executor.h). User-interface thread only, except the queue's Post.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "device/ui_executor.h"
#include "ui/pages/click_dispatch.h"
#include "ui/popups/slot_popup.h"
#include "ui/shell/window_message.h"
#include "ui/skin/page_layouts.h"

namespace ui {
class DisplayThreads;
class PreTranslator;
class TrayIcon;
struct LanguageSwitchTarget;
}  // namespace ui
namespace platform {
class PowerEvents;
}
class MacroControls;
struct DrawItemStruct;
struct MeasureItemStruct;

class QCloseEvent;
class QContextMenuEvent;
class QEventLoop;
class QMouseEvent;
class QPaintEvent;

// The clicks and the function popups reach the window through their own interfaces.
class CKVE_ZelboDlg final : public QDialog, public ui::ClickTarget, public ui::PopupOwner {
public:
    explicit CKVE_ZelboDlg(QWidget* parent = nullptr);
    ~CKVE_ZelboDlg() override;

    // Creates the window, runs OnInitDialog and then the modal loop, unless the initialisation
    // already ended the dialog. Returns the result given to EndDialog.
    int DoModal();
    // Ends the modal loop with result (at once when it runs, else before it starts).
    void EndDialog(int result);
    bool IsEnding() const override { return ending_; }

    // A second copy asked for the window (ShowWindow with SW_RESTORE): shown, restored, raised.
    void RestoreWindow();

    // The executor the worker threads hand their user-interface work to.
    UiExecutor UiThread() const;

    QWidget& Widget() override { return *this; }
    const ui::PageLayouts& layouts() const override { return m_layouts; }
    // The macro editor's controls (made at start-up).
    MacroControls* macroControls() const override { return macroControls_.get(); }

    // Notification-area icon.
    void AddTrayIcon();
    void DeleteTrayIcon();
    bool HasTrayIcon() const;

    // ---- initialisation ----
    bool OnInitDialog();
    void OnInitMenu(std::uint8_t language);

    // ---- message table ----
    std::intptr_t OnWindowMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    // WM_COMMAND from a menu: false when no handler is bound to the id.
    bool OnCommand(unsigned id);

    // Handlers (window messages).
    void OnSysCommand(unsigned id, std::intptr_t param);
    void OnPaint();
    QIcon OnQueryDragIcon() const { return m_hIcon; }
    void OnLButtonDown(unsigned flags, QPoint point);
    void OnLButtonUp(unsigned flags, QPoint point);
    void OnMouseMove(unsigned flags, QPoint point);
    // The first of rects[0..last] that contains pt, 255 when none does (see click_dispatch.h).
    static std::int32_t HitTestRects(const QPoint* pt, const ui::ButtonPos* rects, int last);
    void OnClose() override;
    std::intptr_t OnNotifyIcon(std::uintptr_t iconId, std::intptr_t mouseMessage);
    std::intptr_t OnDeviceChange(std::uintptr_t event, std::intptr_t header);
    void OnMacroListSelChange();
    void OnStepListDblClk();
    std::intptr_t OnStepEditDone(std::uintptr_t wParam, std::intptr_t lParam);
    std::intptr_t OnPowerBroadcast(std::uintptr_t event, std::intptr_t data);
    // WM_DRAWITEM / WM_MEASUREITEM: control id 0 is a menu item of any of the program's
    // owner-drawn menus; its own item record says how it looks.
    void OnDrawItem(int controlId, DrawItemStruct* dis);
    void OnMeasureItem(int controlId, MeasureItemStruct* mis);

    // Handlers (menu commands).
    void OnTrayShow();
    void OnTrayExit();
    void OnImportMacro();
    void OnExportMacro();
    void OnStepCommand(unsigned id);

    // Entry points the click dispatch calls; each is filled in by the piece that owns it.
    // Button-function popup for main rectangle 22..28 (warning first where needed).
    void OpenFunctionPopup(int mainIndex) override;
    // Destroys the open function popup, if any (every button-down on the main page).
    void CloseFunctionPopup() override;
    // Advanced-page macro buttons 0..7, 28 and 38.
    void OnMacroButton(int advIndex) override;
    // Advanced-page button 4: starts or stops the keyboard recording.
    void OnRecordButton();
    // Sees the key and mouse events of the window and its child widgets before they are
    // delivered (recording, the lists' context menus, Esc/Enter/F10); true consumes the event.
    bool PreTranslateMessage(QObject* receiver, QEvent* event);
    // Colour dialog for DPI level button - 41 (main rectangles 41..46).
    void OnPickLedColor(int button) override;
    // Profile files and the factory settings (frame buttons 14, 15, 16).
    void OnImportConfigIni() override;
    void OnExportConfigIni() override;
    void OnRestoreDefaults() override;
    // Language switch (frame buttons 17, 18 and the menus).
    void OnLangChinese() override;
    void OnLangEnglish() override;
    // Display threads: each starts only when its running flag was clear (and sets it).
    void StartLedPreviewThread() override;
    void StartBlinkThread() override;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A right click on the title area opens the system menu.
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // A restore repaints the page at once: a paint that came while the window was still
    // minimised drew the program's icon in it.
    void changeEvent(QEvent* event) override;
    // Esc does not end the dialog: only EndDialog does.
    void reject() override {}

private:
    class ThreadQueue;
    class SkinHooks;
    class MenuOwner;

    // SW_MINIMIZE then SW_HIDE: only the notification-area icon is left. Where the desktop
    // has no notification area the window stays minimised instead.
    void HideToTray();
    // Where the window is, kept before it is minimised or hidden, and where ShowRestored puts
    // it back when it comes back: a window manager may otherwise map it again wherever it
    // likes.
    void RememberPlace();
    // SW_SHOW then SW_RESTORE: shown, not minimised, on top; a window that was hidden or
    // minimised comes back where it was, a shown one stays where it is.
    void ShowRestored();
    // The skin's drag: a press on the caption, at a point of the window (packed).
    void OnNcLButtonDown(std::uintptr_t hitTest, std::intptr_t point);
    // The system menu at a screen position; the chosen item arrives as WM_SYSCOMMAND.
    void ShowSystemMenu(QPoint screenPos);
    // Sleep and wake-up of the machine arrive as WM_POWERBROADCAST.
    void WatchPowerEvents();
    ui::LanguageSwitchTarget LanguageTarget();
    void ShapeWindow();
    void StartDeviceThreads();
    void StopWorkerThreads();
    void HandOverDeviceNotifications();
    void ShowPlugInMessage();

    QIcon m_hIcon;
    // The pages' rectangles and labels (m_posMain, m_strMain, m_posColor, ...), from the skin.
    ui::PageLayouts m_layouts;
    std::unique_ptr<ui::TrayIcon> tray_;
    std::unique_ptr<MacroControls> macroControls_;
    std::shared_ptr<ThreadQueue> queue_;
    struct Workers;
    std::unique_ptr<Workers> workers_;
    std::unique_ptr<SkinHooks> skinHooks_;
    std::unique_ptr<MenuOwner> menuOwner_;
    std::unique_ptr<platform::PowerEvents> power_;
    // The lighting preview and the blink thread; stopped with the device threads.
    std::unique_ptr<ui::DisplayThreads> displayThreads_;
    // The pre-translation; it also holds the keyboard grab of a recording.
    std::unique_ptr<ui::PreTranslator> preTranslator_;
    QEventLoop* modalLoop_ = nullptr;
    bool ending_ = false;
    bool hiddenToTray_ = false;
    // The skin's drag was handed to the window manager and no press came since.
    bool moveHandedOver_ = false;
    // Kept when the window goes away (minimised or hidden, by any path), dropped when it comes
    // back (by any path).
    std::optional<QPoint> place_;
    int endResult_ = 0;
};
