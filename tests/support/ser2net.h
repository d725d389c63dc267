#pragma once
// A real ser2net (Debian's package, installed by scripts/setup) in front of a
// serial device, as a station's device server would run it: started in the
// foreground with a configuration of its own (ser2net.yaml in a scratch
// folder, UUCP locks off), each connection on a free port of 127.0.0.1, and
// stopped again. Header-only and without GoogleTest, so the benchmarks use
// it too.

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace parvion::test {

// The ser2net program, empty when it is not installed.
inline std::string Ser2netProgram() {
    for (const char* p : {"/usr/sbin/ser2net", "/usr/bin/ser2net", "/usr/local/sbin/ser2net"}) {
        if (::access(p, X_OK) == 0) return p;
    }
    return {};
}

// The address 127.0.0.1:port (0: any free port, once bound).
inline sockaddr_in LoopbackAddress(std::uint16_t port = 0) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    return a;
}

// A TCP port of 127.0.0.1 that nothing listens on right now.
inline std::uint16_t FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a = LoopbackAddress();
    socklen_t len = sizeof a;
    std::uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0) {
        port = ntohs(a.sin_port);
    }
    ::close(fd);
    return port;
}

// Whether something accepts connections on 127.0.0.1:port.
inline bool Listening(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in a = LoopbackAddress(port);
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

struct Ser2netConnection {
    // "telnet(rfc2217)" (RFC 2217), "telnet" (Telnet that refuses the
    // COM-PORT-OPTION) or "" (raw TCP).
    std::string accepter;
    std::string device;  // the serial device, e.g. the simulator's pseudo-terminal
    int baud = 115200;   // the device's rate until an RFC 2217 client sets one
    // ser2net's default: wait a little after the device's last byte for
    // more before sending (at least 1 ms; some 3 ms per reply at 115200).
    bool charDelay = true;
};

class Ser2net {
  public:
    Ser2net() = default;
    ~Ser2net() { stop(); }
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    // Writes the configuration into `folder` and starts ser2net; true once
    // every connection accepts. `why` says what failed.
    bool start(const std::filesystem::path& folder, const std::vector<Ser2netConnection>& conns,
               std::string* why) {
        const std::string program = Ser2netProgram();
        if (program.empty()) {
            *why = "ser2net is not installed (scripts/setup installs it)";
            return false;
        }
        ports_.clear();
        const auto config = folder / "ser2net.yaml";
        std::ofstream out(config, std::ios::trunc);
        out << "%YAML 1.1\n---\n";
        for (std::size_t i = 0; i < conns.size(); ++i) {
            ports_.push_back(FreeLoopbackPort());
            out << "connection: &con" << i << "\n"
                << "    accepter: " << conns[i].accepter << (conns[i].accepter.empty() ? "" : ",")
                << "tcp,127.0.0.1," << ports_[i] << "\n"
                << "    connector: serialdev," << conns[i].device << "," << conns[i].baud
                << "n81,local\n"
                << "    options:\n"
                << "      kickolduser: false\n"
                << "      mdns: false\n"
                << "      chardelay: " << (conns[i].charDelay ? "true" : "false") << "\n";
        }
        out.close();
        log_ = folder / "ser2net.log";
        std::fflush(nullptr);  // the child must not write what this process buffered
        const pid_t pid = ::fork();
        if (pid == 0) {
            const std::string logName = log_.string();
            std::FILE* f = std::freopen(logName.c_str(), "w", stdout);
            if (f != nullptr) ::dup2(::fileno(stdout), 2);
            const std::string cfg = config.string();
            ::execl(program.c_str(), "ser2net", "-d", "-u", "-c", cfg.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        if (pid < 0) {
            *why = "cannot start ser2net";
            return false;
        }
        pid_ = pid;
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (std::size_t i = 0; i < ports_.size(); ++i) {
            while (!Listening(ports_[i])) {
                int status = 0;
                if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                    pid_ = -1;
                    *why = "ser2net ended at once: " + Log();
                    return false;
                }
                if (std::chrono::steady_clock::now() > limit) {
                    *why = "ser2net does not listen: " + Log();
                    stop();
                    return false;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        return true;
    }

    // Ends ser2net (SIGTERM, SIGKILL after 3 s); its connections close.
    void stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (::waitpid(pid_, &status, WNOHANG) != pid_) {
            if (std::chrono::steady_clock::now() > limit) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        pid_ = -1;
    }

    std::uint16_t port(std::size_t i) const { return ports_.at(i); }
    // The port name a client opens: rfc2217:// for a Telnet accepter.
    std::string name(std::size_t i, bool rfc2217) const {
        return std::string(rfc2217 ? "rfc2217://" : "tcp://") +
               "127.0.0.1:" + std::to_string(port(i));
    }
    std::string Log() const {
        std::ifstream in(log_);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

  private:
    pid_t pid_ = -1;
    std::vector<std::uint16_t> ports_;
    std::filesystem::path log_;
};

}  // namespace parvion::test
