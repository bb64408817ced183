#pragma once
// What an edit field of a configuration dialog may hold. Typed text goes into
// the sentence as it stands (blanks, letters, commas and "*" included), but a
// control character would break the line on the wire: a CR or LF ends the
// sentence early and whatever follows reaches the receiver as a second
// command. Sentences are 8-bit text, taken as ISO 8859-1, so a character
// beyond U+00FF has no byte to go out as.

#include <string>
#include <string_view>

namespace dialogs {

// A character that can be typed into an edit field: printable ASCII
// (U+0020 to U+007E) or a printable ISO 8859-1 character (U+00A0 to U+00FF).
// C0 controls, DEL, the C1 controls U+0080 to U+009F and everything above
// U+00FF are refused.
bool IsSendableChar(char32_t c);

// True when every character of `text` is sendable.
bool IsSendableFieldText(std::u32string_view text);

// The 8-bit text an edit field contributes: the sendable characters of
// `text`, in order, one byte each; every other character is dropped.
std::string SanitizeFieldText(std::u32string_view text);

// `text` without the bytes 0x00 to 0x1F and 0x7F. The sentence builders pass
// every edit text through this, so no sentence ever carries a control
// character, whatever a record holds.
std::string StripControlBytes(std::string_view text);

}  // namespace dialogs
