#pragma once
// The window's system menu. The desktop keeps its own window menu to itself,
// so this one opens on a right-click that no control of the window takes.
// It starts with the Close entry; the window appends its own commands, and
// every chosen entry goes to one handler with its command number.

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace platform {

// The system command that closes a window.
inline constexpr unsigned kScClose = 0xF060;

class CSystemMenu : public QObject {
 public:
  using CommandHandler = std::function<void(unsigned command)>;

  // Owned by `window`.
  CSystemMenu(QWidget* window, CommandHandler handler);

  void AppendSeparator();
  void AppendCommand(unsigned command, const QString& caption);

  QMenu* Menu() const { return menu_; }
  // The entry for `command`, or null.
  QAction* Entry(unsigned command) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  QMenu* menu_;
  CommandHandler handler_;
};

}  // namespace platform
