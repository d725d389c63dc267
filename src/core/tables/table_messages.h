#pragma once
// The messages of the table editors and of parvion2-cli table, from the
// string library: a table file that could not be loaded or saved, and a
// value cell that is not a number.

#include <string>

#include "core/tables/table_file.h"
#include "core/views/text_source.h"

namespace parvion::tables {

// Texts of the string libraries.
inline constexpr std::uint16_t kTextNotATableFile = 14344;
inline constexpr std::uint16_t kTextCannotRead = 14345;
inline constexpr std::uint16_t kTextValueNotANumber = 14346;
inline constexpr std::uint16_t kTextNothingSent = 14347;
inline constexpr std::uint16_t kTextCannotWrite = 7;

// Empty for a file that was read or written.
std::string FileMessage(const views::TextLoader& texts, const FileResult& result);
// "... is not a valid number: "abc"", and with `transmit` that nothing was
// sent.
std::string BadCellMessage(const views::TextLoader& texts, const BadCell& cell,
                           bool transmit = true);

}  // namespace parvion::tables
