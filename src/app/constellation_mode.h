#pragma once
// The main window's "All constellations" mode: a checkable entry of the
// window's context menu, remembered between runs (settings key
// "view/allConstellations", off by default). Off, the window shows what the
// GPS-only interpreter makes of the $GP sentences, exactly as it always did.
// On, the every-constellation model (src/gnss) drives the same texts and
// both views, and the time-to-first-fix count stops by gnss::FirstFixRule.
//
// Both interpreters read every sentence whatever the mode, and the texts
// each of them last wrote are kept, so switching shows at once what the
// interpreter now in charge knows, never what the other one left behind.
//
// With the mode off, a small notice at the right end of the status line
// appears when the receiver's GGA, RMC, GSA or GSV come only from other
// talkers (gnss::UnshownNotice); its tooltip says what arrives, and a click
// turns the mode on.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "app/display_texts.h"
#include "gnss/first_fix.h"
#include "gnss/gnss_model.h"
#include "gnss/unshown_notice.h"
#include "nmea/interpreter.h"

class QAction;
class QToolButton;
class QWidget;

namespace platform {
class CSystemMenu;
}

namespace app {

class CMainDlg;

inline constexpr const char* kAllConstellationsKey = "view/allConstellations";
inline constexpr const char* kAllConstellationsCaption = "All constellations";

class CConstellationMode {
 public:
  // Reads the remembered setting.
  explicit CConstellationMode(CMainDlg& window);
  ~CConstellationMode();
  CConstellationMode(const CConstellationMode&) = delete;
  CConstellationMode& operator=(const CConstellationMode&) = delete;

  // Adds the menu entry (when there is a menu) and the notice beside
  // `statusLine`.
  void Attach(platform::CSystemMenu* menu, QWidget* statusLine);

  bool On() const { return on_; }
  // Switches the mode, remembers it, shows the texts and redraws the views
  // of the interpreter now in charge.
  void SetOn(bool on);

  // Takes one sentence after the GPS-only interpreter made `gp` of it, and
  // returns what the window applies: `gp` with the mode off, the
  // every-constellation interpretation with it on.
  const nmea::Interpretation& Interpret(std::string_view sentence, const nmea::Interpretation& gp);

  // Another source was opened: the model, the fix rule, the notice and the
  // kept texts start afresh, the window's texts go back to their start
  // values and both views are drawn empty. The caller has reset the GPS-only
  // receiver state.
  void ResetForNewSource();

  // What the views draw in the mode.
  std::span<const gnss::SkySat> SkyEntries() const { return model_.SkyEntries(); }
  std::span<const gnss::ChartBar> ChartBars() const;

  const gnss::GnssModel& Model() const { return model_; }
  QAction* MenuEntry() const { return entry_; }
  QToolButton* Notice() const { return notice_; }

  // The clock the notice goes by, in milliseconds; a steady clock unless a
  // test sets its own.
  void SetClock(std::function<std::int64_t()> clock) { clock_ = std::move(clock); }

 private:
  void ShowTexts(const DisplayTexts& texts);
  void UpdateNotice();

  CMainDlg& window_;
  bool on_ = false;
  gnss::GnssModel model_;
  gnss::FirstFixRule fixRule_;
  gnss::UnshownNotice unshown_;
  nmea::Interpretation all_;
  DisplayTexts gpTexts_;
  DisplayTexts allTexts_;
  mutable std::array<gnss::ChartBar, 16> bars_{};
  std::function<std::int64_t()> clock_;
  std::string noticeText_;  // what the notice's tooltip says now
  QAction* entry_ = nullptr;
  QToolButton* notice_ = nullptr;  // owned by the window
};

}  // namespace app
