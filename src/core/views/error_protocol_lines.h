#pragma once
// The lines of the error-protocol page: for each of the 16 error groups its
// name and its last 8 occurrences, newest first, each with the time it began
// and, once over, the time it ended.

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "core/model/device_records.h"
#include "core/model/parameter_image.h"
#include "core/views/text_source.h"

namespace parvion::views {

// Width to which the group names are padded.
inline constexpr std::uint8_t kErrorGroupWidth = 28;

// The error groups that concern circuit 2 (left out when it is absent).
bool IsCircuit2ErrorGroup(std::size_t group);

// The ring slots of one group in the order the page lists them: from the
// group's ring position backwards (after slot 0 comes slot 7); when the
// entry at the ring position is not active, from the slot before it.
std::array<std::size_t, ErrorProtocolRec::kEntries> ErrorEntryOrder(const ErrorProtocolRec& p,
                                                                    std::size_t group);

// Text of one entry with the phrases A ("active"), B ("not acknowledged")
// and C (the arrow between start and end); empty when the entry produces no
// line (not active and no start day).
std::string ErrorEntryLine(const ErrorEntry& e, const std::string& a, const std::string& b,
                           const std::string& c);

// The whole list. Group names come from block 17424 when the system
// definition (system.Kind) is 1 or 2, else from 17408; the phrases are
// texts 17440..17442.
std::vector<std::string> BuildErrorProtocolLines(const ErrorProtocolRec& protocol,
                                                 const SystemRec& system, const TextLoader& text,
                                                 const BlockLoader& load);

// Saves the lines of the error list as a text file, Windows-1252, one line
// each ending in CR LF; the whole file is replaced. The page's "Speichern..."
// and the command line's `errors --save` both write it with this. The text goes to a new file
// beside it that then takes its name, so a failure leaves an existing file as it was. False, with
// the reason in *error when given, when it cannot be written.
bool SaveErrorProtocolFile(const std::filesystem::path& file, const std::vector<std::string>& lines,
                           std::string* error = nullptr);

}  // namespace parvion::views
