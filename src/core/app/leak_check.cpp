#include "core/app/leak_check.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <system_error>

namespace parvion::leak_check {

namespace {

// One live block. The table is plain memory from malloc, never from
// operator new, so that tracking never calls itself.
struct Entry {
    std::uintptr_t address;  // 0 = free slot
    std::size_t size;
    std::uint64_t sequence;
};

struct Registry {
    std::mutex mutex;
    Entry* table = nullptr;
    std::size_t capacity = 0;  // a power of two
    std::size_t used = 0;
    std::uint64_t allocations = 0;
    std::uint64_t releases = 0;
    std::uint64_t liveBytes = 0;
    char logFile[4096] = {};
};

std::atomic<bool> gHooks{false};
// Set while a thread works inside the registry, so that blocks its own
// bookkeeping allocates or releases are neither counted nor deadlock it.
thread_local bool tInside = false;

struct Inside {
    Inside() { tInside = true; }
    ~Inside() { tInside = false; }
    Inside(const Inside&) = delete;
    Inside& operator=(const Inside&) = delete;
};
std::atomic<bool> gRunning{false};
std::atomic<bool> gExitHandler{false};

Registry& registry() {
    // Never destroyed: hooks may still run while static objects go away.
    static Registry* r = new (std::malloc(sizeof(Registry))) Registry();
    return *r;
}

std::size_t slotOf(std::uintptr_t address, std::size_t capacity) {
    std::uint64_t h = address;
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return static_cast<std::size_t>(h) & (capacity - 1);
}

void insert(Entry* table, std::size_t capacity, const Entry& e) {
    std::size_t i = slotOf(e.address, capacity);
    while (table[i].address != 0) i = (i + 1) & (capacity - 1);
    table[i] = e;
}

bool grow(Registry& r) {
    const std::size_t capacity = r.capacity == 0 ? 4096 : r.capacity * 2;
    auto* table = static_cast<Entry*>(std::calloc(capacity, sizeof(Entry)));
    if (table == nullptr) return false;
    for (std::size_t i = 0; i < r.capacity; ++i) {
        if (r.table[i].address != 0) insert(table, capacity, r.table[i]);
    }
    std::free(r.table);
    r.table = table;
    r.capacity = capacity;
    return true;
}

// Removes the entry at slot i and closes the gap (linear probing).
void removeAt(Registry& r, std::size_t i) {
    const std::size_t mask = r.capacity - 1;
    std::size_t j = i;
    for (;;) {
        r.table[i].address = 0;
        for (;;) {
            j = (j + 1) & mask;
            if (r.table[j].address == 0) return;
            const std::size_t home = slotOf(r.table[j].address, r.capacity);
            // Move j back to i unless its home lies cyclically in (i, j].
            const bool stays = (i <= j) ? (i < home && home <= j) : (i < home || home <= j);
            if (!stays) break;
        }
        r.table[i] = r.table[j];
        i = j;
    }
}

void writeAtExit() {
    if (gRunning.load()) WriteReport(nullptr);
}

}  // namespace

void AttachHooks() noexcept {
    gHooks.store(true);
}
bool HooksAttached() noexcept {
    return gHooks.load();
}
bool Running() noexcept {
    return gRunning.load();
}

bool Start(const std::filesystem::path& logFile) {
    Registry& r = registry();
    {
        const Inside inside;
        std::lock_guard<std::mutex> lock(r.mutex);
        if (gRunning.load()) return false;
        std::free(r.table);
        r.table = nullptr;
        r.capacity = 0;
        r.used = 0;
        r.allocations = r.releases = r.liveBytes = 0;
        const std::string name = logFile.string();
        const std::size_t n = std::min(name.size(), sizeof r.logFile - 1);
        std::memcpy(r.logFile, name.data(), n);
        r.logFile[n] = '\0';
        if (!grow(r)) return false;
        gRunning.store(true);
    }
    if (!gExitHandler.exchange(true)) std::atexit(writeAtExit);
    return true;
}

void NoteAlloc(const void* block, std::size_t size) noexcept {
    if (!gRunning.load(std::memory_order_relaxed) || block == nullptr || tInside) return;
    const Inside inside;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (!gRunning.load()) return;
    if ((r.used + 1) * 2 > r.capacity && !grow(r)) return;
    ++r.allocations;
    insert(r.table, r.capacity,
           Entry{reinterpret_cast<std::uintptr_t>(block), size, r.allocations});
    ++r.used;
    r.liveBytes += size;
}

void NoteFree(const void* block) noexcept {
    if (!gRunning.load(std::memory_order_relaxed) || block == nullptr || tInside) return;
    const Inside inside;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (!gRunning.load() || r.capacity == 0) return;
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    for (std::size_t i = slotOf(address, r.capacity); r.table[i].address != 0;
         i = (i + 1) & (r.capacity - 1)) {
        if (r.table[i].address == address) {
            r.liveBytes -= r.table[i].size;
            ++r.releases;
            --r.used;
            removeAt(r, i);
            return;
        }
    }
}

Summary Current() noexcept {
    const Inside inside;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return Summary{r.allocations, r.releases, r.used, r.liveBytes};
}

bool WriteReport(std::string* error) {
    const Inside inside;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (!gRunning.exchange(false)) {
        if (error != nullptr) *error = "the leak checker does not run";
        return false;
    }
    // The first blocks in allocation order: the kListedBlocks smallest
    // sequence numbers among the live ones.
    auto* live = static_cast<Entry*>(std::malloc(std::max<std::size_t>(r.used, 1) * sizeof(Entry)));
    std::size_t count = 0;
    if (live != nullptr) {
        for (std::size_t i = 0; i < r.capacity; ++i) {
            if (r.table[i].address != 0) live[count++] = r.table[i];
        }
        const std::size_t listed = std::min(count, kListedBlocks);
        std::partial_sort(live, live + listed, live + count,
                          [](const Entry& a, const Entry& b) { return a.sequence < b.sequence; });
        count = listed;
    }

    std::FILE* out = std::fopen(r.logFile, "w");
    if (out == nullptr) {
        const int err = errno;
        std::free(live);
        if (error != nullptr) {
            *error = std::string("cannot write ") + r.logFile + ": " +
                     std::generic_category().message(err);
        }
        return false;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::fprintf(out, "parvion2 memory check, %02d.%02d.%04d %02d:%02d:%02d\n", local.tm_mday,
                 local.tm_mon + 1, local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    std::fprintf(out, "blocks allocated since start: %llu\n",
                 static_cast<unsigned long long>(r.allocations));
    std::fprintf(out, "blocks released: %llu\n", static_cast<unsigned long long>(r.releases));
    std::fprintf(out, "blocks not released: %llu\n", static_cast<unsigned long long>(r.used));
    std::fprintf(out, "bytes not released: %llu\n", static_cast<unsigned long long>(r.liveBytes));
    if (count > 0) {
        std::fprintf(out, "first %zu blocks not released (sequence, size, address):\n", count);
        for (std::size_t i = 0; i < count; ++i) {
            std::fprintf(out, "%llu %zu 0x%llx\n",
                         static_cast<unsigned long long>(live[i].sequence), live[i].size,
                         static_cast<unsigned long long>(live[i].address));
        }
    }
    std::free(live);
    const bool ok = std::ferror(out) == 0;
    const bool closed = std::fclose(out) == 0;
    std::free(r.table);
    r.table = nullptr;
    r.capacity = 0;
    if (!(ok && closed)) {
        if (error != nullptr) *error = std::string("cannot write ") + r.logFile;
        return false;
    }
    return true;
}

}  // namespace parvion::leak_check
