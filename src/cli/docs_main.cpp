// parvion2-cli-docs: writes the manual page and the bash completion of
// parvion2-cli from its command table. Run by the build, not installed.

#include <fstream>
#include <iostream>

#include "cli/command_table.h"
#include "cli/context.h"
#include "core/app/texts.h"

namespace {

bool Write(const char* file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) std::cerr << "parvion2-cli-docs: cannot write " << file << '\n';
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: parvion2-cli-docs MANUAL-PAGE BASH-COMPLETION\n";
        return 2;
    }
    using namespace parvion::cli;
    // The settings of `set` come from the edit layer, whose page texts come
    // from the string libraries beside the program.
    const auto texts = parvion::FindTextFolder(ExecutableFolder(argv[0]));
    return Write(argv[1], ManualPage()) && Write(argv[2], BashCompletion(texts)) ? 0 : 1;
}
