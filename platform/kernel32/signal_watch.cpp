#include "platform/kernel32/signal_watch.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/kernel32/objects.h"

namespace platform::kernel32 {

namespace {

struct Watchers {
    std::mutex mutex;
    std::unordered_map<const void*, std::vector<int>> byObject;
};

Watchers& watchers() {
    static auto* instance = new Watchers;
    return *instance;
}

}  // namespace

bool watchSignal(HANDLE handle, int fd) {
    const std::shared_ptr<KernelObject> object = findHandle(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    std::lock_guard lock(watchers().mutex);
    watchers().byObject[object.get()].push_back(fd);
    return true;
}

void unwatchSignal(HANDLE handle, int fd) {
    const std::shared_ptr<KernelObject> object = findHandle(handle);
    if (!object) return;
    std::lock_guard lock(watchers().mutex);
    const auto it = watchers().byObject.find(object.get());
    if (it == watchers().byObject.end()) return;
    std::vector<int>& fds = it->second;
    const auto at = std::find(fds.begin(), fds.end(), fd);
    if (at != fds.end()) fds.erase(at);
    if (fds.empty()) watchers().byObject.erase(it);
}

int takeSignal(HANDLE handle) {
    const std::shared_ptr<KernelObject> object = findHandle(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return -1;
    }
    std::lock_guard lock(object->mutex);
    return object->acquire() ? 1 : 0;
}

void notifyWatchers(const void* object) {
    std::lock_guard lock(watchers().mutex);
    const auto it = watchers().byObject.find(object);
    if (it == watchers().byObject.end()) return;
    const std::uint64_t one = 1;
    for (int fd : it->second) {
        [[maybe_unused]] const auto written = write(fd, &one, sizeof one);
    }
}

}  // namespace platform::kernel32
