// Saving and opening the map as a whole.
#include <memory>
#include <new>
#include <utility>

#include "app/files/console_line.h"
#include "app/files/file_io.h"
#include "app/mapformat/map_file_format.h"
#include "app/model/map_view.h"
#include "app/model/mind_map.h"
#include "app/recovery/map_snapshot.h"
#include "app/recovery/recovery_files.h"

std::string MindMap::saveToBytes() const {
    return root == nullptr ? std::string() : writeMapFile(*root);
}

bool MindMap::saveToFile(const std::u16string& path) {
    if (root == nullptr) return false;
    std::string reason;
    bool saved = false;
    // The ends of the program wait for this save rather than keep what it is writing.
    SaveUnderWay underWay;
    try {
        FileResult result = replaceFileContents(path, saveToBytes());
        saved = result.ok;
        reason = std::move(result.reason);
    } catch (const std::bad_alloc&) {
        reason = "Out of memory";  // nothing was written; the map is untouched
    }
    if (!saved) {
        fileFailure = fileFailureLine(u"保存失败", path, reason);
        reportFileFailure(u"保存失败", path, reason);
        return false;
    }
    underWay.succeeded(changeCount);
    savedChangeCount = changeCount;
    ++fileMatches;
    savedPath = path;
    ++saveCount;
    return true;
}

bool MindMap::loadFromBytes(std::string_view bytes) {
    // Parsed before the present map goes, so that running out of memory leaves it in place.
    std::unique_ptr<Node> loaded = readMapFile(bytes);
    const bool found = loaded != nullptr;
    if (!found) loaded.reset(newRootNode());
    replaceTree(loaded.release());
    openedRecoveryCopy = false;
    recoveredFrom.clear();
    ++openCount;
    // A new map is seen from the original view, unless that would show none of it.
    placeViewAfterOpen(root, view);
    panDrag = PanDrag{};
    return found;
}

bool MindMap::loadFromFile(const std::u16string& path) {
    std::string reason;
    bool opened = false;
    try {
        std::string bytes;
        FileResult read = readFileBytes(path, bytes);
        reason = std::move(read.reason);
        if (read) {
            opened = loadFromBytes(bytes);
            if (!opened) reason = "No map in the file";  // the fresh map took its place
        }
    } catch (const std::bad_alloc&) {
        reason = "Out of memory";  // the file did not fit in memory; the map is untouched
    }
    if (!opened) {
        fileFailure = fileFailureLine(u"打开失败", path, reason);
        reportFileFailure(u"打开失败", path, reason);
        return false;
    }
    if (isRecoveryCopyPath(path)) {
        // The recovery copy holds work no save has kept: it stays unsaved until saved elsewhere.
        openedRecoveryCopy = true;
        recoveredFrom = path;
    } else {
        savedChangeCount = changeCount;
        ++fileMatches;
    }
    return true;
}
