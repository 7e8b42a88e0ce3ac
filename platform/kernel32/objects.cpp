#include "platform/kernel32/objects.h"

#include <cstdint>
#include <unordered_map>

namespace platform::kernel32 {

namespace {

struct HandleTable {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;
    // Handles are never reused, so a closed handle stays invalid.
    std::uintptr_t next = 0x100;
};

HandleTable& table() {
    static auto* instance = new HandleTable;  // outlives threads that still run at exit
    return *instance;
}

}  // namespace

HANDLE addHandle(std::shared_ptr<KernelObject> object) {
    auto& t = table();
    std::lock_guard lock(t.mutex);
    const std::uintptr_t value = t.next;
    t.next += 4;
    t.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> findHandle(HANDLE handle) {
    auto& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == t.objects.end() ? nullptr : it->second;
}

bool removeHandle(HANDLE handle) {
    auto& t = table();
    std::lock_guard lock(t.mutex);
    return t.objects.erase(reinterpret_cast<std::uintptr_t>(handle)) != 0;
}

}  // namespace platform::kernel32
