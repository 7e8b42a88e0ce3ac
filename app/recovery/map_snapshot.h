// The map as the threads that end the program see it: after each pass of the loop the main
// thread publishes an immutable snapshot (the history's frozen nodes, so only what changed is
// copied) with its change count; the recovery writer and every end write that snapshot and
// never touch the live map. A save under way is waited for by every end: it needs no window,
// so it always finishes.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "app/model/frozen_node.h"
#include "app/model/mind_map.h"

struct MapSnapshot {
    std::shared_ptr<const FrozenNode> root;  // null: nothing published yet
    std::uint64_t change = 0;
    std::uint64_t savedChange = 0;  // the change a save or open last matched with a file
    bool unsaved() const { return root != nullptr && change != savedChange; }
};

// On the map's thread: the map as it is now.
MapSnapshot takeSnapshot(MindMap& map);

// On any thread: the map file's bytes for a snapshot.
std::string snapshotBytes(const MapSnapshot& snapshot);

// On the map's thread, after a pass: publishes the map when it changed since the last one.
void publishSnapshot(MindMap& map);
// On any thread: the last one published.
MapSnapshot publishedSnapshot();
// Forgets what was published and saved (a new map, in tests).
void clearPublishedSnapshot();

// Held by a save for its whole write.
class SaveUnderWay {
  public:
    SaveUnderWay();
    ~SaveUnderWay();
    SaveUnderWay(const SaveUnderWay&) = delete;
    SaveUnderWay& operator=(const SaveUnderWay&) = delete;
    // The save succeeded and holds the map at this change count.
    void succeeded(std::uint64_t change);

  private:
    std::unique_lock<std::mutex> held;
};

// Waits until no save is under way; then the change count the last successful save held.
std::uint64_t waitForSaves();
