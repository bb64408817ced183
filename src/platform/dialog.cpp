#include "platform/dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>

#include "platform/dialog_builder.h"
#include "platform/dialog_look.h"
#include "platform/system_menu.h"
#include "platform/text_controls.h"

namespace platform {
namespace {

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToLatin1(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace

CDialog::CDialog(const tmpl::DialogTemplate& t, QWidget* parent)
    : QDialog(parent), templateId_(t.id), timers_([this](int id) { OnTimer(id); }) {
  // Caption with system menu; no minimise or maximise box, no resizing.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(Latin1(t.title));
  setFont(DialogFont());
  setFixedSize(ClientSize(t));

  for (const tmpl::ControlTemplate& c : t.controls) {
    QWidget* widget = CreateControl(c, this);
    if (c.id == tmpl::kNoId) continue;
    controls_.try_emplace(c.id, widget);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      const int id = c.id;
      connect(button, &QAbstractButton::clicked, this, [this, id] { ButtonClicked(id); });
    }
  }
}

CDialog::~CDialog() = default;

QWidget* CDialog::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void CDialog::SetItemText(int id, std::string_view text) {
  QWidget* w = Control(id);
  const QString s = Latin1(text);
  if (auto* shortened = qobject_cast<CStaticText*>(w)) {
    shortened->SetCaption(s);  // also its tooltip
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(s);
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setText(s);
  } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    edit->setText(s);
  } else if (auto* console = qobject_cast<QPlainTextEdit*>(w)) {
    console->setPlainText(s);
  } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
    group->setTitle(s);
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    // A list without an edit field selects the entry with that text, if any.
    if (const int index = combo->findText(s, Qt::MatchFixedString); index >= 0) combo->setCurrentIndex(index);
  }
}

std::string CDialog::ItemText(int id) const {
  QWidget* w = Control(id);
  if (auto* label = qobject_cast<QLabel*>(w)) return ToLatin1(label->text());
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return ToLatin1(button->text());
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return ToLatin1(edit->text());
  if (auto* console = qobject_cast<QPlainTextEdit*>(w)) return ToLatin1(console->toPlainText());
  if (auto* group = qobject_cast<QGroupBox*>(w)) return ToLatin1(group->title());
  if (auto* combo = qobject_cast<QComboBox*>(w)) return ToLatin1(combo->currentText());
  return {};
}

void CDialog::EnableItem(int id, bool enable) {
  if (QWidget* w = Control(id)) w->setEnabled(enable);
}

void CDialog::ShowItem(int id, bool show) {
  if (QWidget* w = Control(id)) w->setHidden(!show);
}

void CDialog::CheckItem(int id, bool checked) {
  if (auto* box = ControlAs<QAbstractButton>(id); box && box->isCheckable()) box->setChecked(checked);
}

bool CDialog::IsItemChecked(int id) const {
  auto* box = ControlAs<QAbstractButton>(id);
  return box != nullptr && box->isChecked();
}

void CDialog::OnClicked(int id, std::function<void()> handler) { clickHandlers_[id] = std::move(handler); }

void CDialog::OnSelChange(int id, std::function<void()> handler) {
  if (auto* combo = ControlAs<QComboBox>(id)) {
    disconnect(combo, &QComboBox::currentIndexChanged, this, nullptr);
    connect(combo, &QComboBox::currentIndexChanged, this, [h = std::move(handler)](int) { h(); });
  }
}

void CDialog::OnEditChange(int id, std::function<void()> handler) {
  if (auto* edit = ControlAs<QLineEdit>(id)) {
    disconnect(edit, &QLineEdit::textChanged, this, nullptr);
    connect(edit, &QLineEdit::textChanged, this, [h = std::move(handler)](const QString&) { h(); });
  }
}

int CDialog::DoModal() {
  if (parentWidget() == nullptr) {
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr) owner = QApplication::activeWindow();
    if (owner != nullptr && owner != this) setParent(owner, windowFlags());
  }
  return exec();
}

void CDialog::EndDialog(int result) { done(result); }

void CDialog::OnSysCommand(unsigned command) {
  if ((command & 0xFFF0) == kScClose) close();
}

void CDialog::setVisible(bool visible) {
  if (visible && !initialised_) {
    initialised_ = true;
    OnInitDialog();
  }
  QDialog::setVisible(visible);
}

void CDialog::accept() { OnOK(); }
void CDialog::reject() { OnCancel(); }

bool CDialog::OnInitDialog() { return true; }
void CDialog::OnOK() { EndDialog(tmpl::kIdOk); }
void CDialog::OnCancel() { EndDialog(tmpl::kIdCancel); }
void CDialog::OnTimer(int) {}

void CDialog::ButtonClicked(int id) {
  if (auto it = clickHandlers_.find(id); it != clickHandlers_.end() && it->second) {
    it->second();
  } else if (id == tmpl::kIdOk) {
    OnOK();
  } else if (id == tmpl::kIdCancel) {
    OnCancel();
  }
}

}  // namespace platform
