#include "app/port_doctor_menu.h"

#include <QAction>
#include <QTextDocument>
#include <QWidget>

#include "app/port_errors.h"
#include "app/port_survey.h"
#include "platform/prompts.h"
#include "platform/system_menu.h"
#include "serial/port_names.h"

namespace app {

QString ForDisplay(const std::string& text) {
  const QString plain = QString::fromStdString(text);
  if (!Qt::mightBeRichText(plain)) return plain;
  return QStringLiteral("<p style=\"white-space:pre-wrap\">") + plain.toHtmlEscaped() +
         QStringLiteral("</p>");
}

CPortDoctor::CPortDoctor(QWidget* window) : QObject(window), window_(window) {}

void CPortDoctor::AddTo(platform::CSystemMenu& menu) {
  if (why_ != nullptr) return;
  menu.AppendCommand(kWhyCommand, QStringLiteral("Why?"));
  why_ = menu.Entry(kWhyCommand);
  if (why_ != nullptr) connect(why_, &QAction::triggered, this, [this] { ShowWhy(); });
  Offer(last_.has_value());
}

void CPortDoctor::Offer(bool enabled) {
  if (why_ != nullptr) why_->setEnabled(enabled);
}

void CPortDoctor::OpenFailed(serial::Status status, const std::string& portName, QWidget* statusLine,
                             const std::string& detail) {
  last_ = DiagnoseOpenFailure(status, portName, PortFacts(), serial::DefaultPortLocations(), detail);
  if (statusLine != nullptr) {
    statusLine->setToolTip(
        ForDisplay(last_->summary + "\nRight-click the window and choose Why? for the fix."));
  }
  Offer(true);
}

void CPortDoctor::Opened(const std::string& portName, QWidget* statusLine) {
  NoteGoodOpen(portName, PortFacts(), serial::DefaultPortLocations());
  last_.reset();
  if (statusLine != nullptr) statusLine->setToolTip({});
  Offer(false);
}

void CPortDoctor::ShowWhy() {
  if (!last_) return;
  platform::Prompts().ShowMessage(window_, ForDisplay(ports::DiagnosisText(*last_)).toStdString());
}

}  // namespace app
