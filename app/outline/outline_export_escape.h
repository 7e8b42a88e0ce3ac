// Caption and colour spelling shared by the outline writers (outline_export.h says which
// format escapes what).
#pragma once

#include <string>
#include <string_view>

#include "app/model/colour.h"

// Appends text as UTF-8 for a double-quoted XML attribute value.
void appendXmlAttribute(std::string& out, std::u16string_view text);

// Appends a caption as the text of a one-line Markdown list item that CommonMark and
// Python-Markdown both read back as exactly that text (outline_export.h lists the escapes).
void appendMarkdownCaption(std::string& out, std::u16string_view text);

// Appends a colour 0x00BBGGRR as "#rrggbb".
void appendHexColour(std::string& out, Colour colour);
