// What must hold of the editor after every input record the editor fuzzer plays: a sound tree,
// a selection inside it, modes that changed only as one message may change them, and a map
// that saves and opens back to the same tree and the same bytes.
#pragma once

#include <cstdint>
#include <string>

#include "app/model/mind_map.h"

namespace editor_fuzz {

// Stops the run with a message; libFuzzer keeps the input that got here.
[[noreturn]] void fail(const char* what);
inline void require(bool condition, const char* what) {
    if (!condition) fail(what);
}

// The root has no parent, every child names its parent, no node is reached twice, every depth
// is below kMaxDepth, identities are unique (history finds nodes by them), the selection (if
// any) lies in the tree, the panel holds its ten buttons with at most one hovered, an open edit
// has a node to commit to, and the path buffer holds only what typing can put there.
void checkEditor(const MindMap& map);

// The editor's modes, as one message may change them.
struct Modes {
    bool editing;
    bool help;
    bool dialog;
    bool saveDialog;
};
Modes modesOf(const MindMap& map);

enum class MessageKind { Key, LeftPress, Other };

// A key-down changes at most one mode, and while an edit is open only the edit may end; with
// the path dialog open (no edit) only the dialog may close. A left press on the open dialog
// can only close it; elsewhere it starts or toggles at most one mode (a panel button). Every
// other message changes no mode at all.
void checkModeChange(const Modes& before, const Modes& after, MessageKind kind);

// Saving gives bytes that open into the same tree (captions compared as the file stores them,
// a lone surrogate as U+FFFD) and save again to the very same bytes.
void checkRoundTrip(const MindMap& map);

// What a save would write and the change count that should say whether it differs.
struct SavedState {
    std::string bytes;
    std::uint64_t changeCount;
};
SavedState savedStateOf(const MindMap& map);

// What a save would write never changes while the change count stays: the recovery copy and
// the unsaved-work test rely on the count alone.
void checkChangeCounted(const SavedState& before, const MindMap& after);

// The tree a file's bytes open into, as the editor saves it.
std::string openedAndSaved(const std::string& fileBytes);

}  // namespace editor_fuzz
