// Link throughput over a real pseudo-terminal with the termios line of the
// command-line program: see link_ops.h for what is measured.
//
//   link_bench [repetitions at 115200 (default 5)]

#include "core/link/termios_line.h"
#include "link_ops.h"

int main(int argc, char** argv) {
    return parvion::bench::RunLinkBench(argc, argv, "parvion2-link-bench",
                                        [] { return std::make_unique<parvion::TermiosLine>(); });
}
