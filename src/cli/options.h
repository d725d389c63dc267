#pragma once
// The command line of parvion2-cli: one subcommand with its arguments, and
// options that may stand anywhere ("--name value" or "--name=value").

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_options.h"

namespace parvion::cli {

// Parses the arguments after the program name. Throws CliError (usage) with
// a message that names the offending option or argument.
CliOptions ParseOptions(const std::vector<std::string>& args);

// "Com N" (any case, blank optional, N = 1..8), a well-formed network port
// (rfc2217://HOST:PORT, tcp://HOST:PORT) or a device path (holds "/").
std::optional<PortChoice> ParsePort(const std::string& text);
// A baud-rate index 0..7 or one of the rates 1200 .. 115200.
std::optional<int> ParseBaud(const std::string& text);
}  // namespace parvion::cli
