#pragma once
// Answers the next modal window that opens while `trigger` runs, from inside
// that window's own event loop, so a test never blocks on it.

#include <QAbstractButton>
#include <QApplication>
#include <QString>
#include <QTimer>
#include <functional>

#include "platform/dialog.h"

namespace uitest {

struct ModalSeen {
  bool opened = false;
  QString className;
  QString title;
  QWidget* parent = nullptr;
};

// Clicks button `buttonId` of the first modal dialog other than `ignore`
// that opens during `trigger`; other modal windows are closed. Reports what
// was seen; `opened` stays false when no modal window ran.
inline ModalSeen AnswerModal(const std::function<void()>& trigger, int buttonId,
                             const QWidget* ignore = nullptr) {
  ModalSeen seen;
  QTimer watcher;
  watcher.setInterval(0);
  QObject::connect(&watcher, &QTimer::timeout, &watcher, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == ignore) return;
    watcher.stop();
    seen = {true, QString::fromLatin1(modal->metaObject()->className()), modal->windowTitle(),
            modal->parentWidget()};
    auto* dialog = qobject_cast<platform::CDialog*>(modal);
    if (auto* button = dialog ? dialog->ControlAs<QAbstractButton>(buttonId) : nullptr) {
      button->click();
    } else {
      modal->close();
    }
  });
  watcher.start();
  trigger();
  return seen;
}

}  // namespace uitest
