// Maps made in other editors, brought in as map files: OPML (.opml), FreeMind and Freeplane
// (.mm), Markdown headings and nested lists (.md), and tab- or space-indented plain-text
// outlines (.txt). Captions are kept whole, and colours and collapsed states where the format
// has them; the positions are laid out anew (layoutImportedTree), as these formats carry none
// the editor can use. Errors are one English line.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "app/model/node.h"
#include "app/outline/import_layout.h"

enum class OutlineFormat { Opml, FreeMind, Markdown, Text };

// The format a file's extension names (any case: .opml, .mm, .md or .markdown, .txt); false
// for any other name.
bool outlineFormatForPath(std::u16string_view path, OutlineFormat& format);

// What a successful import read in place of what the file held.
struct ImportNotes {
    // Byte sequences of a text outline (.md, .txt) not valid in its encoding, each read as
    // U+FFFD; the encoding was UTF-16 (with its mark) when utf16, else UTF-8.
    std::size_t invalidSequences = 0;
    bool utf16 = false;
};

// The tree the bytes hold, laid out for the editor, or null with the reason in error:
// malformed XML, a document type declaring entities, NUL bytes in a text outline, nesting at
// kMaxDepth or deeper, more than kMaxImportNodes items, or no item at all. Several top-level
// items hang below one new root. Invalid UTF-8 in a text outline reads as U+FFFD, counted in
// notes; in XML it is malformed. Box widths are fitted to captions measured by captionWidth
// (when given).
std::unique_ptr<Node> importOutline(std::string_view bytes, OutlineFormat format, std::string& error,
                                    ImportNotes* notes = nullptr, const CaptionWidth& captionWidth = {});

// Reads inPath (up to kMaxFileBytes), imports it in the format its extension names and
// writes the map to outPath, replacing that file only once the new one is complete. False,
// with a one-line reason in errorUtf8 and outPath untouched, on any failure. On success,
// noticeUtf8 (when given) is one line naming the file and what it read in place of invalid
// text, or empty when there was none.
bool importMapFile(const std::u16string& inPath, const std::u16string& outPath, std::string& errorUtf8,
                   std::string* noticeUtf8 = nullptr, const CaptionWidth& captionWidth = {});
