#include "dialogs/config_dlg.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "app/main_dlg.h"
#include "dialogs/field_text.h"
#include "dialogs/sendable_validator.h"
#include "dialogs/sentences.h"
#include "platform/dialog_builder.h"

namespace dialogs {

CConfigDlg::CConfigDlg(const tmpl::DialogTemplate& t, int sendId, int previewId, QWidget* parent)
    : platform::CDialog(t, parent), sendId_(sendId), previewId_(previewId) {
  platform::KeepTextClearOfButtons(*this);
  for (const tmpl::ControlTemplate& c : t.controls) {
    if (c.kind == tmpl::Kind::DefaultButton) hasDefaultButton_ = true;
    if (c.id == tmpl::kNoId) continue;
    const int id = c.id;
    switch (c.kind) {
      case tmpl::Kind::Edit:
        if (auto* edit = ControlAs<QLineEdit>(id)) RestrictToSendableText(*edit);
        OnEditChange(id, [this, id] { Changed(id); });
        break;
      case tmpl::Kind::DropList:
        OnSelChange(id, [this, id] { Changed(id); });
        break;
      case tmpl::Kind::CheckBox:
        OnClicked(id, [this, id] { Changed(id); });
        break;
      default:
        break;
    }
  }
  OnClicked(sendId_, [this] { OnSend(); });
  // Without a default button no button becomes one by itself, not even the
  // first or the focused one.
  if (!hasDefaultButton_) {
    for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
  }
}

app::CMainDlg* CConfigDlg::MainWindow() const { return qobject_cast<app::CMainDlg*>(parentWidget()); }

bool CConfigDlg::OnInitDialog() {
  platform::CDialog::OnInitDialog();
  Quietly([this] {
    PrepareControls();
    if (const app::CMainDlg* main = MainWindow()) LoadRecord(*main);
    ShowValues();
  });
  Opened();
  return true;
}

void CConfigDlg::RebuildSentence() {
  sentences_ = BuildSentences();
  std::string preview;
  for (const std::string& sentence : sentences_) {
    if (!preview.empty()) preview += '\n';
    preview += PreviewText(sentence);
  }
  SetItemText(previewId_, preview);
}

void CConfigDlg::OnSend() {
  app::CMainDlg* main = MainWindow();
  if (main == nullptr) return;
  const std::vector<std::string> sending = sentences_;
  for (const std::string& sentence : sending) main->SendSentence(sentence);
  StoreRecord(*main);
}

void CConfigDlg::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const bool plain = event->modifiers() == Qt::NoModifier ||
                     (event->key() == Qt::Key_Enter && event->modifiers() == Qt::KeypadModifier);
  if (enter && plain && !hasDefaultButton_) {
    // A focused button takes Enter; anywhere else it ends the dialog.
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isEnabled()) {
      button->click();
    } else {
      accept();
    }
    return;
  }
  platform::CDialog::keyPressEvent(event);
}

std::string CConfigDlg::FieldText(int id) const {
  const auto* edit = ControlAs<QLineEdit>(id);
  return edit != nullptr ? SanitizeFieldText(edit->text().toStdU32String()) : std::string();
}

int CConfigDlg::ListPosition(int id) const {
  const auto* list = ControlAs<QComboBox>(id);
  return list != nullptr ? list->currentIndex() : -1;
}

void CConfigDlg::SelectPosition(int id, int position) {
  auto* list = ControlAs<QComboBox>(id);
  if (list == nullptr || list->count() == 0) return;
  list->setCurrentIndex(std::clamp(position, 0, list->count() - 1));
}

void CConfigDlg::Quietly(const std::function<void()>& change) {
  ++quiet_;
  change();
  --quiet_;
}

void CConfigDlg::Changed(int id) {
  if (quiet_ == 0) ControlChanged(id);
}

}  // namespace dialogs
