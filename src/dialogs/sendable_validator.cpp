#include "dialogs/sendable_validator.h"

#include <QLineEdit>

#include "dialogs/field_text.h"

namespace dialogs {

QValidator::State CSendableTextValidator::validate(QString& input, int& pos) const {
  QString kept;
  kept.reserve(input.size());
  int keptBeforeCursor = 0;
  for (qsizetype i = 0; i < input.size();) {
    // Characters beyond the basic plane come as surrogate pairs: one
    // character, two code units, never sendable.
    char32_t c = input.at(i).unicode();
    qsizetype units = 1;
    if (input.at(i).isHighSurrogate() && i + 1 < input.size() && input.at(i + 1).isLowSurrogate()) {
      c = QChar::surrogateToUcs4(input.at(i), input.at(i + 1));
      units = 2;
    }
    if (IsSendableChar(c)) {
      kept += input.at(i);
      if (i < pos) ++keptBeforeCursor;
    }
    i += units;
  }
  if (kept.size() != input.size()) {
    input = kept;
    pos = keptBeforeCursor;
  }
  return Acceptable;
}

void CSendableTextValidator::fixup(QString& input) const {
  int pos = static_cast<int>(input.size());
  validate(input, pos);
}

void RestrictToSendableText(QLineEdit& edit) { edit.setValidator(new CSendableTextValidator(&edit)); }

}  // namespace dialogs
