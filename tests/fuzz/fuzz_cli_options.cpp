// The command line of parvion2-cli: any list of arguments (separated by
// zero bytes in the input) is parsed into options or refused with a usage
// error that says what is wrong; nothing else may come of it.

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli_error.h"
#include "cli/options.h"
#include "core/app/connection.h"
#include "fuzz_support.h"

using namespace parvion;
using namespace parvion::cli;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader in(data, size);
    const std::string_view all = in.rest();
    std::vector<std::string> args;
    std::size_t from = 0;
    while (from <= all.size() && args.size() < 64) {
        const std::size_t end = std::min(all.find('\0', from), all.size());
        args.emplace_back(all.substr(from, end - from));
        from = end + 1;
    }

    for (const std::string& a : args) {
        if (const auto port = ParsePort(a); port && port->comNumber == 0 && port->path.empty()) {
            std::abort();
        }
        if (const auto baud = ParseBaud(a); baud && (*baud < 0 || *baud > 7)) std::abort();
        if (parvion::PadPassword(a).size() != 8) std::abort();
    }

    try {
        const CliOptions o = ParseOptions(args);
        if (o.help || o.version) return 0;
        if (o.command.empty() || (o.circuit != 1 && o.circuit != 2)) std::abort();
        if (o.baudIndex && (*o.baudIndex < 0 || *o.baudIndex > 7)) std::abort();
        if (o.password && o.password->empty()) std::abort();
        if (o.sprache && *o.sprache != 0 && *o.sprache != 1) std::abort();
        if (!std::isfinite(o.pressure) || o.pressure < 0) std::abort();
        if (!std::isfinite(o.temperature) || o.temperature <= -273.15) std::abort();
    } catch (const CliError& e) {
        if (e.code() != kExitUsage || std::string(e.what()).empty()) std::abort();
    }
    return 0;
}
