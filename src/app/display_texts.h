#pragma once
// The main window's texts that the interpreters write, with the values the
// window starts with, and a copy of what one interpreter last wrote to them.
//
// The window keeps one copy per interpreter (GPS only, every constellation)
// so that switching between them shows what the one now in charge last
// wrote, never what the other one left behind.

#include <array>
#include <string>
#include <string_view>

#include "nmea/interpreter.h"

namespace app {

struct StartText {
  int id;
  std::string_view text;
};

// Every control an interpreter writes, with its text at start-up.
extern const std::array<StartText, 15> kStartTexts;

class DisplayTexts {
 public:
  DisplayTexts() { Reset(); }

  // Takes the texts of one interpretation; ids not in kStartTexts are not kept.
  void Apply(const nmea::Interpretation& r);
  // Back to the start values.
  void Reset();

  std::size_t Size() const { return texts_.size(); }
  int Id(std::size_t i) const { return kStartTexts[i].id; }
  const std::string& Text(std::size_t i) const { return texts_[i]; }
  // The text of a control, or an empty one for a control not in the table.
  const std::string& TextOf(int id) const;

 private:
  std::array<std::string, kStartTexts.size()> texts_;
};

}  // namespace app
