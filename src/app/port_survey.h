#pragma once
// The machine's serial ports as the windows show and explain them: where
// COM1 to COM15 lead, what the toolkit's port list knows of each device, and
// the system facts behind the explanations. Read afresh at every call; a test
// puts made-up ports and facts in place with CPortSurveyOverride.

#include <functional>
#include <vector>

#include "ports/device_details.h"
#include "ports/diagnosis_facts.h"

class QSerialPortInfo;

namespace app {

struct PortSurvey {
  std::vector<ports::PortChoice> choices;     // COM1 to COM15
  std::vector<ports::DeviceDetails> devices;  // completed from the facts
};

// The survey in force: the machine's unless a test put another in place.
PortSurvey SurveyPorts();
// The facts in force: the machine's, the system bus included, unless a test
// put others in place.
ports::DiagnosisFacts& PortFacts();

// What the toolkit knows of one port.
ports::DeviceDetails DetailsOf(const QSerialPortInfo& info);

class CPortSurveyOverride {
 public:
  // Both stay in place for the lifetime of this object; `facts` is not owned.
  CPortSurveyOverride(std::function<PortSurvey()> survey, ports::DiagnosisFacts& facts);
  ~CPortSurveyOverride();
  CPortSurveyOverride(const CPortSurveyOverride&) = delete;
  CPortSurveyOverride& operator=(const CPortSurveyOverride&) = delete;

 private:
  std::function<PortSurvey()> previousSurvey_;
  ports::DiagnosisFacts* previousFacts_;
};

}  // namespace app
