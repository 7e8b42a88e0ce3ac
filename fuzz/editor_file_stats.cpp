#include "fuzz/editor_file_stats.h"

#include <cstdio>
#include <utility>

#include "fuzz/editor_checks.h"
#include "fuzz/editor_files.h"

namespace editor_fuzz {

namespace {
struct Counts {
    unsigned long opened = 0;
    unsigned long openFailed = 0;
    unsigned long saved = 0;
    unsigned long saveFailed = 0;
};
Counts pool;   // the pool's paths
Counts typed;  // names typed at random
}  // namespace

void countFileAction(const MindMap& map, const FileAction& action) {
    Counts& counts = action.pooled ? pool : typed;
    std::string bytes;
    const bool readable = readWholeFile(action.path, bytes);
    if (action.open) {
        // Counted as the editor counts it: a file that holds no map is a failed open (though it
        // leaves a fresh map, as the file's bytes give).
        bool holdsMap = false;
        if (readable) {
            MindMap opened;
            holdsMap = opened.loadFromBytes(bytes);
            require(map.saveToBytes() == opened.saveToBytes(), "an open gives what the file's bytes give");
        }
        ++(holdsMap ? counts.opened : counts.openFailed);
    } else {
        ++(readable && bytes == map.saveToBytes() ? counts.saved : counts.saveFailed);
    }
}

void printFileStats() {
    for (const auto& [name, counts] : {std::pair{"pool", &pool}, std::pair{"typed", &typed}}) {
        std::fprintf(stderr,
                     "stat::editor_%s_opens_ok: %lu\nstat::editor_%s_opens_failed: %lu\n"
                     "stat::editor_%s_saves_ok: %lu\nstat::editor_%s_saves_failed: %lu\n",
                     name, counts->opened, name, counts->openFailed, name, counts->saved, name,
                     counts->saveFailed);
    }
}

}  // namespace editor_fuzz
