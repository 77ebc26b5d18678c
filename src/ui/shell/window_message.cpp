#include "ui/shell/window_message.h"

#include <QCoreApplication>

namespace ui {

QEvent::Type WindowMessageEvent::EventType() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

std::intptr_t SendWindowMessage(QObject* target, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    if (target == nullptr) {
        return 0;
    }
    WindowMessageEvent event(message, wParam, lParam);
    QCoreApplication::sendEvent(target, &event);
    return event.result();
}

void PostWindowMessage(QObject* target, unsigned message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
    if (target != nullptr) {
        QCoreApplication::postEvent(target, new WindowMessageEvent(message, wParam, lParam));
    }
}

}  // namespace ui
