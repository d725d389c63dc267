// Link throughput over a real pseudo-terminal with the termios line of the
// command-line program, then the same device behind a real ser2net with RFC
// 2217 at 115200 baud, through the core's socket line (goal: a ratio of at
// most 1.15 on the loopback): see link_ops.h for what is measured.
//
//   link_bench [repetitions at 115200 (default 5)] [ser2net]
//
// With "ser2net" only the runs through ser2net.

#include <cstdio>
#include <string>

#include "core/link/port_line.h"
#include "core/link/termios_line.h"
#include "link_ops.h"
#include "support/ser2net.h"

int main(int argc, char** argv) {
    using namespace parvion;
    if (argc < 3 || std::string(argv[2]) != "ser2net") {
        std::printf("Local line (termios, pseudo-terminal)\n");
        const int rc = bench::RunLinkBench(argc, argv, "parvion2-link-bench",
                                           [] { return std::make_unique<TermiosLine>(); });
        if (rc != 0) return rc;
    }

    if (test::Ser2netProgram().empty()) {
        std::printf("\nser2net: skipped, it is not installed (scripts/setup installs it)\n");
        return 0;
    }
    // ser2net as this device's set-up recommends (chardelay off), then with
    // its default, which holds each reply back a little for more bytes.
    for (const bool charDelay : {false, true}) {
        std::printf("\nThrough ser2net with RFC 2217 on 127.0.0.1 (socket line), chardelay %s\n",
                    charDelay ? "on (ser2net's default)" : "off");
        const bench::ScratchFolder folder("parvion2-link-bench-ser2net-" +
                                          std::to_string(::getpid()));
        test::Ser2net ser2net;
        TermiosLine local;
        const int netRc = bench::RunLinkBench(
            argc, argv, "parvion2-link-bench-net",
            [&local] { return std::make_unique<PortLine>(local); },
            [&](const std::string& pty) {
                ser2net.stop();
                std::string why;
                test::Ser2netConnection c{"telnet(rfc2217)", pty, 115200};
                c.charDelay = charDelay;
                if (!ser2net.start(folder.path(), {c}, &why)) {
                    std::fprintf(stderr, "cannot start ser2net: %s\n", why.c_str());
                    std::exit(1);
                }
                return ser2net.name(0, true);
            },
            {7});
        if (netRc != 0) return netRc;
    }
    return 0;
}
