// The main window and the serial port: opening and closing it, draining what
// arrives, sending to the receiver, the Setup COM Port dialog and the
// one-click receiver commands.

#include <QEvent>
#include <QString>
#include <chrono>
#include <ctime>
#include <thread>

#include "app/main_dlg.h"
#include "app/port_doctor_menu.h"
#include "app/port_follower.h"
#include "app/setup_com_dlg.h"
#include "nmea/sentence.h"
#include "platform/qt_window_messages.h"
#include "ports/reconnect.h"
#include "resources/main_ids.h"

namespace app {
namespace {

constexpr std::uint32_t kQueueSize = 2048;
constexpr std::uint32_t kReadChunk = 100;
// Sending never waits for the receiver; a write that cannot finish in this
// time (a device that stopped taking data) is given up, silently, instead of
// freezing the window for good.
constexpr std::uint32_t kWriteTimeoutMs = 5000;

std::string Formatted(const char* format, const std::string& name) {
  char text[96];
  std::snprintf(text, sizeof text, format, name.c_str());
  return text;
}

std::tm LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm at{};
  localtime_r(&now, &at);
  return at;
}

// Where the receive path's results go: console, log, interpreter, flush
// timer. The lines of one notification reach the console and the log as one
// block when the sink goes out of scope, which spares the console a layout
// per line when a receiver sends at full line rate.
class ReceiveToWindow : public LineSink {
 public:
  explicit ReceiveToWindow(CMainDlg& dlg) : dlg_(dlg) {}
  ~ReceiveToWindow() override {
    if (pending_.empty()) return;
    dlg_.AppendConsole(pending_);
    if (dlg_.logging == 1) dlg_.AppendLog(pending_);
  }
  void ConsoleText(std::string_view text) override { pending_.append(text); }
  void Sentence(std::string_view sentence) override { dlg_.InterpretSentence(std::string(sentence)); }
  void ArmFlush() override { dlg_.SetTimer(TimerConsoleFlush, 200); }
  void StopFlush() override { dlg_.KillTimer(TimerConsoleFlush); }

 private:
  CMainDlg& dlg_;
  std::string pending_;
};

}  // namespace

bool CMainDlg::event(QEvent* e) {
  if (const platform::WindowMessageEvent* m = platform::AsWindowMessage(e)) {
    if (m->Message() == serial::CSerialWnd::DefaultComMsg()) {
      OnSerialNotify(m->First(), m->Second());
      return true;
    }
  }
  return platform::CDialog::event(e);
}

void CMainDlg::OpenSerialSource() {
  if (const serial::Status status = StartSerialPort()) ReportFailedOpen(status);
}

serial::Status CMainDlg::StartSerialPort() {
  const serial::Status status = serial.OpenAndWatch(portName.c_str(), this, 0, 0, kQueueSize, kQueueSize);
  if (status != 0) return status;
  serial.Configure(baudRate, 8, 0, 0);
  serial.Purge();
  sourceOpen = 1;
  SetItemText(ids::kStatus, Formatted("%s open OK!\r\n", portName));
  portDoctor_->Opened(portName, Control(ids::kStatus));
  portFollower_->Opened(portName);
  activeSource = SourceSerial;
  return status;
}

void CMainDlg::ReportFailedOpen(serial::Status status) {
  SetItemText(ids::kStatus, Formatted("%s open ERR!", portName));
  portDoctor_->OpenFailed(status, portName, Control(ids::kStatus), serial.FailureDetail());
}

void CMainDlg::CloseSerialSource() {
  // Show (and log) what came of an unfinished line rather than let it wait
  // for the next port to finish it; not while a notification is half-way
  // through that line.
  if (receiveGuard_.Enter(ReceiveEntry::Flush)) {
    {
      ReceiveToWindow sink(*this);
      assembler_.Flush(sink);
    }
    LeaveReceivePath();
  }
  assembler_.DropSentence();
  KillTimer(TimerConsoleFlush);
  sourceOpen = 0;
  serial.Close();
  SetItemText(ids::kStatus, Formatted("%s closed!\r\n", portName));
  activeSource = SourceNone;
}

void CMainDlg::LoseSerialSource() {
  KillTimer(TimerConsoleFlush);
  sourceOpen = 0;
  serial.Close();
  activeSource = SourceNone;
  SetItemText(ids::kStatus, portName + " device removed");
  NoteInLog(ports::RemovedNote(portName, LocalNow()));
  UpdateSourceDisplay();
  UpdateCommandButtons();
  portFollower_->Lost();
}

serial::Status CMainDlg::ReconnectSerialSource(const std::string& name, std::int64_t gapSeconds) {
  // Not half-way through the receive path, nor over a source the user opened.
  if (receiveGuard_.Busy() || sourceOpen != 0) return serial::ERROR_IO_PENDING;
  const std::string lostName = portName;
  portName = name;
  const serial::Status status = StartSerialPort();
  if (status != 0) {
    portName = lostName;
    return status;
  }
  NoteInLog(ports::ReconnectedNote(lostName, name, LocalNow(), gapSeconds));
  UpdateSourceDisplay();
  UpdateCommandButtons();
  return status;
}

void CMainDlg::NoteInLog(const std::string& note) {
  if (logging != 1) return;
  AppendConsole(note);
  AppendLog(note);
}

long CMainDlg::OnSerialNotify(std::uintptr_t first, std::intptr_t /*second*/) {
  const unsigned code = static_cast<unsigned>(first & 0xFFFF);
  // Bytes waiting, or an error that may be the device going away.
  if (code != 0 && (code & (serial::EV_RXCHAR | serial::EV_ERR)) == 0) return 0;
  // A notification that comes while the path is busy drains the port when
  // it is done; a flush tick that comes then is taken at the next tick.
  if (!receiveGuard_.Enter(code == 0 ? ReceiveEntry::Flush : ReceiveEntry::PortNotification)) return 0;
  bool lost = false;
  {
    ReceiveToWindow sink(*this);
    if (code == 0) {
      assembler_.Flush(sink);
    } else {
      char buffer[kReadChunk + 1];
      std::uint32_t got = 0;
      bool readFailed = false;
      do {
        got = 0;
        // A read that fails still hands over what it took before.
        readFailed = serial.Read(buffer, kReadChunk, &got, nullptr, serial::kInfinite) != 0;
        if (got > kReadChunk) got = 0;
        assembler_.Feed(std::string_view(buffer, got), sink);
      } while (!readFailed && got == kReadChunk);
      // What came before the device went is shown; the line it broke off
      // ends here.
      lost = ports::SourceLost(
          code, {activeSource == SourceSerial && serial.IsOpen(), serial.HungUp(), readFailed});
      if (lost) assembler_.EndLine(sink);
    }
  }  // the lines reach the console and the log here
  if (lost) LoseSerialSource();
  LeaveReceivePath();
  return 0;
}

void CMainDlg::SendSentence(std::string_view text) {
  serial.Write(text.data(), static_cast<std::uint32_t>(text.size()), nullptr, nullptr, kWriteTimeoutMs);
  serial.Write("\r\n", 2, nullptr, nullptr, kWriteTimeoutMs);
}

void CMainDlg::OnComSetup() {
  CSetupComDlg dlg(portName, baudRate, this);
  if (dlg.DoModal() != tmpl::kIdOk) return;
  portFollower_->Cancel();
  if (activeSource != SourceNone) {
    OnOpenClose();
    selectedSource = SourceSerial;
    portName = dlg.PortName();
    baudRate = dlg.BaudRate();
    OnOpenClose();
  } else {
    selectedSource = SourceSerial;
    portName = dlg.PortName();
    baudRate = dlg.BaudRate();
  }
  UpdateSourceDisplay();
}

// One-click receiver commands.

void CMainDlg::SendCommand(const char* status, std::string command) {
  SetItemText(ids::kStatus, status);
  nmea::AppendChecksum(command);
  SendSentence(command);
}

void CMainDlg::OnFactoryReset() {
  SendCommand("Factory Reset", "$PVLRX111,FACTORY");
  RestartTtff();
}

void CMainDlg::OnHotStart() {
  SendCommand("TTFF Hot Start", "$PVLRX111,HOT");
  RestartTtff();
}

void CMainDlg::OnWarmStart() {
  SendCommand("TTFF Warm Start", "$PVLRX111,WARM");
  RestartTtff();
}

void CMainDlg::OnColdStart() {
  SendCommand("TTFF Cold Start", "$PVLRX111,COLD");
  RestartTtff();
}

void CMainDlg::OnVersionQuery() { SendCommand("Get Version", "$PVLRX600"); }

void CMainDlg::OnSettingsQuery() { SendCommand("Get Setting Report", "$PVLRX603"); }

void CMainDlg::OnEnterIsp() {
  std::string command = "$PVLRX601," + std::to_string(9600);
  nmea::AppendChecksum(command);
  SendSentence(command);
  // The receiver needs these gaps to switch into its loader.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  serial.Write("VL", 2, nullptr, nullptr, kWriteTimeoutMs);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  serial.Write("RN", 2, nullptr, nullptr, kWriteTimeoutMs);
  SetItemText(ids::kStatus, "Enter ISP Mode");
}

void CMainDlg::OnExitIsp() {
  SendSentence("ABORT");
  SetItemText(ids::kStatus, "Exit ISP Mode");
}

}  // namespace app
