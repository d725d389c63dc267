#include "core/model/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <system_error>

#include "core/model/windows1252.h"

namespace parvion {

namespace {

std::string errnoText(int err) {
    return std::generic_category().message(err);
}

bool writeAll(int fd, std::string_view bytes, int* err) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            *err = errno;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool IsReadOnlyFile(const std::filesystem::path& file, int* errorNumber) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    int err = 0;
    if (::access(file.c_str(), W_OK) != 0) {
        err = errno;
    } else if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        err = EACCES;
    }
    if (errorNumber != nullptr) *errorNumber = err;
    return err != 0;
}

bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                         std::string* error, int* errorNumber) {
    namespace fs = std::filesystem;
    auto fail = [&](int err, const std::string& what) {
        if (error != nullptr) *error = what + ": " + errnoText(err);
        if (errorNumber != nullptr) *errorNumber = err;
        return false;
    };

    // Write through a symbolic link to the file it names.
    fs::path target = file;
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(file, ec))) {
        const auto resolved = fs::weakly_canonical(file, ec);
        if (!ec) target = resolved;
    }
    if (target.filename().empty()) return fail(EISDIR, "cannot write " + file.string());
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        if (S_ISDIR(old.st_mode)) return fail(EISDIR, "cannot write " + target.string());
        // A file marked read-only stays as it is, as on Windows.
        if (int err = 0; IsReadOnlyFile(target, &err)) {
            return fail(err, "cannot write " + target.string());
        }
    }

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    static std::atomic<unsigned> counter{0};
    fs::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder / ("." + target.filename().string() + ".tmp" + std::to_string(::getpid()) +
                         "-" + std::to_string(counter++));
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return fail(errno, "cannot write " + target.string());

    int err = 0;
    bool ok = writeAll(fd, bytes, &err);
    if (ok && exists) ::fchmod(fd, old.st_mode & 07777);
    if (ok && ::fsync(fd) != 0) {
        err = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        err = errno;
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        err = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return fail(err, "cannot write " + target.string());
    }
    // Make the rename itself durable; a failure here loses nothing.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

std::string TextFileBytes(const std::vector<std::string>& lines) {
    std::string utf8;
    for (const std::string& l : lines) {
        utf8 += l;
        utf8 += "\r\n";
    }
    return Utf8ToCp1252(utf8);
}

bool WriteTextLinesAtomically(const std::filesystem::path& file,
                              const std::vector<std::string>& lines, std::string* error) {
    return WriteFileAtomically(file, TextFileBytes(lines), error);
}

}  // namespace parvion
