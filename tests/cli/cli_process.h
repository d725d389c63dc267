#pragma once
// Runs the real parvion2-cli program for a test: a child process with its
// own HOME (so its settings file is the test's), stdout and stderr caught in
// files, and a simulated device on a pseudo-terminal served from the test
// process.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "core/app/texts.h"
#include "core/model/session.h"
#include "support/pdf_text.h"
#include "support/program_run.h"
#include "support/sim_pty.h"
#include "support/temp_dir.h"

extern char** environ;

namespace parvion::test {

using CliRun = ProgramRun;

// Where the program's standard output goes.
enum class CliStdout {
    File,        // a file whose bytes the run returns
    ClosedPipe,  // a pipe whose reader is gone, as when piped into `head`
    FullDevice,  // /dev/full: every write fails with ENOSPC
};

// Runs parvion2-cli with the arguments; HOME is `home`, XDG_DATA_HOME unset.
inline CliRun RunCli(const std::vector<std::string>& args, const std::filesystem::path& home,
                     CliStdout out = CliStdout::File) {
    ProgramStart start({PARVION_CLI_PATH}, {"HOME=" + home.string()}, home / ".cli-stdout",
                       home / ".cli-stderr");
    start.limit = std::chrono::seconds(120);
    start.argv.insert(start.argv.end(), args.begin(), args.end());
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string_view s = *e;
        if (!s.starts_with("HOME=") && !s.starts_with("XDG_DATA_HOME=")) {
            start.environment.emplace_back(s);
        }
    }
    if (out == CliStdout::FullDevice) start.out = "/dev/full";
    int pipeEnds[2] = {-1, -1};
    if (out == CliStdout::ClosedPipe) {
        if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
            return CliRun{-1, {}, std::string("cannot make a pipe: ") + std::strerror(errno)};
        }
        ::close(pipeEnds[0]);  // nobody reads: every write fails with EPIPE
        start.outFd = pipeEnds[1];
    }
    CliRun run = RunProgramUntilDone(std::move(start));
    if (pipeEnds[1] >= 0) ::close(pipeEnds[1]);
    return run;
}

// The command line: the port options followed by the rest.
inline std::vector<std::string> With(std::vector<std::string> first,
                                     const std::vector<std::string>& rest) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

// The program in a home folder of its own against the simulator on a
// pseudo-terminal.
struct CliRig {
    explicit CliRig(sim::DeviceOptions options = {}) : sim(std::move(options)) {}
    // The port options, then the arguments.
    CliRun run(const std::vector<std::string>& args) const {
        return RunCli(With({"--port", sim.path(), "--baud", "115200"}, args), home.path());
    }
    // The same, in English.
    CliRun en(const std::vector<std::string>& args) const {
        return run(With({"--lang", "en"}, args));
    }
    std::filesystem::path operator/(const std::string& name) const { return home / name; }

    TempDir home;
    SimPty sim;
    sim::Device& device = sim.device;
};

// Texts of the string library the program uses.
inline std::string LibraryText(int medium, int sprache, std::uint16_t number) {
    Session session;
    session.Medium = medium;
    session.Sprache = sprache;
    const TextLibrary lib(std::filesystem::path(PARVION_CLI_PATH).parent_path(), session);
    return lib.LoadText(number);
}

inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The run ended with the code, and its error output holds the text.
inline testing::AssertionResult Says(const CliRun& r, int code, const std::string& says) {
    if (r.code == code && Has(r.err, says)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "expected code " << code << " and \"" << says
                                       << "\"; code " << r.code << ", error output:\n"
                                       << r.err;
}

// The run succeeded, and its output holds the text.
inline testing::AssertionResult Shows(const CliRun& r, const std::string& part) {
    if (r.code == 0 && Has(r.out, part)) return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "expected code 0 and \"" << part << "\"; code " << r.code << ", output:\n"
           << r.out << "\nerror output:\n"
           << r.err;
}

// Every field of `expected` has its value in the JSON document.
inline void ExpectFields(const nlohmann::json& doc, const nlohmann::json& expected) {
    const nlohmann::json flat = doc.flatten();
    const nlohmann::json fields = expected.flatten();
    for (const auto& [key, value] : fields.items()) {
        EXPECT_EQ(flat.value(key, nlohmann::json()), value) << key << " in " << doc;
    }
}

// The program's data folder in the home folder, made if missing.
inline std::filesystem::path DataFolder(const TempDir& home) {
    const auto folder = home / ".local/share/parvion2";
    std::filesystem::create_directories(folder);
    return folder;
}

}  // namespace parvion::test
