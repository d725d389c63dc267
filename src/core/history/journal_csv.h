#pragma once
// The journal as a CSV file for a spreadsheet: for a German one Windows-1252,
// ";" between fields, decimal commas and dates as "01.05.2024 14:34:56";
// for an English one UTF-8 with a byte order mark (so the spreadsheet knows
// it), "," between fields and dates as "2024-05-01 14:34:56". Lines end in
// CR LF. Times are the local time of the computer that recorded the entry,
// with its zone in a column of its own.
//
// A field that starts like a spreadsheet formula ("=", "+", "-", "@") and
// is not a number gets a leading "'", so a text from a device or a cause
// cannot run as a formula.

#include <array>
#include <string>
#include <vector>

#include "core/history/history_types.h"

namespace parvion::history {

// The words of the file, from the program's string library.
struct JournalCsvTexts {
    // No., time, zone, computer, user, program, serial number, what,
    // old value, new value, old value (shown), new value (shown), outcome,
    // cause.
    std::array<std::string, 14> heads;
    std::array<std::string, 4>
        targets;  // setting (unused: section and key), table, clock, baud rate
    std::array<std::string, 3> outcomes;  // confirmed, differs, failed
    std::array<std::string, 2> programs;  // window, command line
};
// The English words, for tests and as the fallback.
JournalCsvTexts EnglishJournalTexts();

// What an entry changed: "T_User0 Max", "Table property", "Clock", "Baud rate".
std::string WhatText(const JournalChange& change, const JournalCsvTexts& texts);

std::string JournalCsv(const std::vector<JournalEntry>& entries, const JournalCsvTexts& texts,
                       bool german);

}  // namespace parvion::history
