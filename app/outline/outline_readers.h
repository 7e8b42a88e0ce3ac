// One reader per format another editor writes. Each builds the tree a file holds, without
// positions (layoutImportedTree gives them), or answers null with a one-line reason.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "app/model/node.h"

std::unique_ptr<Node> readOpmlOutline(std::string_view bytes, std::string& error);
std::unique_ptr<Node> readFreeMindOutline(std::string_view bytes, std::string& error);
std::unique_ptr<Node> readMarkdownOutline(std::string_view bytes, std::string& error);
std::unique_ptr<Node> readTextOutline(std::string_view bytes, std::string& error);

// "#rrggbb" (either case) as a colour; false for anything else.
bool parseHexColour(std::string_view text, Colour& colour);
// "true" (either case) or "1".
bool isTrueAttribute(std::string_view text);
