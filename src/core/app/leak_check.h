#pragma once
// The memory-leak checker, a debugging aid switched on by the key MemCheck
// of section Debug in the settings file.
//
// It counts heap blocks that are allocated after Start() and not released
// when the report is written. The counting itself is done by replacements
// of the global operator new and delete that only the program parvion2
// links in (src/gui/app/leak_check_hooks.cpp); they report every block to
// NoteAlloc / NoteFree. The library, the tests and the command-line program
// have no hooks: there HooksAttached() is false and nothing is counted.
//
// The report (written at process exit, or by WriteReport) holds: the log
// time, the number of blocks allocated and released since the start, the
// number and total size of the blocks still live, and the first 100 of them
// in allocation order with their sequence number, size and address. Blocks
// that a library keeps on purpose until after the report (caches, static
// objects destroyed after exit handlers) show up as well, so the figures are
// for comparing runs, not a verdict. Only operator new/delete are seen, not
// malloc/free.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace parvion::leak_check {

// Called once by the hooks when the program starts.
void AttachHooks() noexcept;
bool HooksAttached() noexcept;

// Arms the checker: blocks allocated from now on are tracked. Registers the
// report to be written to logFile at process exit. False when it already
// runs.
bool Start(const std::filesystem::path& logFile);
bool Running() noexcept;

// Called by the hooks; cheap and without effect while the checker is off.
// NoteFree of a block that is not tracked is ignored.
void NoteAlloc(const void* block, std::size_t size) noexcept;
void NoteFree(const void* block) noexcept;

struct Summary {
    std::uint64_t allocations = 0;  // blocks allocated since the start
    std::uint64_t releases = 0;     // of those, released again
    std::uint64_t liveBlocks = 0;
    std::uint64_t liveBytes = 0;
};
Summary Current() noexcept;

// The number of live blocks listed one by one in the report.
inline constexpr std::size_t kListedBlocks = 100;

// Stops tracking and writes the report to the log file. False with the
// reason when the checker does not run or the file cannot be written.
bool WriteReport(std::string* error = nullptr);

}  // namespace parvion::leak_check
