#include "app/port_survey.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QSerialPortInfo>
#include <QString>
#include <QVariant>

#include "app/port_errors.h"
#include "serial/port_names.h"

namespace app {
namespace {

// Asking the bus must not hold the window up for long.
constexpr int kBusTimeoutMs = 1000;

// The machine, with the system bus asked through the toolkit.
class QtDiagnosisFacts final : public ports::SysDiagnosisFacts {
 public:
  bool BusNameHasOwner(const std::string& name) override {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return false;
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask << QString::fromStdString(name);
    const QDBusMessage answer = bus.call(ask, QDBus::Block, kBusTimeoutMs);
    return answer.type() == QDBusMessage::ReplyMessage && !answer.arguments().isEmpty() &&
           answer.arguments().constFirst().toBool();
  }
};

PortSurvey MachineSurvey() {
  PortSurvey survey;
  survey.choices = PortChoices(serial::DefaultPortLocations());
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    survey.devices.push_back(DetailsOf(info));
  ports::CompleteDetails(survey.devices, PortFacts());
  return survey;
}

std::function<PortSurvey()>& SurveyInForce() {
  static std::function<PortSurvey()> survey = MachineSurvey;
  return survey;
}

ports::DiagnosisFacts*& FactsInForce() {
  static ports::DiagnosisFacts* facts = nullptr;
  return facts;
}

}  // namespace

PortSurvey SurveyPorts() { return SurveyInForce()(); }

ports::DiagnosisFacts& PortFacts() {
  if (ports::DiagnosisFacts* facts = FactsInForce()) return *facts;
  static QtDiagnosisFacts machine;
  return machine;
}

ports::DeviceDetails DetailsOf(const QSerialPortInfo& info) {
  ports::DeviceDetails details;
  details.device = info.systemLocation().toStdString();
  details.manufacturer = info.manufacturer().toStdString();
  details.product = info.description().toStdString();
  details.serialNumber = info.serialNumber().toStdString();
  if (info.hasVendorIdentifier()) details.vendorId = info.vendorIdentifier();
  if (info.hasProductIdentifier()) details.productId = info.productIdentifier();
  return details;
}

CPortSurveyOverride::CPortSurveyOverride(std::function<PortSurvey()> survey, ports::DiagnosisFacts& facts)
    : previousSurvey_(std::move(SurveyInForce())), previousFacts_(FactsInForce()) {
  SurveyInForce() = std::move(survey);
  FactsInForce() = &facts;
}

CPortSurveyOverride::~CPortSurveyOverride() {
  SurveyInForce() = std::move(previousSurvey_);
  FactsInForce() = previousFacts_;
}

}  // namespace app
