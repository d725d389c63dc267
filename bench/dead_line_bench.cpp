// How long a bulk operation goes on against a device that has gone: the
// time from the device falling silent (or the line dropping) to the end of
// reading or writing the whole parameter set, over a paced pseudo-terminal
// at 115200 and 9600 baud. The goal is under 3 s.
//
//   dead_line_bench [repetitions (default 3)]

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/link/parameter_blocks.h"
#include "pty_rig.h"

namespace {

using namespace parvion;
using namespace parvion::bench;

struct Operation {
    const char* name;
    void (*run)(Link&, ParameterImage&);
};

void ReadAll(Link& link, ParameterImage& image) {
    ReadAllParameters(link, image);
}
void WriteAll(Link& link, ParameterImage& image) {
    WriteAllParameters(link, image);
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const ScratchFolder logFolder("parvion2-dead-line-bench-" + std::to_string(::getpid()));
    const Operation operations[] = {{"read all parameters", ReadAll},
                                    {"write all parameters", WriteAll}};
    const std::pair<const char*, sim::Fault> faults[] = {{"silent", sim::Fault::NoReply},
                                                         {"line dropped", sim::Fault::DropLine}};
    std::printf("%-22s %-13s %6s  %9s  %s\n", "operation", "device", "baud", "to end", "failed");
    for (const int baudIndex : {7, 3}) {
        for (const Operation& op : operations) {
            for (const auto& [faultName, fault] : faults) {
                std::vector<double> times;
                int failed = 0;
                for (int r = 0; r < repetitions; ++r) {
                    sim::DeviceOptions o;
                    o.baudIndex = baudIndex;
                    PtyRig rig(o, logFolder.path());
                    ParameterImage image;
                    rig.device.injectFault(fault, 100000);
                    const int before = rig.link->failedTransactions();
                    const auto start = Steady::now();
                    op.run(*rig.link, image);
                    times.push_back(std::chrono::duration<double>(Steady::now() - start).count());
                    failed = rig.link->failedTransactions() - before;
                }
                std::sort(times.begin(), times.end());
                std::printf("%-22s %-13s %6d  %7.3f s  %d\n", op.name, faultName,
                            kBaudRates[baudIndex], times[times.size() / 2], failed);
            }
        }
    }
    return 0;
}
