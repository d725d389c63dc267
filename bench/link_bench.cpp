// Link throughput over a real pseudo-terminal with the termios line of the
// command-line program, then the same device behind a real ser2net with RFC
// 2217 at 115200 baud, through the core's socket line (goal: a ratio of at
// most 1.15 on the loopback): see link_ops.h for what is measured.
//
//   link_bench [repetitions at 115200 (default 5)]

#include <cstdio>

#include "core/link/port_line.h"
#include "core/link/termios_line.h"
#include "link_ops.h"
#include "support/ser2net.h"

int main(int argc, char** argv) {
    using namespace parvion;
    std::printf("Local line (termios, pseudo-terminal)\n");
    const int rc = bench::RunLinkBench(argc, argv, "parvion2-link-bench",
                                       [] { return std::make_unique<TermiosLine>(); });
    if (rc != 0) return rc;

    std::printf("\nThrough ser2net with RFC 2217 on 127.0.0.1 (socket line)\n");
    if (test::Ser2netProgram().empty()) {
        std::printf("  skipped: ser2net is not installed (scripts/setup installs it)\n");
        return 0;
    }
    const bench::ScratchFolder folder("parvion2-link-bench-ser2net-" + std::to_string(::getpid()));
    test::Ser2net ser2net;
    TermiosLine local;
    return bench::RunLinkBench(
        argc, argv, "parvion2-link-bench-net",
        [&local] { return std::make_unique<PortLine>(local); },
        [&](const std::string& pty) {
            ser2net.stop();
            std::string why;
            if (!ser2net.start(folder.path(), {{"telnet(rfc2217)", pty, 115200}}, &why)) {
                std::fprintf(stderr, "cannot start ser2net: %s\n", why.c_str());
                std::exit(1);
            }
            return ser2net.name(0, true);
        },
        {7});
}
