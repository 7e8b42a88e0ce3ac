// A branch as the clipboard carries it, and back: the map file's lines (everything kept) and a
// tab-indented text outline (captions only, escaped as the text export writes them). Reading
// text follows the text import's rules and limits.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "app/model/node.h"
#include "app/outline/import_layout.h"

// Pasted text may hold at most this many lines, and its branch kMaxDepth levels.
inline constexpr std::size_t kMaxPastedLines = 1000000;

// The map file's lines of top and its subtree.
std::string branchMapLines(const Node& top);
// The outline of top and its subtree: a caption a line, a tab a level.
std::u16string branchOutlineText(const Node& top);

// The branch the map file's lines hold (its first line and what nests below it), or null.
std::unique_ptr<Node> branchFromMapLines(std::string_view mapLines);
// The branch an outline of another program builds, laid out as an import lays out (several
// top-level lines hang below one "中心主题"), or null with a one-line reason in error.
std::unique_ptr<Node> branchFromText(std::u16string_view text, std::string& error,
                                     const CaptionWidth& captionWidth = {});
