#pragma once
// The pattern every receiver configuration dialog follows, written once.
//
// - The dialog runs modally over the main window (its parent window) and is a
//   new object each time it opens.
// - Opening: the controls are set from the record the main window keeps for
//   this dialog, then the sentence is built once, so the preview is filled
//   before the user does anything.
// - Every edit-text change, list-selection change and tick-box click rebuilds
//   the sentence from the controls, through the core's sentence builder, and
//   shows it in the preview followed by the visible text "<CR><LF>".
// - Send hands the sentence as built (without line end) to the main window's
//   SendSentence, which adds CR LF on the wire, then stores the values in the
//   main window's record. The dialog stays open.
// - Close or Cancel (id 2, also Escape) stores nothing.
// - Enter presses the default button. In a dialog without one it presses the
//   focused button, and anywhere else ends the dialog, storing nothing, as
//   Close does.
// - Static text that the template runs under a button beside it ends before
//   the button.
// - Edit fields take what can be sent: blanks, letters, commas and "*" go
//   into the sentence as typed; control characters and characters without an
//   8-bit code are refused (sendable_validator.h).

#include <functional>
#include <string>
#include <vector>

#include "platform/dialog.h"

class QKeyEvent;

namespace app {
class CMainDlg;
}

namespace dialogs {

class CConfigDlg : public platform::CDialog {
  Q_OBJECT

 protected:
  // `sendId` is the Send button, `previewId` the preview field.
  CConfigDlg(const tmpl::DialogTemplate& t, int sendId, int previewId, QWidget* parent = nullptr);

  // The main window the dialog runs over, or null when it has another parent.
  // Without a main window the dialog shows the initial values and its Send
  // does nothing.
  app::CMainDlg* MainWindow() const;

  // What each dialog supplies, in the order of its life. None of the change
  // handlers runs while PrepareControls, LoadRecord and ShowValues do.
  virtual void PrepareControls() {}                        // lists the template does not fill
  virtual void LoadRecord(const app::CMainDlg& main) = 0;  // the dialog's values from the record
  virtual void ShowValues() = 0;                           // the controls from the dialog's values
  virtual void Opened() { RebuildSentence(); }
  // A control `id` changed: its text, its selection or its tick.
  virtual void ControlChanged(int /*id*/) { RebuildSentence(); }
  // Reads the controls, updates whatever depends on them (enabled states,
  // summaries) and returns the finished sentences.
  virtual std::vector<std::string> BuildSentences() = 0;
  virtual void StoreRecord(app::CMainDlg& main) = 0;
  virtual void OnSend();

  bool OnInitDialog() override;
  void keyPressEvent(QKeyEvent* event) override;

  void RebuildSentence();

  // The text of edit `id` as it goes into a sentence.
  std::string FieldText(int id) const;
  // The selected position of list `id`, -1 when nothing is selected.
  int ListPosition(int id) const;
  // Selects `position` in list `id`; a position outside the list selects the
  // nearest entry.
  void SelectPosition(int id, int position);
  // Runs `change` without the change handlers reacting to it.
  void Quietly(const std::function<void()>& change);

 private:
  void Changed(int id);

  int sendId_;
  int previewId_;
  bool hasDefaultButton_ = false;
  // The sentences as last built, without line ends, in the order Send hands
  // them on: one for every dialog but the NMEA output-rate dialog.
  std::vector<std::string> sentences_;
  int quiet_ = 0;
};

}  // namespace dialogs
