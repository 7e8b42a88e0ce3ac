// This editor's recovery copy of unsaved work (app/recovery/recovery_files.h names it and holds
// its lock), in the map file's own format. It is written when the map has changes no save holds
// and has been still for a few seconds, and at every end of the program while such changes
// exist. A save that leaves nothing unsaved removes it (unless the save went onto the copy
// itself: the file is then the user's and stays, and later work gets a copy of a new name); an open that
// replaces unsaved work leaves it for a later offer; a copy the user opens becomes this editor's own. The
// file is written from a snapshot on a worker thread of its own, which tries a failed write again every few
// seconds until it succeeds.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/model/mind_map.h"
#include "app/recovery/map_snapshot.h"
#include "app/recovery/recovery_files.h"

class RecoveryCopy {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kQuietTime{5};
    static constexpr std::chrono::seconds kRetryTime{3};

    // path empty: keeps nothing (no state folder). Takes the lock beside the copy.
    explicit RecoveryCopy(std::u16string path);
    ~RecoveryCopy();  // lets a write under way finish; a copy on disk stays, its lock goes
    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;

    // The copy's path now (a save onto it by the user gives later work a new one).
    std::u16string path() const;
    // Tests shorten the wait between two tries of a failed write.
    void setRetryTime(Clock::duration wait);

    // On the map's thread, once a pass: notes changes, saves and opens; hands a snapshot to the
    // writer once the map has been still for kQuietTime; removes the copy after a save that
    // left nothing unsaved; takes up a copy the map was opened from.
    void afterPass(MindMap& map, Clock::time_point now);
    // When afterPass next has something to do, if ever (for a loop that waits). A failed write
    // needs no pass: the writer tries again by itself.
    std::optional<Clock::time_point> nextDeadline() const;

    // At an end of the program, on any thread: writes the snapshot now unless the copy on disk
    // already holds it. True when the copy on disk holds it afterwards; otherwise *reason (when
    // given) says why not.
    bool writeNow(const MapSnapshot& snapshot, std::string* reason = nullptr);
    // The map as it is, on its own thread (tests).
    bool writeNow(MindMap& map) { return writeNow(takeSnapshot(map)); }
    // At an end with nothing unsaved: a copy of work since undone or replaced goes.
    void dropStaleCopy();

    // Waits until the writer has nothing left to write or waits to try a failed write again.
    void waitIdle();
    // The change count the copy on disk holds (0: none of this run's).
    std::uint64_t changeOnDisk() const;
    // Whether the last write failed and waits to be tried again.
    bool retrying() const;

  private:
    void writerLoop();
    void hand(MapSnapshot snapshot);
    bool writeFile(const MapSnapshot& snapshot, std::string* reason);  // under diskLock
    void removeOwnCopy();                                              // under diskLock
    void retireOwnCopy();                                              // under diskLock
    void handOverOwnCopy();                                            // under diskLock

    const bool keeping;   // there is a state folder to keep a copy in
    std::u16string file;  // under diskLock once the writer runs
    std::unique_ptr<RecoveryLock> held;

    // The map's thread alone.
    std::uint64_t seenChange = 0;
    std::uint64_t seenSaves = 0;
    std::uint64_t seenOpens = 0;
    std::uint64_t handedChange = 0;
    bool hadUnsaved = false;
    std::optional<Clock::time_point> changedAt;

    // The copy's file: one writer at a time (the worker, an end, a removal).
    mutable std::mutex diskLock;
    bool onDisk = false;  // this run's copy exists

    mutable std::mutex lock;
    std::condition_variable wake;
    std::optional<MapSnapshot> pending;  // what the writer has yet to write
    std::uint64_t diskChange = 0;
    bool writing = false;
    bool failed = false;
    bool fresh = false;            // pending came after the last try
    std::uint64_t generation = 0;  // bumped when the map is replaced or saved
    bool stopping = false;
    Clock::duration retryWait = kRetryTime;
    std::thread writer;
};
