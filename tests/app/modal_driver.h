#pragma once
// Drives the modal dialogs a command opens: `whenModal<T>(act)` runs `act` on the next modal
// widget of type T once the event loop shows it. A modal widget of another type that stays
// up is rejected after a generous time-out, so a wrong dialog fails the test, not hangs it.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace qv::test {

template <class T>
void whenModal(std::function<void(T&)> act, int giveUpMs = 20000)
{
    auto* poll = new QTimer(qApp);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, started, giveUpMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* wanted = dynamic_cast<T*>(modal)) {
            poll->stop();
            poll->deleteLater();
            act(*wanted);
        } else if (started->elapsed() > giveUpMs) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "the expected dialog never showed";
            if (auto* other = qobject_cast<QDialog*>(modal))
                other->reject();
        }
    });
    poll->start();
}

} // namespace qv::test
