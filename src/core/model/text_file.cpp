#include "core/model/text_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace parvion {

bool WriteTextLinesAtomically(const std::filesystem::path& file,
                              const std::vector<std::string>& lines, std::string* reason) {
    namespace fs = std::filesystem;
    const auto fail = [&](const std::string& why) {
        if (reason != nullptr) *reason = why;
        return false;
    };
    const fs::path dir = file.has_parent_path() ? file.parent_path() : fs::path(".");
    std::string tmp = (dir / ("." + file.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) return fail(std::strerror(errno));

    std::string bytes;
    for (const std::string& l : lines) bytes += l + "\r\n";
    int err = 0;
    std::size_t done = 0;
    while (err == 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno != EINTR) err = errno;
            continue;
        }
        done += static_cast<std::size_t>(n);
    }
    // An existing file keeps its permissions; a new one is readable by all
    // (mkstemp alone would leave it readable by the owner only).
    std::error_code ec;
    const fs::file_status old = fs::status(file, ec);
    const auto mode = !ec && fs::is_regular_file(old)
                          ? static_cast<mode_t>(old.permissions() & fs::perms::mask)
                          : static_cast<mode_t>(0644);
    if (err == 0 && ::fchmod(fd, mode) != 0) err = errno;
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    std::string why = err != 0 ? std::string(std::strerror(err)) : std::string();
    if (err == 0) {
        fs::rename(tmp, file, ec);
        if (!ec) return true;
        why = ec.message();
    }
    fs::remove(tmp, ec);
    return fail(why);
}

}  // namespace parvion
