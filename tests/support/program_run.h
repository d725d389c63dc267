#pragma once
// Runs a real program as a child process for a test: standard error (and
// standard output, unless the caller hands its own descriptor) caught in
// files, a deadline after which a hung program is killed so that the test
// fails instead of hanging, and an optional callback while it runs.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/temp_dir.h"

namespace parvion::test {

struct ProgramRun {
    int code = -1;  // the exit status, -1 when it did not exit by itself
    std::string out;
    std::string err;
};

struct ProgramStart {
    ProgramStart(std::vector<std::string> argv_, std::vector<std::string> environment_,
                 std::filesystem::path out_, std::filesystem::path err_)
        : argv(std::move(argv_)),
          environment(std::move(environment_)),
          out(std::move(out_)),
          err(std::move(err_)) {}

    std::vector<std::string> argv;  // argv[0] is the program's path
    std::vector<std::string> environment;
    std::filesystem::path out;  // standard output goes here, unless outFd is set
    std::filesystem::path err;
    int outFd = -1;  // a descriptor for standard output instead of the file
    std::chrono::seconds limit{30};
    // Called every few milliseconds while the program runs; when it returns
    // false, the program is ended with SIGTERM.
    std::function<bool()> whileRunning;
};

inline ProgramRun RunProgramUntilDone(ProgramStart start) {
    std::vector<char*> argp, envp;
    for (std::string& s : start.argv) argp.push_back(s.data());
    for (std::string& s : start.environment) envp.push_back(s.data());
    argp.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (start.outFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, start.outFd, 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, start.out.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    posix_spawn_file_actions_addopen(&actions, 2, start.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ProgramRun run;
    if (rc != 0) {
        run.err = std::string("cannot start the program: ") + std::strerror(rc);
        return run;
    }
    const auto deadline = std::chrono::steady_clock::now() + start.limit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        const bool late = std::chrono::steady_clock::now() > deadline;
        if (late || (start.whileRunning && !start.whileRunning())) {
            kill(pid, late ? SIGKILL : SIGTERM);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (start.outFd < 0 && std::filesystem::is_regular_file(start.out)) {
        run.out = readFileBytes(start.out);
    }
    run.err = readFileBytes(start.err);
    return run;
}

}  // namespace parvion::test
