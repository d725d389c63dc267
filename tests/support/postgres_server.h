#pragma once
// A throwaway PostgreSQL server for the tests: initdb and pg_ctl from
// Debian's postgresql package (scripts/setup installs it) make a cluster in
// a scratch folder and start it on a free port of 127.0.0.1, without a Unix
// socket, trusting local connections. A server refuses to run as root, so
// when the tests run as root the cluster belongs to "nobody" and every
// pg_ctl runs as that user. Header-only and without GoogleTest.

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/ser2net.h"
#include "support/unprivileged.h"

namespace parvion::test {

// The folder with initdb and pg_ctl, empty when PostgreSQL is not installed.
inline std::filesystem::path PostgresBinDir() {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator("/usr/lib/postgresql", ec)) {
        if (::access((e.path() / "bin" / "initdb").c_str(), X_OK) == 0) return e.path() / "bin";
    }
    return {};
}

class PostgresServer {
  public:
    PostgresServer() = default;
    ~PostgresServer() { stop(); }
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // Makes a cluster in `folder` (which must be empty) and starts it.
    bool start(const std::filesystem::path& folder, std::string* why) {
        bin_ = PostgresBinDir();
        if (bin_.empty()) {
            *why = "PostgreSQL is not installed (scripts/setup installs it)";
            return false;
        }
        // The server's user must reach the folder and own what is in "pg".
        const auto own = folder / "pg";
        data_ = own / "data";
        log_ = own / "server.log";
        std::filesystem::create_directories(own);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all |
                                                 std::filesystem::perms::group_exec |
                                                 std::filesystem::perms::others_exec);
        if (::geteuid() == 0 && ::chown(own.c_str(), 65534, 65534) != 0) {
            *why = "cannot give the server's folder to nobody";
            return false;
        }
        if (!run("initdb", {"-D", data_.string(), "-U", "parvion", "-A", "trust", "--locale=C",
                            "-E", "UTF8", "--no-sync"})) {
            *why = "initdb failed: see " + (own / "initdb.out").string();
            return false;
        }
        port_ = FreeLoopbackPort();
        if (!resume()) {
            *why = "the server does not start: see " + log_.string();
            return false;
        }
        return true;
    }

    // Starts the cluster again after pause().
    bool resume() {
        running_ = run("pg_ctl", {"-D", data_.string(), "-l", log_.string(), "-w", "-o",
                                  "-p " + std::to_string(port_) +
                                      " -c listen_addresses=127.0.0.1"
                                      " -c unix_socket_directories= -c fsync=off",
                                  "start"});
        return running_;
    }
    // Stops the server (its clients lose their connections); the cluster stays.
    bool pause() {
        if (!running_) return true;
        running_ = !run("pg_ctl", {"-D", data_.string(), "-m", "fast", "-w", "stop"});
        return !running_;
    }
    void stop() { pause(); }

    // "postgresql://parvion@127.0.0.1:PORT/NAME"
    std::string conninfo(const std::string& database) const {
        return "postgresql://parvion@127.0.0.1:" + std::to_string(port_) + "/" + database;
    }

  private:
    // Runs a program of the PostgreSQL folder as the cluster's user, its
    // output into the log; true when it ends with 0.
    bool run(const std::string& program, const std::vector<std::string>& args) {
        const std::string path = (bin_ / program).string();
        const std::string log = (data_.parent_path() / (program + ".out")).string();
        return runUnprivileged([&] {
                   const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
                   if (fd >= 0) {
                       ::dup2(fd, 1);
                       ::dup2(fd, 2);
                   }
                   std::vector<char*> argv{const_cast<char*>(path.c_str())};
                   for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
                   argv.push_back(nullptr);
                   ::execv(path.c_str(), argv.data());
                   return 127;
               }) == 0;
    }

    std::filesystem::path bin_, data_, log_;
    std::uint16_t port_ = 0;
    bool running_ = false;
};

}  // namespace parvion::test
