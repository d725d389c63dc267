#pragma once
// The commands of the device history: `history` lists the snapshots and
// shows or saves one, `journal` lists, exports and checks the journal of
// writes. `diff --snapshot` (commands.cpp) compares a snapshot.

#include <cstdint>
#include <string>

#include "core/model/parameter_image.h"

namespace parvion::cli {

class Context;

void RunHistory(Context& ctx);
void RunJournal(Context& ctx);

// Snapshot `id` of the history as a parameter image; its variant in
// *medium. Ends the command when the history cannot be read or holds no
// such snapshot.
ParameterImage SnapshotImage(Context& ctx, std::int64_t id, int* medium);

// Text numbers of the history's messages and journal words.
namespace history_text {
inline constexpr std::uint16_t kCsvFirst = 22701;  // 14 heads, 4 targets, 3 outcomes, 2 programs
inline constexpr std::uint16_t kCannotOpen = 22724;
inline constexpr std::uint16_t kNoSnapshot = 22725;
inline constexpr std::uint16_t kIntact = 22726;
inline constexpr std::uint16_t kEmpty = 22727;
inline constexpr std::uint16_t kChanged = 22728;
inline constexpr std::uint16_t kMissing = 22729;
inline constexpr std::uint16_t kUnlisted = 22730;
inline constexpr std::uint16_t kOtherVariant = 22731;
inline constexpr std::uint16_t kSeenAgain = 22732;
inline constexpr std::uint16_t kNoSnapshots = 22733;
inline constexpr std::uint16_t kNoEntries = 22734;
inline constexpr std::uint16_t kSnapshot = 22735;
}  // namespace history_text

}  // namespace parvion::cli
