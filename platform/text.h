// Text as the system keeps it: UTF-16 code units, on every platform.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nuv {

using Text = std::u16string;
using TextView = std::u16string_view;

// UTF-8 (or plain ASCII) to UTF-16; invalid bytes become U+FFFD.
Text Widen(std::string_view utf8);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Narrow(TextView text);

// Integer value of a settings text: optional leading blanks, optional sign,
// then leading digits; no digits gives 0. Saturates at the int32 range instead
// of overflowing.
int32_t ParseInt(TextView text);

// Decimal text of a value, as "%d" writes it.
Text FormatInt(int64_t value);

// Case-insensitive comparison of names (sections, keys): simple case folding
// of ASCII, Latin-1, Greek and Cyrillic letters.
char16_t FoldCase(char16_t c);
bool EqualsIgnoreCase(TextView a, TextView b);

}  // namespace nuv
