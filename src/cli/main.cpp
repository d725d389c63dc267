// parvion2-cli: scripted access to a flow computer over a serial line, for
// service engineers who read many devices and for automated checks.

#include <poll.h>

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_error.h"
#include "cli/command_table.h"
#include "cli/context.h"
#include "cli/options.h"
#include "version/version.h"

namespace {

using namespace parvion::cli;

// Standard output is a pipe or socket whose reader has gone, as when the
// output is piped into `head`: what is left has nobody to read it.
bool OutputReaderGone() {
    pollfd out{};
    out.fd = 1;
    out.events = POLLOUT;
    return ::poll(&out, 1, 0) == 1 && (out.revents & (POLLERR | POLLHUP)) != 0;
}

int Run(const std::vector<std::string>& args, const char* argv0) {
    const CliOptions options = ParseOptions(args);
    if (options.help) {
        std::cout << HelpText();
        return kExitOk;
    }
    if (options.version) {
        std::cout << parvion::VersionLine("parvion2-cli") << '\n';
        return kExitOk;
    }
    Context ctx(options, ExecutableFolder(argv0));
    try {
        FindCommand(options.command)->run(ctx);
    } catch (...) {
        // What a failed command did write is journalled too.
        ctx.RecordHistory();
        throw;
    }
    ctx.RecordHistory();
    std::cout.flush();
    // A reader that stopped reading early is a normal end, not a failure.
    if (!std::cout && !OutputReaderGone()) {
        throw CliError(kExitFailure, "the output cannot be written");
    }
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    // A closed pipe shows as a failed write (EPIPE) instead of ending the
    // program in the middle of a device transaction.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return Run(args, argc > 0 ? argv[0] : nullptr);
    } catch (const CliError& e) {
        std::cout.flush();
        std::cerr << "parvion2-cli: " << e.what() << '\n';
        if (e.code() == kExitUsage) std::cerr << "(see parvion2-cli --help)\n";
        return e.code();
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "parvion2-cli: " << e.what() << '\n';
        return kExitFailure;
    }
}
