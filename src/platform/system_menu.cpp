#include "platform/system_menu.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QVariant>
#include <QWidget>
#include <utility>

namespace platform {

CSystemMenu::CSystemMenu(QWidget* window, CommandHandler handler)
    : QObject(window), window_(window), menu_(new QMenu(window)), handler_(std::move(handler)) {
  AppendCommand(kScClose, QStringLiteral("Close"));
  window_->installEventFilter(this);
}

void CSystemMenu::AppendSeparator() { menu_->addSeparator(); }

void CSystemMenu::AppendCommand(unsigned command, const QString& caption) {
  QAction* action = menu_->addAction(caption);
  action->setData(command);
  connect(action, &QAction::triggered, this, [this, command] {
    if (handler_) handler_(command);
  });
}

QAction* CSystemMenu::Entry(unsigned command) const {
  for (QAction* action : menu_->actions()) {
    if (!action->isSeparator() && action->data().toUInt() == command) return action;
  }
  return nullptr;
}

bool CSystemMenu::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::ContextMenu) {
    // Reaches the window only when the control under the pointer let it pass.
    menu_->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace platform
