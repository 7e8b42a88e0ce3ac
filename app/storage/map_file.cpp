// Saving and opening the map as a whole.
#include <memory>
#include <new>

#include "app/model/mind_map.h"
#include "app/storage/map_file_format.h"
#include "app/storage/map_file_io.h"

std::string MindMap::saveToBytes() const {
    return root == nullptr ? std::string() : writeMapFile(*root);
}

bool MindMap::saveToFile(const std::u16string& path) {
    if (root == nullptr) return false;
    try {
        return replaceFileContents(path, saveToBytes());
    } catch (const std::bad_alloc&) {
        return false;  // nothing was written; the map is untouched
    }
}

bool MindMap::loadFromBytes(std::string_view bytes) {
    // Parsed before the present map goes, so that running out of memory leaves it in place.
    std::unique_ptr<Node> loaded = readMapFile(bytes);
    const bool found = loaded != nullptr;
    if (!found) loaded.reset(newRootNode());
    selectedNode = nullptr;
    delete root;
    root = loaded.release();
    selectedNode = root;
    return found;
}

bool MindMap::loadFromFile(const std::u16string& path) {
    try {
        std::string bytes;
        if (!readFileBytes(path, bytes)) return false;
        return loadFromBytes(bytes);
    } catch (const std::bad_alloc&) {
        return false;  // the file did not fit in memory; the map is untouched
    }
}
