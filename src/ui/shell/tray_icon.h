// The program's icon in the notification area. The main window adds it at start-up and when it
// hides, and removes it before the program ends. Mouse actions on it come back to the owner as
// the callback window message WM_USER+1 with the icon id and the mouse message, as the window's
// message table expects; on a StatusNotifierItem host, which reports a left click only as an
// activation, the activation comes back as the double click. Where the desktop offers no
// notification area the requests still succeed and the icon appears if one turns up later; the
// window then minimises instead of hiding (NotificationAreaAvailable). User-interface thread only.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

class QSystemTrayIcon;

namespace ui {

inline constexpr unsigned TrayIconId = 153;
inline constexpr unsigned WM_NOTIFYICON = 0x0401;  // WM_USER + 1
inline constexpr unsigned WM_LBUTTONUP = 0x0202;
inline constexpr unsigned WM_LBUTTONDBLCLK = 0x0203;
inline constexpr unsigned WM_RBUTTONUP = 0x0205;
inline constexpr unsigned WM_MBUTTONUP = 0x0208;
inline constexpr char TrayTip[] = "ZP-3907 Gaming mouse";

class TrayIcon final : public QObject {
public:
    TrayIcon(QObject* owner, QIcon icon);
    ~TrayIcon() override;

    // NIM_ADD: false when the icon is already there (the request is refused, nothing changes).
    bool Add();
    // NIM_DELETE: false when there was none.
    bool Remove();
    bool IsAdded() const { return added_; }

private:
    QPointer<QObject> owner_;
    QIcon icon_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    bool added_ = false;
};

// Whether the desktop shows a notification area now. Some desktops have none (GNOME without
// an extension for it): a window hidden there could only come back by starting the program
// again.
bool NotificationAreaAvailable();
// Decides the answer instead of the desktop (tests); nullopt hands it back to the desktop.
void SetNotificationAreaAvailable(std::optional<bool> available);

// The program's icon (the window's and the notification area's), drawn at run time.
QIcon ProgramIcon();

}  // namespace ui
