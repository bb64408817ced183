#pragma once
// Explains a failed port open in the main window: after "COMn open ERR!"
// the status line's tooltip gives the cause in one line, and the window's
// right-click menu offers "Why?", which shows the whole explanation with the
// commands that fix it. The entry is greyed while there is nothing to
// explain.

#include <QObject>
#include <QString>
#include <optional>
#include <string>

#include "ports/diagnosis.h"
#include "serial/serial_status.h"

class QAction;
class QWidget;

namespace platform {
class CSystemMenu;
}

namespace app {

// The system-menu command of "Why?"; clear of the About box's 16 to 31.
inline constexpr unsigned kWhyCommand = 0x0100;

class CPortDoctor : public QObject {
 public:
  // Owned by `window`, over which its message box opens.
  explicit CPortDoctor(QWidget* window);

  // Appends "Why?", greyed, to the window's menu.
  void AddTo(platform::CSystemMenu& menu);
  // After opening `portName` failed with `status`: explains it on
  // `statusLine`'s tooltip and offers "Why?". `detail`: what the link said
  // of the failure, if anything (CSerialLink::FailureDetail).
  void OpenFailed(serial::Status status, const std::string& portName, QWidget* statusLine,
                  const std::string& detail = {});
  // After `portName` opened: nothing to explain any more.
  void Opened(const std::string& portName, QWidget* statusLine);
  // Shows the explanation of the last failed open, if there is one.
  void ShowWhy();

  const std::optional<ports::Diagnosis>& LastDiagnosis() const { return last_; }

 private:
  void Offer(bool enabled);

  QWidget* window_;
  QAction* why_ = nullptr;
  std::optional<ports::Diagnosis> last_;
};

// `text` for a label, tooltip or message box that would take it for rich
// text when it looks like markup: such text is escaped, so that it shows as
// it is.
QString ForDisplay(const std::string& text);

}  // namespace app
