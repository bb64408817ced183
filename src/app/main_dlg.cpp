#include "app/main_dlg.h"

#include <QComboBox>
#include <QPoint>
#include <QString>
#include <QVariant>
#include <cstdio>
#include <string_view>

#include "app/about_dlg.h"
#include "app/network_source.h"
#include "app/port_doctor_menu.h"
#include "app/port_follower.h"
#include "app/constellation_mode.h"
#include "dialogs/datum_dlg.h"
#include "dialogs/ecef_init_dlg.h"
#include "dialogs/fix_extraction_dlg.h"
#include "dialogs/lat_lon_init_dlg.h"
#include "dialogs/low_power_dlg.h"
#include "dialogs/msg_mode_dlg.h"
#include "dialogs/nav_settings_dlg.h"
#include "dialogs/nmea_output_dlg.h"
#include "dialogs/reset_dlg.h"
#include "dialogs/uart_dlg.h"
#include "platform/dialog_look.h"
#include "platform/resource_images.h"
#include "platform/system_menu.h"
#include "resources/main_ids.h"
#include "resources/strings.h"

namespace app {
namespace {

// A command button's tooltip while a gpsd source keeps it disabled; its own
// tooltip, if it has one, comes back afterwards.
void ShowSendBlocked(QWidget* button, bool blocked) {
  if (button == nullptr) return;
  static constexpr char kOwnTip[] = "gpsdeskOwnToolTip";
  const QVariant own = button->property(kOwnTip);
  if (blocked) {
    if (!own.isValid()) button->setProperty(kOwnTip, button->toolTip());
    button->setToolTip(QString::fromLatin1(kGpsdSendBlocked));
  } else if (own.isValid()) {
    button->setToolTip(own.toString());
    button->setProperty(kOwnTip, QVariant());
  }
}

struct ReplaySpeed {
  std::string_view caption;
  int intervalMs;  // one group of lines per tick
};

constexpr std::array<ReplaySpeed, CMainDlg::kReplaySpeeds> kReplaySpeedTable{{
    {"X1", 1000},
    {"X2", 500},
    {"X3", 333},
    {"X4", 250},
    {"X5", 200},
    {"X8", 125},
    {"X10", 100},
    {"X20", 50},
    {"X40", 25},
    {"X60", 16},
}};

// The buttons that talk to the receiver; usable only while the port is open.
constexpr std::array kReceiverCommandButtons{
    ids::kFactory,       ids::kHotStart, ids::kWarmStart,   ids::kColdStart,  ids::kVersionQuery,
    ids::kSettingsQuery, ids::kSetBaud,  ids::kEcefInit,    ids::kLatLonInit, ids::kDatum,
    ids::kMsgMode,       ids::kSetNmea,  ids::kNavSettings, ids::kReset,      ids::kLowPower,
    ids::kFixExtraction, ids::kEnterIsp,
};

// A configuration dialog: a new one for every click, with no explicit parent
// (it runs over the active modal window, which is this one); its result is
// not used.
template <typename Dialog>
void RunConfigDialog() {
  Dialog dlg;
  dlg.DoModal();
}

// The rectangle of a control relative to the top-left corner of `origin`.
tmpl::PixelRect RectRelativeTo(const QWidget* control, const QWidget* origin) {
  if (control == nullptr || origin == nullptr) return {};
  const QPoint o = origin->mapToGlobal(QPoint(0, 0));
  const QPoint p = control->mapToGlobal(QPoint(0, 0));
  const int left = p.x() - o.x();
  const int top = p.y() - o.y();
  return {left, top, left + control->width(), top + control->height()};
}

}  // namespace

CMainDlg::CMainDlg(QWidget* parent)
    : platform::CDialog(tmpl::MainTemplate(), parent),
      appIcon(platform::LoadIconResource(platform::kAppIconResource)),
      constellations_(std::make_unique<CConstellationMode>(*this)) {
  portDoctor_ = new CPortDoctor(this);
  portFollower_ = new CPortFollower(
      this, {[this](const std::string& name, std::int64_t gap) { return ReconnectSerialSource(name, gap); },
             [this](const std::string& name, serial::Status status) {
               portName = name;
               ReportFailedOpen(status);
               UpdateSourceDisplay();
             }});
  WireControls();
}

void CMainDlg::WireControls() {
  OnClicked(ids::kOpenClose, [this] { OnOpenClose(); });
  OnClicked(ids::kNmeaFile, [this] { OnNmeaFile(); });
  OnSelChange(ids::kReplaySpeed, [this] { OnReplaySpeed(); });
  OnClicked(ids::kStartStopLog, [this] { OnStartStopLog(); });
  OnClicked(ids::kTtffStart, [this] { RestartTtff(); });
  OnClicked(ids::kStopwatchStart, [this] { ToggleStopwatch(); });
  OnClicked(ids::kComSetup, [this] { OnComSetup(); });
  OnClicked(ids::kFactory, [this] { OnFactoryReset(); });
  OnClicked(ids::kHotStart, [this] { OnHotStart(); });
  OnClicked(ids::kWarmStart, [this] { OnWarmStart(); });
  OnClicked(ids::kColdStart, [this] { OnColdStart(); });
  OnClicked(ids::kVersionQuery, [this] { OnVersionQuery(); });
  OnClicked(ids::kSettingsQuery, [this] { OnSettingsQuery(); });
  OnClicked(ids::kEnterIsp, [this] { OnEnterIsp(); });
  OnClicked(ids::kExitIsp, [this] { OnExitIsp(); });
  OnClicked(ids::kSetNmea, [] { RunConfigDialog<dialogs::CNmeaOutputDlg>(); });
  OnClicked(ids::kSetBaud, [] { RunConfigDialog<dialogs::CUartDlg>(); });
  OnClicked(ids::kLowPower, [] { RunConfigDialog<dialogs::CLowPowerDlg>(); });
  OnClicked(ids::kEcefInit, [] { RunConfigDialog<dialogs::CEcefInitDlg>(); });
  OnClicked(ids::kLatLonInit, [] { RunConfigDialog<dialogs::CLatLonInitDlg>(); });
  OnClicked(ids::kDatum, [] { RunConfigDialog<dialogs::CDatumDlg>(); });
  OnClicked(ids::kMsgMode, [] { RunConfigDialog<dialogs::CMsgModeDlg>(); });
  OnClicked(ids::kNavSettings, [] { RunConfigDialog<dialogs::CNavSettingsDlg>(); });
  OnClicked(ids::kReset, [] { RunConfigDialog<dialogs::CResetDlg>(); });
  OnClicked(ids::kFixExtraction, [] { RunConfigDialog<dialogs::CFixExtractionDlg>(); });
}

CMainDlg::~CMainDlg() = default;

bool CMainDlg::OnInitDialog() {
  platform::CDialog::OnInitDialog();

  if (const std::string_view about = res::LoadString(res::kAboutCaption); !about.empty() && !systemMenu_) {
    systemMenu_ = new platform::CSystemMenu(this, [this](unsigned command) { OnSysCommand(command); });
    systemMenu_->AppendSeparator();
    systemMenu_->AppendCommand(ids::kAboutCommand,
                               QString::fromLatin1(about.data(), static_cast<qsizetype>(about.size())));
    portDoctor_->AddTo(*systemMenu_);
    portFollower_->AddTo(*systemMenu_);
  }

  setWindowIcon(appIcon);

  firstPaint = 1;
  replayRestart = 0;

  if (auto* speeds = ControlAs<QComboBox>(ids::kReplaySpeed)) {
    speeds->clear();
    for (std::size_t i = 0; i < kReplaySpeedTable.size(); ++i) {
      const std::string_view caption = kReplaySpeedTable[i].caption;
      speeds->addItem(QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
      replayIntervals[i] = kReplaySpeedTable[i].intervalMs;
    }
    speeds->setCurrentIndex(kDefaultReplaySpeed);
  }
  replayInterval = replayIntervals[kDefaultReplaySpeed];

  selected = {0, 2, 3, 4};
  selectedCount = 4;
  rates.fill(1);
  activeSource = SourceNone;
  selectedSource = SourceSerial;
  ttffRunning = 0;
  portName = "COM1";
  baudRate = 9600;
  sourceOpen = 0;
  UpdateSourceDisplay();
  UpdateCommandButtons();

  uartSettings = {};
  ecefSettings = {};
  lastDatumRow = dialogs::kDefaultDatumRow;
  navSettings = {};
  fixSettings = {};
  lowPowerSettings = {};
  latLonSettings = {};
  msgModeSettings = {};
  resetSettings = {};

  receiver.sats.fill({});
  receiver.channelPrn.fill(0);
  receiver.svInView = nmea::kDefaultSvInView;
  SetItemText(ids::kLatitudeDeg, "N000 00'00.00\"");
  SetItemText(ids::kLongitudeDeg, "E000 00'00.00\"");
  SetItemText(ids::kCourse, "0 ");

  const QWidget* origin = Control(ids::kOriginFrame);
  skyArea = RectRelativeTo(Control(ids::kSkyFrame), origin);
  chartArea = RectRelativeTo(Control(ids::kChartFrame), origin);
  maxSnr = 20;
  stopwatchRunning = 0;
  logging = 0;

  skyTextHeight = (skyArea.bottom - skyArea.top) / 24;
  markerRadius = (4 * skyTextHeight) / 5;
  skyFont = platform::CreateFont("System", skyTextHeight, (2 * skyTextHeight) / 3);

  constellations_->Attach(systemMenu_, Control(ids::kStatus));
  return true;
}

void CMainDlg::OnSysCommand(unsigned command) {
  if ((command & 0xFFF0) == ids::kAboutCommand) {
    CAboutDlg about(this);
    about.DoModal();
  } else {
    platform::CDialog::OnSysCommand(command);
  }
}

void CMainDlg::UpdateSourceDisplay() {
  int sourceLabel = ids::kSourceLabel;
  if (selectedSource == SourceFile) {
    ShowItem(ids::kSourceLabel, false);
    ShowItem(ids::kFileLabel, true);
    ShowItem(ids::kReplaySpeed, true);
    EnableItem(ids::kReplaySpeed, true);
    if (QWidget* speeds = Control(ids::kReplaySpeed)) speeds->repaint();
    sourceLabel = ids::kFileLabel;
  } else {
    ShowItem(ids::kFileLabel, false);
    ShowItem(ids::kReplaySpeed, false);
    char text[64];
    std::snprintf(text, sizeof text, "%s %dbps", portName.c_str(), baudRate);
    SetItemText(ids::kSourceLabel, text);
    // A network source keeps the label as it is; its tooltip says that the
    // rate does not apply.
    if (QWidget* label = Control(ids::kSourceLabel))
      label->setToolTip(ForDisplay(SourceLabelTip(portName, serial::DefaultPortLocations())));
    ShowItem(ids::kSourceLabel, true);
  }
  SetItemText(ids::kOpenClose, sourceOpen == 1 ? "CLOSE" : "OPEN");
  EnableItem(sourceLabel, sourceOpen == 1);
}

void CMainDlg::UpdateCommandButtons() {
  // A gpsd source is open but takes no commands.
  const bool open = activeSource == SourceSerial;
  const bool enable = open && serial.TakesWrites();
  for (int id : kReceiverCommandButtons) {
    EnableItem(id, enable);
    ShowSendBlocked(Control(id), open && !enable);
  }
  if (!enable) EnableItem(ids::kPvlx300, false);
}

}  // namespace app
