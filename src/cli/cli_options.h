#pragma once
// What the command line of parvion2-cli asked for, as ParseOptions
// (cli/options.h) reads it and every command finds it in its Context.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parvion::cli {

struct PortChoice {
    int comNumber = 0;  // 1..8 for "Com N", 0 for a path
    std::string path;   // the device path or network port when given as one
};

struct CliOptions {
    bool help = false;
    bool version = false;
    std::string command;
    std::vector<std::string> args;

    std::optional<PortChoice> port;
    std::optional<int> baudIndex;
    std::optional<std::string> password;
    std::optional<int> sprache;  // 0 German, 1 English

    int circuit = 1;                  // live, page, set: 1 or 2
    std::optional<std::string> file;  // page, set: a parameter file instead of a device
    bool setClock = false;
    std::optional<std::string> exportFile;  // trends
    std::optional<std::string> saveFile;    // errors
    std::optional<std::string> pdfFile;     // print
    double pressure = 1.01325;              // sgerg: bar absolute
    double temperature = 0.0;               // sgerg: °C
    std::optional<std::string> tableKind;   // table read: --kind
    bool allowMissing = false;              // table write: send cells the file lacks as 0
    bool json = false;                      // --json: one JSON document instead of text lines
    std::optional<std::string> serial;      // history, journal: one device
    std::optional<std::int64_t> since;      // journal: UTC ms
    std::optional<std::string> csvFile;     // journal: the CSV export
    bool verify = false;                    // journal: check the chain
    std::optional<std::int64_t> snapshot;   // diff: a snapshot of the history
    std::optional<std::string> against;     // diff --snapshot: a snapshot number or a file
};

// A snapshot number as the history gives it (1 or more); throws a usage
// error naming the option otherwise (defined with the parser).
std::int64_t SnapshotId(const std::string& option, const std::string& text);

}  // namespace parvion::cli
