// UTF-8 <-> UTF-16 conversions for the places where X11 or Linux speak UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace platform::win {

// Invalid input becomes U+FFFD; nothing is dropped silently.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);
// Appends one code point as one or two UTF-16 code units.
void appendCodePoint(std::u16string& out, char32_t codePoint);

}  // namespace platform::win
