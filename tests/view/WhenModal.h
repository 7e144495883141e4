#pragma once
// The windows' tests answer a modal window from the event loop that runs it.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace kelvan::test {

// Runs `act` on the next modal window that opens (other than `besides`), once the event
// loop reaches it; a window that `act` leaves open (a failed check returns early) is
// closed, so that the test goes on. Stop the returned timer when no window may open.
inline QTimer* WhenModal(std::function<void(QWidget*)> act, QWidget* besides = nullptr) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, act, besides] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == besides || !modal->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    act(modal);
    if (modal->isVisible()) modal->close();
  });
  timer->start(10);
  return timer;
}

}  // namespace kelvan::test
