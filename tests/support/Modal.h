#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace korvane::test {

// Runs `answer` on the next modal widget that opens (a real dialog shown with
// exec()), so a test can fill it in and press its buttons. Polls because the
// dialog only appears once the code under test enters its event loop.
inline void whenModalOpens(std::function<void(QWidget*)> answer, int timeoutMs = 5000)
{
    auto* timer = new QTimer;
    auto elapsed = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, elapsed, answer, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        *elapsed += 10;
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        } else if (*elapsed > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

} // namespace korvane::test
