#include "core/history/snapshot_text.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <map>
#include <system_error>

#include "core/model/parameter_diff.h"
#include "core/model/text_file.h"

namespace parvion::history {

namespace {

// A name of its own in the folder, with the variant's extension (the reader
// converts ".PAR" files, never these).
std::filesystem::path ScratchFile(const std::filesystem::path& folder, int medium) {
    static std::atomic<unsigned> counter{0};
    return folder / (".history-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
                     "." + ParameterFileExtension(medium));
}

ParameterFileResult FileError(std::string reason) {
    ParameterFileResult r;
    r.status = ParameterFileStatus::FileError;
    r.reason = std::move(reason);
    return r;
}

}  // namespace

ParameterFileResult SnapshotParameterText(const ParameterImage& image, int medium,
                                          const std::filesystem::path& scratch, std::string* text) {
    const auto file = ScratchFile(scratch, medium);
    ParameterFileResult result = SaveParameterFile(file, image, medium);
    if (result.ok()) {
        std::ifstream in(file, std::ios::binary);
        text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) result = FileError("cannot read " + file.string());
    }
    std::error_code ec;
    std::filesystem::remove(file, ec);
    return result;
}

ParameterFileResult LoadSnapshotParameters(std::string_view text, int medium, ParameterImage& image,
                                           const std::filesystem::path& scratch) {
    const auto file = ScratchFile(scratch, medium);
    std::string error;
    ParameterFileResult result = WriteFileAtomically(file, text, &error)
                                     ? LoadParameterFile(file, image, medium)
                                     : FileError(error);
    std::error_code ec;
    std::filesystem::remove(file, ec);
    return result;
}

std::vector<JournalChange> SettingChanges(const ParameterImage& before,
                                          const ParameterImage& intended,
                                          const ParameterImage& readBack, int medium,
                                          std::string_view failure) {
    std::map<std::pair<std::string, std::string>, std::string> now;
    if (failure.empty()) {
        for (auto& f : ListParameterFields(readBack, medium, false)) {
            now[{f.section, f.key}] = std::move(f.value);
        }
    }
    std::vector<JournalChange> out;
    for (auto& d : DiffParameterImages(before, intended, medium, true)) {
        JournalChange c;
        c.target = Target::Setting;
        c.section = std::move(d.section);
        c.key = std::move(d.key);
        c.oldBase = std::move(d.left);
        c.newBase = std::move(d.right);
        if (!failure.empty()) {
            c.outcome = Outcome::Failed;
            c.cause = std::string(failure);
        } else if (const std::string& got = now[{c.section, c.key}]; got != c.newBase) {
            c.outcome = Outcome::Differs;
            c.cause = "read back: " + got;
        }
        out.push_back(std::move(c));
    }
    return out;
}

}  // namespace parvion::history
