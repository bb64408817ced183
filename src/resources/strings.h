#pragma once
// The string table: texts the program loads by number.

#include <string_view>

namespace res {

inline constexpr int kAboutCaption = 101;  // the About entry of the system menu

// The text of string `id`, or an empty text when there is none.
constexpr std::string_view LoadString(int id) {
  switch (id) {
    case kAboutCaption:
      return "About gpsdesk...";
    default:
      return {};
  }
}

}  // namespace res
