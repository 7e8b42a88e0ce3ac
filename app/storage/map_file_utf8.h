// Conversions between the UTF-16 captions and the UTF-8 bytes of the map file.
#pragma once

#include <string>
#include <string_view>

// Appends text as UTF-8. A surrogate without its partner is not a character and becomes
// U+FFFD, so any caption can be written.
void appendUtf8(std::string& out, std::u16string_view text);
std::string toUtf8(std::u16string_view text);

// Decodes UTF-8; each ill-formed sequence (its longest valid-looking prefix, or one byte)
// becomes one U+FFFD and decoding goes on after it.
std::u16string fromUtf8(std::string_view bytes);
