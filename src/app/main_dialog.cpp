// Threads: everything here runs on the user-interface thread, except ThreadQueue::Post, which
// the worker threads and the HID backend's notification thread call.
#include "app/main_dialog.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QEventLoop>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>
#include <deque>
#include <mutex>

#include "app/core/mouse_access.h"
#include "common/log_file.h"
#include "common/paths.h"
#include "device/apply_settings.h"
#include "device/body_writer.h"
#include "device/device_threads.h"
#include "device/discovery.h"
#include "device/power_apply.h"
#include "macro/macro_commands.h"
#include "macro/macro_file_reader.h"
#include "macro/macro_record.h"
#include "platform/clock.h"
#include "platform/file_replace.h"
#include "platform/ini_leftovers.h"
#include "platform/message_service.h"
#include "platform/power_events.h"
#include "profile/config_store.h"
#include "profile/profile_settings.h"
#include "profile/profile_switch.h"
#include "profile/save_failures.h"
#include "profile/startup_config.h"
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
#include "ui/shell/dialogs.h"
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
#include "ui/skin/skin_images.h"
#include "ui/skin/window_shape.h"

namespace {

constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_COMMAND = 0x0111;
constexpr unsigned WM_STEPEDITDONE = ui::WM_USER + 10;

// Commands of the menus, by id.
constexpr unsigned CmdTrayExitCn = 32800;
constexpr unsigned CmdTrayShowCn = 32801;
constexpr unsigned CmdTrayExitEn = 32828;
constexpr unsigned CmdTrayShowEn = 32827;
constexpr unsigned CmdImportMacro = 32860;
constexpr unsigned CmdExportMacro = 32861;

// The step-editing commands of the macro-editor menus (Chinese menu, English menu).
bool IsStepCommand(unsigned id) {
    return id == 32780 || id == 32781 || (id >= 32802 && id <= 32807) ||
           (id >= 32809 && id <= 32814) || (id >= 32819 && id <= 32824) || id == 32829 ||
           id == 32830 || id == 32832 || id == 32833 || (id >= 32835 && id <= 32838) ||
           (id >= 32851 && id <= 32856);
}

// The dialog's size in pixels when the mask image cannot be read: its 533 x 395 dialog units
// at the standard dialog font.
constexpr int FallbackWidth = 800;
constexpr int FallbackHeight = 642;

void Log(const char* message) {
    g_LogFile.Write(QString::fromLatin1(message));
}

}  // namespace

// Queues work onto the dialog's thread. Closed before the dialog goes, so work posted after
// that (a worker thread that has not yet seen its stop request) is dropped instead of reaching
// a window that no longer exists. The work itself waits here, under this queue's lock, and each
// posted event only says "run the next one": so what a worker wrote before it posted reaches the
// user-interface thread through that lock, which ThreadSanitizer sees, and not only through the
// toolkit's own (uninstrumented) event queue. One event per work keeps each in its place among
// the window's other events.
class CKVE_ZelboDlg::ThreadQueue final : public UiThreadQueue {
public:
    explicit ThreadQueue(QObject* target) : runner_(new Runner(*this, target)) {}
    void Post(std::function<void()> work) override {
        std::lock_guard lock(mutex_);
        if (runner_ != nullptr && work) {
            pending_.push_back(std::move(work));
            // The toolkit makes the event (a copy of the model), so the race checker does not
            // take the new event, read on the user-interface thread, for our unguarded write.
            QCoreApplication::postEvent(runner_, runEvent_.clone());
        }
    }
    void Close() {
        std::lock_guard lock(mutex_);
        runner_ = nullptr;
        pending_.clear();
    }

private:
    // A child of the dialog: it goes with the dialog, on the dialog's thread, after Close.
    class Runner final : public QObject {
    public:
        Runner(ThreadQueue& queue, QObject* parent) : QObject(parent), queue_(queue) {}
        bool event(QEvent* event) override {
            if (event->type() != queue_.runEvent_.type()) {
                return QObject::event(event);
            }
            queue_.RunNext();
            return true;
        }

    private:
        ThreadQueue& queue_;
    };

    void RunNext() {
        std::function<void()> work;
        {
            std::lock_guard lock(mutex_);
            if (pending_.empty()) {
                return;
            }
            work = std::move(pending_.front());
            pending_.pop_front();
        }
        work();
    }

    // One event type for every queue: the toolkit has only so many to hand out.
    static QEvent::Type RunEventType() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }

    const QEvent runEvent_{RunEventType()};
    std::mutex mutex_;
    std::deque<std::function<void()>> pending_;  // under mutex_
    Runner* runner_;                             // under mutex_; nullptr once closed
};

// A missing skin layout file sends the window to the notification area, as closing it does.
class CKVE_ZelboDlg::SkinHooks final : public ui::SkinWindowHooks {
public:
    explicit SkinHooks(CKVE_ZelboDlg& dlg) : dlg_(dlg) {}
    void AddTrayIcon() override { dlg_.AddTrayIcon(); }
    void ShowMinimized() override { dlg_.setWindowState(dlg_.windowState() | Qt::WindowMinimized); }
    void HideWindow() override { dlg_.HideToTray(); }

private:
    CKVE_ZelboDlg& dlg_;
};

// The owner-drawn menus measure and draw their items through the window, as the platform
// sends WM_MEASUREITEM and WM_DRAWITEM to a menu's owner.
class CKVE_ZelboDlg::MenuOwner final : public OwnerDrawHandler {
public:
    explicit MenuOwner(CKVE_ZelboDlg& dlg) : dlg_(dlg) {}
    void MeasureItem(MeasureItemStruct* mis) override { dlg_.OnMeasureItem(0, mis); }
    void DrawItem(DrawItemStruct* dis) override { dlg_.OnDrawItem(0, dis); }

private:
    CKVE_ZelboDlg& dlg_;
};

struct CKVE_ZelboDlg::Workers {
    DeviceEventThreads device;
    // Writes the bodies of the recoil adjustments, so that this window never waits on them.
    MacroBodyWriter bodies;
};

CKVE_ZelboDlg::CKVE_ZelboDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint),
      m_hIcon(ui::ProgramIcon()),
      queue_(std::make_shared<ThreadQueue>(this)),
      workers_(std::make_unique<Workers>()),
      skinHooks_(std::make_unique<SkinHooks>(*this)),
      displayThreads_(std::make_unique<ui::DisplayThreads>()) {
    tray_ = std::make_unique<ui::TrayIcon>(this, m_hIcon);
    preTranslator_ = std::make_unique<ui::PreTranslator>(
        this, [this] { return macroControls_.get(); }, ui::MakeWindowKeyboardGrab());
    resize(FallbackWidth, FallbackHeight);
    // The hover indexes follow the pointer without a button held.
    setMouseTracking(true);
    // Every paint covers the whole window with one finished picture: nothing is erased first,
    // so the old page stays until the new one replaces it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    installEventFilter(new ui::ChildControlColours(this));
}

CKVE_ZelboDlg::~CKVE_ZelboDlg() {
    queue_->Close();
    StopWorkerThreads();
    SetDeviceNotificationTarget({});
    SetDeviceRemovedHandler({});
    UnregisterDeviceNotification();
    SetRepaintHook({});
    // Boxes refused at the end of this run are allowed again for whatever comes next.
    platform::RefuseBoxes(false);
    // Menus and controls are widgets: they go while the toolkit is still there.
    ui::DestroyProgramMenus();
    macroControls_.reset();
}

UiExecutor CKVE_ZelboDlg::UiThread() const {
    std::shared_ptr<ThreadQueue> queue = queue_;
    return [queue](std::function<void()> work) { queue->Post(std::move(work)); };
}

int CKVE_ZelboDlg::DoModal() {
    winId();  // the window exists (title, shape) before the initialisation runs
    OnInitDialog();
    if (ending_) {
        return endResult_;  // ended during the initialisation: the loop never runs
    }
    // Our own loop rather than QDialog::exec, which ends as soon as the dialog is hidden: here
    // hiding to the notification area must leave the program running. A window that went to
    // the notification area during the initialisation (a skin file was missing) stays there.
    if (!hiddenToTray_) {
        show();
    }
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    modalLoop_ = nullptr;
    return endResult_;
}

void CKVE_ZelboDlg::EndDialog(int result) {
    ending_ = true;
    endResult_ = result;
    setResult(result);
    hide();
    if (modalLoop_ != nullptr) {
        modalLoop_->quit();
    }
}

void CKVE_ZelboDlg::RestoreWindow() {
    if (windowTitle() != QString::fromUtf8(MainWindowTitle)) {
        return;  // not yet findable by its title
    }
    ShowRestored();
}

// ---- start-up -----------------------------------------------------------------------------

bool CKVE_ZelboDlg::OnInitDialog() {
    // 2. From here on the log works and the current folder is the program's.
    OpenSessionLog(g_strExeDir, QDateTime::currentDateTime());

    // 3.-7. The worker threads start before anything is loaded; they read what they need as it
    // arrives.
    g_btnEventPending = 0;
    StartDeviceThreads();
    StartBlinkThread();

    // 8. The system menu with its About item is the program's own (ShowSystemMenu). Power
    // notifications start here, as they reach a window from its creation on.
    WatchPowerEvents();
    // 9. The window's icon.
    setWindowIcon(m_hIcon);

    // Saves that fail during start-up (its Apply) are told once, at its end.
    SaveAction startUp;
    // 10. Paths.
    g_strSkinDir = SkinDirOf(g_strExeDir);
    g_strConfigIni = ConfigIniOf(g_strSkinDir);
    ForgetToldSaveFailures();  // a new run tells every file that cannot be saved again
    // A list save killed between its two renames is finished (its commit mark says both copies
    // were complete); then a save killed before its rename left only its copy, which goes.
    if (const int finished = platform::FinishInterruptedReplace(g_strConfigIni); finished > 0) {
        g_LogFile.Write(
            QStringLiteral("Finished an interrupted save of the macro list and config.ini"));
    }
    for (const QString& file :
         {g_strConfigIni, UserMacroFilePath(g_strExeDir, 0), UserMacroFilePath(g_strExeDir, 1)}) {
        platform::RemoveLeftoverCopies(file);
    }
    // config.ini is checked before anything reads it: one the program cannot use gives way to
    // the shipped one, or is left alone while the shipped settings serve from memory.
    const StartupConfig config = PrepareConfigIni(g_strConfigIni, QDateTime::currentDateTime());
    // 11. The start-up section: current profile, language.
    ReadInitSection(g_strConfigIni);
    // 12. The title first, so a second copy finds the window while the rest loads.
    setWindowTitle(QString::fromUtf8(MainWindowTitle));
    if (const QString text = StartupConfigMessage(config, g_langSel); !text.isEmpty()) {
        platform::ShowMessage(text);
        if (config.outcome == StartupConfig::Outcome::LeftAlone) {
            startUp.AlreadyTold(g_strConfigIni);  // the message says that saves will fail
        }
    }
    // 13. The current profile.
    OnReadConfig(g_strConfigIni, g_curConfig, false);
    // 14. The three page layouts.
    ui::LoadSkinMain(m_layouts, *skinHooks_, g_strSkinDir, g_langSel);
    ui::LoadSkinColor(m_layouts, *skinHooks_, g_strSkinDir, g_langSel);
    ui::LoadSkinAdvance(m_layouts, *skinHooks_, g_strSkinDir, g_langSel);
    // 15. The macro editor's six control objects; their windows come with the advanced page.
    macroControls_ = std::make_unique<MacroControls>();
    // 16. The warning popup's layout.
    ui::LoadSkinLBWarning(*skinHooks_, g_strSkinDir, g_langSel);

    // 17. The font of every skin text.
    g_font = ui::MakeSkinFont();
    // 18. The window's shape.
    ShapeWindow();
    Log("Finish CDC!");

    // 19.-20. The user's macros and the built-in ones.
    g_strMacroFile = UserMacroFilePath(g_strExeDir, g_langSel);
    OnReadMacroList(g_strMacroFile);
    OnReadConstMacro(ConstMacroFilePath(g_strExeDir));
    // 21. Menus.
    OnInitMenu(g_langSel);
    // 22. The step list selects the last step of the selected macro.
    {
        const int sel = (g_curMacro >= 0 && g_curMacro < UserMacroSlots) ? g_curMacro : 0;
        const int steps = g_macros[sel].stepCount;
        g_stepListSel = steps > 0 ? 2 * steps - 2 : 0;
    }
    // 23.-24. The mouse.
    FillDevIds();
    HandOverDeviceNotifications();
    g_deviceConnected = OpenDevice();
    const bool connected = g_deviceConnected != 0;
    // 25. Without a mouse the run ends here.
    if (!connected) {
        ShowPlugInMessage();
        DeleteTrayIcon();
        EndDialog(0);
        return true;
    }
    // 26.-29.
    AddTrayIcon();
    platform::Sleep(5);
    ApplySettings();
    Log("Finish Init!");
    return true;
}

void CKVE_ZelboDlg::ShowPlugInMessage() {
    // A mouse that is there but may not be opened needs its access rule, not plugging in.
    if (app::ReportAccessDeniedMouse(windowTitle(), g_langSel)) {
        return;
    }
    const bool english = g_langSel == 1;
    const QString text =
        english ? QStringLiteral("Please plug-in【") + windowTitle() + QStringLiteral("】USB Mouse")
                : QStringLiteral("请插入【") + windowTitle() + QStringLiteral("】USB鼠标");
    platform::ShowMessage(text);
}

void CKVE_ZelboDlg::ShapeWindow() {
    g_strMaskPath = g_strSkinDir + QStringLiteral("/main_mask.jpg");
    const QImage mask = ui::LoadSkinImageFile(g_strMaskPath);
    // No mask: a plain rectangular window of the dialog's own size.
    g_skinWidth = mask.isNull() ? 0 : mask.width();
    g_skinHeight = mask.isNull() ? 0 : mask.height();
    const QRegion shape = mask.isNull() ? QRegion(0, 0, FallbackWidth, FallbackHeight)
                                        : ui::WindowRegionFromMask(mask);
    g_rgnWindow = shape;
    // The advanced page repaints around its child controls: the macro-name edit box, the
    // step list and the macro-name list, as the skin places them.
    for (const ui::RECT& rc : {ui::g_rcEditMacroName, ui::g_rcStepList, ui::g_rcMacroList}) {
        ui::XorRect(g_rgnWindow, QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top));
    }
    if (mask.isNull()) {
        clearMask();
        setFixedSize(FallbackWidth, FallbackHeight);
        return;
    }
    setFixedSize(g_skinWidth, g_skinHeight);
    setMask(shape);
}

void CKVE_ZelboDlg::OnInitMenu(std::uint8_t language) {
    Log("In OnInitMenu");
    ui::BuildProgramMenus(language);
    if (!menuOwner_) {
        menuOwner_ = std::make_unique<MenuOwner>(*this);
    }
    ui::RouteProgramMenuDrawing(menuOwner_.get());
}

void CKVE_ZelboDlg::StartDeviceThreads() {
    // Repaints may be asked for by the threads' follow-ups: queued to this window.
    const UiExecutor toUi = UiThread();
    QWidget* window = this;
    SetRepaintHook([toUi, window] { toUi([window] { window->update(); }); });
    workers_->bodies.Start();
    SetMacroBodyWriter(&workers_->bodies);
    workers_->device.StartKeyMonitor(UiThread());
    Log("Finish KeyMonitorThd!");
    workers_->device.StartMacroSend(UiThread());
    Log("Finish MacroSendThd!");
}

void CKVE_ZelboDlg::StartBlinkThread() {
    const UiExecutor toUi = UiThread();
    QWidget* window = this;
    displayThreads_->StartBlink(ui::OneRepaintAtATime(toUi, [window] { window->update(); }));
}

void CKVE_ZelboDlg::StopWorkerThreads() {
    // A body being written to the mouse ends after its current run: the window goes at once,
    // whatever the mouse was still to get.
    if (CurrentMacroBodyWriter() == &workers_->bodies) {
        SetMacroBodyWriter(nullptr);
    }
    workers_->bodies.Stop();
    workers_->device.Stop();
    displayThreads_->Stop();
}

void CKVE_ZelboDlg::HandOverDeviceNotifications() {
    // Notifications arrive on the backend's thread; the window handles them on its own, as
    // WM_DEVICECHANGE, with the header alive until the handler returns.
    const UiExecutor toUi = UiThread();
    QObject* window = this;
    SetDeviceNotificationTarget(
        [toUi, window](std::uintptr_t event, const DeviceBroadcastHeader& header) {
            toUi([window, event, header] {
                ui::SendWindowMessage(window, ui::WM_DEVICECHANGE, event,
                                      reinterpret_cast<std::intptr_t>(&header));
            });
        });
    SetDeviceRemovedHandler([this] {
        // A box left open (the warning, a file or colour dialog) would hold the run until
        // answered, alone on the screen: it goes first.
        ui::EndModalBoxes();
        DeleteTrayIcon();
        EndDialog(0);
    });
}

ui::LanguageSwitchTarget CKVE_ZelboDlg::LanguageTarget() {
    ui::LanguageSwitchTarget target;
    target.layouts = &m_layouts;
    target.hooks = skinHooks_.get();
    target.macroControls = macroControls_.get();
    target.initMenu = [this](std::uint8_t language) { OnInitMenu(language); };
    target.window = this;
    target.title = QString::fromUtf8(MainWindowTitle);
    return target;
}

// ---- notification-area icon -----------------------------------------------------------------

void CKVE_ZelboDlg::AddTrayIcon() {
    tray_->Add();
}

void CKVE_ZelboDlg::DeleteTrayIcon() {
    tray_->Remove();
}

bool CKVE_ZelboDlg::HasTrayIcon() const {
    return tray_->IsAdded();
}

// ---- message table ------------------------------------------------------------------------

bool CKVE_ZelboDlg::event(QEvent* event) {
    if (event->type() == ui::WindowMessageEvent::EventType()) {
        auto* message = static_cast<ui::WindowMessageEvent*>(event);
        message->setResult(
            OnWindowMessage(message->message(), message->wParam(), message->lParam()));
        return true;
    }
    return QDialog::event(event);
}

std::intptr_t CKVE_ZelboDlg::OnWindowMessage(unsigned message, std::uintptr_t wParam,
                                             std::intptr_t lParam) {
    switch (message) {
        case ui::WM_SYSCOMMAND:
            OnSysCommand(static_cast<unsigned>(wParam), lParam);
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case ui::WM_NOTIFYICON:
            return OnNotifyIcon(wParam, lParam);
        case ui::WM_DEVICECHANGE:
            return OnDeviceChange(wParam, lParam);
        case WM_STEPEDITDONE:
            return OnStepEditDone(wParam, lParam);
        case ui::WM_POWERBROADCAST:
            return OnPowerBroadcast(wParam, lParam);
        case WM_COMMAND:
            OnCommand(static_cast<unsigned>(wParam & 0xFFFF));
            return 0;
        case ui::WM_NCLBUTTONDOWN:
            OnNcLButtonDown(wParam, lParam);
            return 0;
        default:
            return 0;  // 0x8840 from the step list and anything else: unhandled
    }
}

bool CKVE_ZelboDlg::OnCommand(unsigned id) {
    switch (id) {
        case CmdTrayExitCn:
        case CmdTrayExitEn:
            OnTrayExit();
            return true;
        case CmdTrayShowCn:
        case CmdTrayShowEn:
            OnTrayShow();
            return true;
        case CmdImportMacro:
            OnImportMacro();
            return true;
        case CmdExportMacro:
            OnExportMacro();
            return true;
        default:
            if (IsStepCommand(id)) {
                OnStepCommand(id);
                return true;
            }
            return false;
    }
}

void CKVE_ZelboDlg::closeEvent(QCloseEvent* event) {
    event->ignore();  // closing only hides the window; the loop ends by EndDialog alone
    OnClose();
}

void CKVE_ZelboDlg::paintEvent(QPaintEvent*) {
    OnPaint();
}

void CKVE_ZelboDlg::mousePressEvent(QMouseEvent* event) {
    moveHandedOver_ = false;  // a move handed over before has ended: the button went up
    if (event->button() == Qt::LeftButton) {
        OnLButtonDown(0, event->position().toPoint());
    }
}

// The toolkit keeps the pointer with the window that was pressed until the release; a press
// on a button slot opens the popup under the still-held button, and what the pointer then does
// over the popup is the popup's, so a drag from the slot to a row and a release there chooses.
void CKVE_ZelboDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (moveHandedOver_) {
        // A release the window manager did not take: it came before the move began.
        moveHandedOver_ = false;
        ui::CancelWindowMove(*this);
    }
    if (ui::HandToFunctionPopup(event)) {
        g_mousePressed = 0;  // the button is up: the slot must not stay drawn pressed
        update();
        return;
    }
    OnLButtonUp(0, event->position().toPoint());
}

void CKVE_ZelboDlg::mouseMoveEvent(QMouseEvent* event) {
    if (ui::HandToFunctionPopup(event)) {
        return;
    }
    OnMouseMove(0, event->position().toPoint());
}
