#include "app/constellation_mode.h"

#include <QAction>
#include <QMenu>
#include <QStyle>
#include <QToolButton>
#include <chrono>

#include "app/main_dlg.h"
#include "app/settings_store.h"
#include "gnss/interpret_all.h"
#include "platform/system_menu.h"

namespace app {
namespace {

std::int64_t SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

CConstellationMode::CConstellationMode(CMainDlg& window)
    : window_(window), on_(SettingsStore().ReadBool(kAllConstellationsKey, false)), clock_(SteadyMs) {}

CConstellationMode::~CConstellationMode() = default;

void CConstellationMode::Attach(platform::CSystemMenu* menu, QWidget* statusLine) {
  if (menu && !entry_) {
    menu->AppendSeparator();
    entry_ = menu->Menu()->addAction(QString::fromLatin1(kAllConstellationsCaption));
    entry_->setCheckable(true);
    entry_->setChecked(on_);
    QObject::connect(entry_, &QAction::toggled, &window_, [this](bool checked) { SetOn(checked); });
  }
  if (statusLine && !notice_) {
    // A square at the right end of the status line, hidden until needed.
    const QRect line = statusLine->geometry();
    const int side = line.height();
    notice_ = new QToolButton(statusLine->parentWidget());
    notice_->setAutoRaise(true);
    notice_->setFocusPolicy(Qt::NoFocus);
    notice_->setIcon(notice_->style()->standardIcon(QStyle::SP_MessageBoxInformation));
    notice_->setIconSize(QSize(side - 2, side - 2));
    notice_->setGeometry(line.right() + 1 - side, line.top(), side, side);
    notice_->hide();
    QObject::connect(notice_, &QToolButton::clicked, &window_, [this] { SetOn(true); });
  }
}

void CConstellationMode::SetOn(bool on) {
  if (entry_ && entry_->isChecked() != on) entry_->setChecked(on);  // comes back here once
  if (on == on_) return;
  on_ = on;
  SettingsStore().WriteBool(kAllConstellationsKey, on);
  ShowTexts(on ? allTexts_ : gpTexts_);
  UpdateNotice();
  window_.DrawSignalChart();
  window_.DrawSkyPlot();
}

const nmea::Interpretation& CConstellationMode::Interpret(std::string_view sentence,
                                                          const nmea::Interpretation& gp) {
  gpTexts_.Apply(gp);
  const unsigned changes = gnss::InterpretAll(sentence, model_, all_);
  all_.stopTtff = fixRule_.Fed(changes, model_);
  allTexts_.Apply(all_);
  const bool noticeChanged = unshown_.Feed(sentence, clock_());
  if (noticeChanged || unshown_.Visible()) UpdateNotice();
  return on_ ? all_ : gp;
}

void CConstellationMode::ResetForNewSource() {
  model_.Reset();
  fixRule_.Reset();
  unshown_.Reset();
  gpTexts_.Reset();
  allTexts_.Reset();
  ShowTexts(gpTexts_);
  UpdateNotice();
  window_.DrawSignalChart();
  window_.DrawSkyPlot();
}

std::span<const gnss::ChartBar> CConstellationMode::ChartBars() const {
  return {bars_.data(), model_.ChartBars(bars_)};
}

void CConstellationMode::ShowTexts(const DisplayTexts& texts) {
  for (std::size_t i = 0; i < texts.Size(); ++i) window_.SetItemText(texts.Id(i), texts.Text(i));
}

void CConstellationMode::UpdateNotice() {
  if (!notice_) return;
  const bool show = !on_ && unshown_.Visible();
  if (show) {
    std::string text = unshown_.Text();
    if (text != noticeText_) {
      noticeText_ = std::move(text);
      notice_->setToolTip(QString::fromStdString(noticeText_));
    }
  }
  if (notice_->isHidden() == show) notice_->setVisible(show);
}

}  // namespace app
