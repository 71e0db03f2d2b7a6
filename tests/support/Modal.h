#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace korvane::test {

// Runs `answer` on the next modal widget that opens (a real dialog shown with
// exec()), so a test can fill it in and press its buttons. Polls because the
// dialog only appears once the code under test enters its event loop; every
// `pollMs` (0: at each turn of the event loop, for dialogs whose text changes
// faster than a person could read it).
inline void whenModalOpens(std::function<void(QWidget*)> answer, int timeoutMs = 5000, int pollMs = 10)
{
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(pollMs);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, answer, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        } else if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

} // namespace korvane::test
