// The recovery copy of unsaved work: recovery.mind in the user's state folder, in the map
// file's own format. It is written when the map has changes no save holds and has been still
// for a few seconds, and at every end of the program while such changes exist; a save or open
// that leaves nothing unsaved removes it. The map's bytes are taken on the thread that owns the
// map, the file is written on a worker thread of its own.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/model/mind_map.h"

// The recovery copy's path; empty when there is no state folder.
std::u16string recoveryCopyPath();

// Whether path names the recovery copy, however it is spelt (the same file by identity).
bool isRecoveryCopyPath(const std::u16string& path);

class RecoveryCopy {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kQuietTime{5};

    // path empty: keeps nothing (no state folder).
    explicit RecoveryCopy(std::u16string path);
    ~RecoveryCopy();  // lets a write under way finish
    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;

    const std::u16string& path() const { return file; }

    // On the map's thread, once a pass: notes changes and file matches, hands a snapshot to the
    // writer once the map has been still for kQuietTime, removes the copy after a save or open
    // that left nothing unsaved.
    void afterPass(const MindMap& map, Clock::time_point now);
    // When afterPass next has something to do, if ever (for a loop that waits).
    std::optional<Clock::time_point> nextDeadline() const;

    // At an end of the program, on whichever thread holds the map: writes the copy now, unless
    // nothing is unsaved or the copy already holds these very changes. True when the copy on
    // disk holds the map's unsaved state afterwards.
    bool writeNow(const MindMap& map);

    // Waits until the writer is idle (tests; the end of the program).
    void waitIdle();

  private:
    void writerLoop();
    void hand(std::string bytes, std::uint64_t change);

    std::u16string file;
    std::uint64_t seenChange = 0;
    std::uint64_t seenMatches = 0;
    std::uint64_t writtenChange = 0;  // the change count the copy (on disk or on its way) holds
    bool holdsCopy = false;           // a copy of this run's is on disk or on its way
    bool adopted = false;             // saved onto by the user: theirs, no longer written (under lock)
    std::optional<Clock::time_point> changedAt;

    std::mutex lock;
    std::condition_variable wake;
    std::optional<std::string> pending;  // bytes the writer has yet to write
    bool writing = false;
    bool stopping = false;
    std::thread writer;
};
