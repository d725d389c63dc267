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
    std::string m = Text(texts, kTextValueNotANumber, "A table value is not a valid number:") +
                    " \"" + cell.text + "\"";
    if (transmit) m += " " + Text(texts, kTextNothingSent, "The table was not sent.");
    return m;
}

}  // namespace parvion::tables
