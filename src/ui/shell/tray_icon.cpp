#include "ui/shell/tray_icon.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "ui/shell/window_message.h"

namespace ui {

namespace {

std::optional<bool> g_notificationAreaOverride;  // user-interface thread

// Whether the desktop hosts icons as StatusNotifierItems over the session bus, asked the way
// the toolkit asks before it picks that kind of icon over an XEmbed one: the watcher's property
// read through its introspection data.
bool StatusNotifierHostRegistered() {
    QDBusInterface watcher(
        QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus());
    return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

}  // namespace

bool NotificationAreaAvailable() {
    if (g_notificationAreaOverride.has_value()) {
        return *g_notificationAreaOverride;
    }
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void SetNotificationAreaAvailable(std::optional<bool> available) {
    g_notificationAreaOverride = available;
}

TrayIcon::TrayIcon(QObject* owner, QIcon icon) : owner_(owner), icon_(std::move(icon)) {}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::Add() {
    if (added_) {
        return false;
    }
    if (!tray_) {
        // A StatusNotifierItem host reports a left click only as an activation, never as a
        // double click: there the activation is what shows the window. On an XEmbed icon an
        // activation is any single click, and the double click stays the one that shows it.
        const unsigned triggerMessage =
            StatusNotifierHostRegistered() ? WM_LBUTTONDBLCLK : WM_LBUTTONUP;
        tray_ = std::make_unique<QSystemTrayIcon>(icon_);
        // The callback arrives as a posted window message, like the shell's callback message.
        QObject::connect(tray_.get(), &QSystemTrayIcon::activated, this,
                         [this, triggerMessage](QSystemTrayIcon::ActivationReason reason) {
                             unsigned mouseMessage = 0;
                             switch (reason) {
                                 case QSystemTrayIcon::DoubleClick:
                                     mouseMessage = WM_LBUTTONDBLCLK;
                                     break;
                                 case QSystemTrayIcon::Context:
                                     mouseMessage = WM_RBUTTONUP;
                                     break;
                                 case QSystemTrayIcon::Trigger:
                                     mouseMessage = triggerMessage;
                                     break;
                                 case QSystemTrayIcon::MiddleClick:
                                     mouseMessage = WM_MBUTTONUP;
                                     break;
                                 case QSystemTrayIcon::Unknown:
                                     return;
                             }
                             PostWindowMessage(owner_.data(), WM_NOTIFYICON, TrayIconId,
                                               mouseMessage);
                         });
    }
    tray_->setToolTip(QString::fromUtf8(TrayTip));
    tray_->show();
    added_ = true;
    return true;
}

bool TrayIcon::Remove() {
    if (!added_) {
        return false;
    }
    tray_->hide();
    added_ = false;
    return true;
}

QIcon ProgramIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // A mouse seen from above: the body, the split between the two buttons, the wheel.
    QPainterPath body;
    body.addRoundedRect(QRectF(7, 2, 18, 28), 9, 9);
    painter.fillPath(body, QColor(24, 24, 28));
    painter.setPen(QPen(QColor(210, 30, 40), 1.5));
    painter.drawPath(body);
    painter.drawLine(QPointF(16, 2.5), QPointF(16, 13));
    painter.drawLine(QPointF(7.5, 13), QPointF(24.5, 13));
    painter.fillRect(QRectF(14.5, 5, 3, 5), QColor(210, 30, 40));
    painter.end();
    return QIcon(pixmap);
}

}  // namespace ui
