// Caption search for the find box.
#include "app/model/find.h"

#include <algorithm>

#include "app/model/node.h"
#include "app/model/shown_nodes.h"

namespace {

// Latin letters (ASCII and Latin-1) folded to lower case; everything else is itself.
char16_t folded(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    return c;
}

}  // namespace

bool captionMatches(const std::u16string& caption, const std::u16string& text) {
    if (text.empty()) return false;
    const auto same = [](char16_t a, char16_t b) { return folded(a) == folded(b); };
    return std::search(caption.begin(), caption.end(), text.begin(), text.end(), same) != caption.end();
}

std::vector<Node*> findMatches(Node* root, const std::u16string& text) {
    std::vector<Node*> matches;
    if (text.empty()) return matches;
    forEachShownNode(root, [&](Node* n) {
        if (captionMatches(n->text, text)) matches.push_back(n);
    });
    return matches;
}

Node* nextMatch(Node* root, const Node* from, const std::u16string& text, bool forward) {
    if (text.empty()) return nullptr;
    // One walk: the first and last match overall, and the nearest one on each side of `from`.
    Node* first = nullptr;
    Node* last = nullptr;
    Node* before = nullptr;
    Node* after = nullptr;
    Node* self = nullptr;  // `from`, when it is a shown match: the one match there is, if alone
    bool passed = false;
    forEachShownNode(root, [&](Node* n) {
        if (n == from) {
            passed = true;
            if (captionMatches(n->text, text)) self = n;
            return;
        }
        if (!captionMatches(n->text, text)) return;
        if (first == nullptr) first = n;
        last = n;
        if (!passed) before = n;
        if (passed && after == nullptr) after = n;
    });
    if (forward) return after != nullptr ? after : (first != nullptr ? first : self);
    return before != nullptr ? before : (last != nullptr ? last : self);
}

MatchCount countMatches(Node* root, const Node* selected, const std::u16string& text) {
    MatchCount count{0, 0};
    if (text.empty()) return count;
    forEachShownNode(root, [&](Node* n) {
        if (!captionMatches(n->text, text)) return;
        ++count.total;
        if (n == selected) count.place = count.total;
    });
    return count;
}
