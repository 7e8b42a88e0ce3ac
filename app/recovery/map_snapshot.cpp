#include "app/recovery/map_snapshot.h"

#include <atomic>

#include "app/mapformat/map_file_format.h"

namespace {

std::mutex& publishedLock() {
    static std::mutex* const lock = new std::mutex;  // outlives every thread that ends the program
    return *lock;
}
MapSnapshot& published() {
    static MapSnapshot* const snapshot = new MapSnapshot;
    return *snapshot;
}

std::mutex& saveLock() {
    static std::mutex* const lock = new std::mutex;
    return *lock;
}
std::atomic<std::uint64_t> lastSavedChange{0};

}  // namespace

MapSnapshot takeSnapshot(MindMap& map) {
    auto root = freezeFields(*map.root);
    root->children = freezeChildren(*map.root);
    MapSnapshot snapshot;
    snapshot.root = std::move(root);
    snapshot.change = map.changeCount;
    snapshot.savedChange = map.savedChangeCount;
    return snapshot;
}

std::string snapshotBytes(const MapSnapshot& snapshot) {
    return snapshot.root == nullptr ? std::string() : writeMapFile(*snapshot.root);
}

void publishSnapshot(MindMap& map) {
    {
        std::lock_guard<std::mutex> guard(publishedLock());
        const MapSnapshot& last = published();
        if (last.root != nullptr && last.change == map.changeCount &&
            last.savedChange == map.savedChangeCount)
            return;
    }
    MapSnapshot next = takeSnapshot(map);
    std::lock_guard<std::mutex> guard(publishedLock());
    published() = std::move(next);
}

MapSnapshot publishedSnapshot() {
    std::lock_guard<std::mutex> guard(publishedLock());
    return published();
}

void clearPublishedSnapshot() {
    std::lock_guard<std::mutex> guard(publishedLock());
    published() = MapSnapshot{};
    lastSavedChange.store(0);
}

SaveUnderWay::SaveUnderWay() : held(saveLock()) {}

SaveUnderWay::~SaveUnderWay() = default;

void SaveUnderWay::succeeded(std::uint64_t change) {
    lastSavedChange.store(change);
}

std::uint64_t waitForSaves() {
    std::lock_guard<std::mutex> guard(saveLock());
    return lastSavedChange.load();
}
