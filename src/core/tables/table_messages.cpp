#include "core/tables/table_messages.h"

namespace parvion::tables {

namespace {

std::string Text(const views::TextLoader& texts, std::uint16_t number, const char* fallback) {
    std::string t = texts ? texts(number) : std::string();
    return t.empty() ? fallback : t;
}

}  // namespace

std::string FileMessage(const views::TextLoader& texts, const FileResult& result) {
    switch (result.status) {
        case FileStatus::Ok:
            return {};
        case FileStatus::NotATableFile:
            return Text(texts, kTextNotATableFile,
                        "The file is not a table file; it was not loaded.");
        case FileStatus::Unreadable:
            return Text(texts, kTextCannotRead, "The file could not be read:") + " " +
                   result.reason;
        case FileStatus::NotWritten:
            return Text(texts, kTextCannotWrite, "The file could not be written:") + " " +
                   result.reason;
    }
    return {};
}

std::string BadCellMessage(const views::TextLoader& texts, const BadCell& cell, bool transmit) {
    std::string m = cell.number
                        ? Text(texts, kTextValueOutOfRange,
                               "A table value is beyond the range of the device's numbers:")
                        : Text(texts, kTextValueNotANumber, "A table value is not a valid number:");
    m += " \"" + cell.text + "\"";
    if (!cell.key.empty()) m += " (" + cell.key + ")";
    if (transmit) m += " " + Text(texts, kTextNothingSent, "The table was not sent.");
    return m;
}

std::string MissingCellsMessage(const views::TextLoader& texts,
                                const std::vector<std::string>& keys) {
    if (keys.empty()) return {};
    constexpr std::size_t kNamed = 8;
    std::string list;
    for (std::size_t i = 0; i < keys.size() && i < kNamed; ++i) {
        list += (i == 0 ? "" : ", ") + keys[i];
    }
    if (keys.size() > kNamed) list += ", ...";
    return views::FillPlaceholders(
        Text(texts, kTextMissingCells,
             "The table file does not hold %1 cell(s), which count as 0: %2"),
        {std::to_string(keys.size()), list});
}

std::string MissingCellsQuestion(const views::TextLoader& texts,
                                 const std::vector<std::string>& keys) {
    return MissingCellsMessage(texts, keys) + " " +
           Text(texts, kTextSendAllTheSame, "Send the table all the same?");
}

}  // namespace parvion::tables
