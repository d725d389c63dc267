#pragma once
// Exit codes of parvion2-cli and the error that carries one to main().

#include <stdexcept>
#include <string>

namespace parvion::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the device or a file failed
inline constexpr int kExitUsage = 2;    // the command line is wrong

class CliError : public std::runtime_error {
  public:
    CliError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int code() const { return code_; }

  private:
    int code_;
};

[[noreturn]] inline void UsageError(const std::string& message) {
    throw CliError(kExitUsage, message);
}
[[noreturn]] inline void Failure(const std::string& message) {
    throw CliError(kExitFailure, message);
}

}  // namespace parvion::cli
