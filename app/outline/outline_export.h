// The map as other programs' outline formats, as bytes ready for a file: OPML, FreeMind/Freeplane
// (.mm), a Markdown nested list and a tab-indented plain-text outline. Every node is written,
// collapsed subtrees too, in the map's order; positions are not (these formats carry none).
//
// How captions are kept intact:
// - OPML and .mm: XML attributes in double quotes. & < > " become entities, line feed, carriage
//   return and tab become &#10; &#13; &#9; (so a parser keeps them); characters XML cannot hold
//   (other control characters, U+FFFE, U+FFFF, lone surrogates) become U+FFFD.
// - Markdown: one item "- caption" per node, four spaces of indentation per level (what
//   Python-Markdown needs to nest), each item on one line, so that CommonMark and
//   Python-Markdown read the same tree. A line feed in a caption is written <br>; & < > ~ are
//   written &amp; &lt; &gt; &#126;, a space at either end of the caption &#32;, a tab, carriage
//   return or other control character &#N;. \ ` * _ [ ] are escaped with a backslash anywhere,
//   # + - with a backslash and = as &#61; at the start, as is the . or ) after leading digits, so
//   no caption reads as markup. An empty caption is an empty comment, <!-- -->.
// - Plain text: one line per node, one tab per level of depth, then the caption with \\ for a
//   backslash, \n \r \t for line feed, carriage return and tab, and \s for each space at the
//   start or end of the caption (so indentation and trailing-space trimming cannot eat it);
//   an empty caption is written \e.
#pragma once

#include <string>

#include "app/model/node.h"

// OPML 2.0: the root is the one top-level outline, its title also the document's. Each outline
// has text, and the node's fill and caption colours as fillColor="#rrggbb" and
// textColor="#rrggbb"; collapsed nodes carry collapsed="true".
std::string writeOpml(const Node& root);

// FreeMind 1.0 map: <node TEXT=".." BACKGROUND_COLOR="#rrggbb" COLOR="#rrggbb"> with
// FOLDED="true" on collapsed nodes.
std::string writeFreeMind(const Node& root);

// Markdown nested list (UTF-8, no byte-order mark).
std::string writeMarkdownOutline(const Node& root);

// Tab-indented plain-text outline (UTF-8, no byte-order mark).
std::string writeTextOutline(const Node& root);
