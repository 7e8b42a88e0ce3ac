// What the editor puts on the system clipboard and takes from it: a branch in two forms, the
// map file's lines under the editor's own format (so another editor gets everything back) and
// a tab-indented outline as plain text (what other programs get and give). The editor reaches
// the clipboard only through this seam, so tests can put a fake in its place.
#pragma once

#include <string>

class Clipboard {
  public:
    virtual ~Clipboard() = default;

    // Replaces the clipboard's content with both forms. False when the clipboard cannot be
    // taken (another program holds it open).
    virtual bool put(const std::string& mapLines, const std::u16string& text) = 0;

    struct Content {
        // NoAnswer: the program holding the clipboard never answered; Busy: another program
        // kept the clipboard open.
        enum class Kind { Nothing, MapLines, Text, NoAnswer, Busy };
        Kind kind = Kind::Nothing;
        std::string mapLines;
        std::u16string text;
    };
    // The editor's own form when the clipboard holds it (and wantMapLines), else the text.
    virtual Content get(bool wantMapLines) = 0;
};

// The clipboard the commands use: the system's, unless a test put another in its place.
Clipboard& currentClipboard();
// Puts clipboard in the system's place (null: the system's again); answers the one before.
Clipboard* replaceClipboard(Clipboard* clipboard);
