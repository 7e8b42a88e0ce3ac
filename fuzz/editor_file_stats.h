// The opens and saves the editor fuzzer's dialogs carried out, checked and counted: a run in
// which none succeeds has stopped exercising the files (scripts/fuzz.sh fails it).
#pragma once

#include <string>

#include "app/model/mind_map.h"

namespace editor_fuzz {

// What a dialog was confirmed with: open or save, the path it acted on, and whether that is one
// of the pool's own paths (typed whole by an open or save record) or a name typed at random.
struct FileAction {
    bool open;
    std::string path;
    bool pooled;
};

// Called once the dialog has acted. An open of a regular file must give what opening its bytes
// gives, and succeeded when they hold a map; a save succeeded when the file holds exactly what
// the map saves.
void countFileAction(const MindMap& map, const FileAction& action);

// Prints the counts in libFuzzer's final-statistics form (stat::editor_pool_opens_ok: N, ...).
void printFileStats();

}  // namespace editor_fuzz
