#pragma once
// The validator on every edit field of the configuration dialogs. What is
// typed, pasted or dropped into a field keeps its sendable characters
// (field_text.h) in order and loses the rest, so a line break can never end a
// sentence early on the wire and carry a second command to the receiver.

#include <QValidator>

class QLineEdit;

namespace dialogs {

class CSendableTextValidator : public QValidator {
  Q_OBJECT

 public:
  using QValidator::QValidator;

  // Drops every character that cannot be sent, keeping the cursor after the
  // same kept characters; what remains is always acceptable.
  State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;
};

// Puts a CSendableTextValidator, owned by `edit`, on `edit`.
void RestrictToSendableText(QLineEdit& edit);

}  // namespace dialogs
