#pragma once
// The base of every window of the tool: a dialog built from a template, whose
// controls are addressed by their numeric ids, with window timers by id and
// a modal run that reports the id of the button that ended it.
//
// Button clicks go to the handler registered for the button's id; without
// one, id 1 calls OnOK() and id 2 OnCancel(), which end the modal run with
// that id. Escape and the window's close button count as id 2.

#include <QDialog>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/window_timers.h"
#include "resources/dialog_template.h"

namespace platform {

class CDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CDialog(const tmpl::DialogTemplate& t, QWidget* parent = nullptr);
  ~CDialog() override;

  int TemplateId() const { return templateId_; }

  // The control with id `id`, or null.
  QWidget* Control(int id) const;
  template <typename Widget>
  Widget* ControlAs(int id) const {
    return qobject_cast<Widget*>(Control(id));
  }

  // Window text of a control, as 8-bit text: the caption of labels, buttons,
  // check boxes and group boxes, the content of edits and the console, the
  // current entry of a drop-down list. Setting a missing control does nothing.
  void SetItemText(int id, std::string_view text);
  std::string ItemText(int id) const;
  void EnableItem(int id, bool enable);
  void ShowItem(int id, bool show);
  void CheckItem(int id, bool checked);
  bool IsItemChecked(int id) const;

  // Click of a button or check box `id`. A later registration replaces an
  // earlier one.
  void OnClicked(int id, std::function<void()> handler);
  // Selection change of drop-down list `id`.
  void OnSelChange(int id, std::function<void()> handler);
  // Text change of edit `id`.
  void OnEditChange(int id, std::function<void()> handler);

  // Runs the window modally; returns the id passed to EndDialog. Without a
  // parent the dialog is owned by the active window, and centred over it.
  int DoModal();
  void EndDialog(int result);

  bool SetTimer(int id, int ms) { return timers_.SetTimer(id, ms); }
  bool KillTimer(int id) { return timers_.KillTimer(id); }
  bool IsTimerRunning(int id) const { return timers_.IsRunning(id); }
  int TimerPeriod(int id) const { return timers_.Period(id); }

  // A system-menu command. The default handling closes the window on
  // kScClose (system_menu.h) and ignores everything else.
  virtual void OnSysCommand(unsigned command);

  void setVisible(bool visible) override;
  void accept() override;
  void reject() override;

 protected:
  // Runs once, just before the window first shows.
  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void OnTimer(int id);

 private:
  void ButtonClicked(int id);

  int templateId_;
  std::map<int, QWidget*> controls_;
  std::map<int, std::function<void()>> clickHandlers_;
  CWindowTimers timers_;
  bool initialised_ = false;
};

}  // namespace platform
