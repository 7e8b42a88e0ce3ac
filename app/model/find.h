// Finding nodes by caption: the find box's state and the search over the shown nodes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Node;

struct FindBox {
    bool open = false;
    std::u16string text;            // what is searched for, as typed
    std::int32_t caretCounter = 0;  // the box's caret blink, as the edit box's
};

// Whether `caption` holds `text`, Latin letters compared without case. Empty text matches
// nothing.
bool captionMatches(const std::u16string& caption, const std::u16string& text);

// The shown nodes (those no collapsed ancestor hides) whose caption holds `text`, in pre-order.
std::vector<Node*> findMatches(Node* root, const std::u16string& text);

// The match after (forward) or before `from` in pre-order, wrapping around; the first (or last)
// match when `from` is none or no match lies on that side. None when nothing matches.
Node* nextMatch(Node* root, const Node* from, const std::u16string& text, bool forward);

// Where the found node stands among the matches: its 1-based place (0 when it is not one of
// them) and how many there are.
struct MatchCount {
    std::size_t place;
    std::size_t total;
};
MatchCount countMatches(Node* root, const Node* selected, const std::u16string& text);
