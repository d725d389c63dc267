#pragma once
// The messages of the table editors and of parvion2-cli table, from the
// string library: a table file that could not be loaded or saved, a value
// cell that is not a number the device holds, and the cells a table file
// did not hold.

#include <string>
#include <vector>

#include "core/tables/table_file.h"
#include "core/views/text_source.h"

namespace parvion::tables {

// Texts of the string libraries.
inline constexpr std::uint16_t kTextNotATableFile = 14344;
inline constexpr std::uint16_t kTextCannotRead = 14345;
inline constexpr std::uint16_t kTextValueNotANumber = 14346;
inline constexpr std::uint16_t kTextNothingSent = 14347;
inline constexpr std::uint16_t kTextValueOutOfRange = 14348;
inline constexpr std::uint16_t kTextMissingCells = 14349;  // %1 count, %2 the cells
inline constexpr std::uint16_t kTextSendAllTheSame = 14338;
inline constexpr std::uint16_t kTextCannotWrite = 7;

// Empty for a file that was read or written.
std::string FileMessage(const views::TextLoader& texts, const FileResult& result);
// "... is not a valid number: "abc" ([Werte] 3 - 4)" (or beyond the range of
// the device's numbers), and with `transmit` that nothing was sent.
std::string BadCellMessage(const views::TextLoader& texts, const BadCell& cell,
                           bool transmit = true);
// "The table file does not hold 3 cells, which count as 0: [Row_11] T, ..."
// (the first eight keys, then "..."); empty when no key is missing.
std::string MissingCellsMessage(const views::TextLoader& texts,
                                const std::vector<std::string>& keys);
// The question before a grid with missing cells is sent: the message and
// "Send the table all the same?".
std::string MissingCellsQuestion(const views::TextLoader& texts,
                                 const std::vector<std::string>& keys);

}  // namespace parvion::tables
