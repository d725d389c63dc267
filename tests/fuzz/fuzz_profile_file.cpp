// Profile (INI) files as read from disk: every lookup, an update of what was
// found, and the code-page conversions, which must round-trip every byte
// string.

#include <cstdlib>

#include "core/model/profile_file.h"
#include "core/model/windows1252.h"
#include "fuzz_support.h"

using namespace parvion;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (Utf8ToCp1252(Cp1252ToUtf8(bytes)) != bytes) std::abort();
    (void)IsValidUtf8(bytes);
    (void)ParseProfileInt(bytes);

    const auto file = fuzz::ScratchFolder() / "profile.ini";
    fuzz::WriteFile(file, bytes);
    ProfileFile profile(file);
    if (!profile.loaded()) return 0;
    for (const std::string& section : profile.sections()) {
        (void)profile.hasSection(section);
        for (const std::string& key : profile.keys(section)) {
            (void)profile.readString(section, key, "-");
            (void)profile.readInt(section, key, -1);
            if (!profile.hasKey(section, key)) std::abort();
        }
    }
    // An update of the first key found, a new key and a section removed.
    const auto sections = profile.sections();
    if (!sections.empty()) {
        const auto keys = profile.keys(sections.front());
        if (!keys.empty()) profile.writeString(sections.front(), keys.front(), "x\ny");
        profile.writeString(sections.back(), "Neu", bytes.substr(0, 16));
        profile.eraseSection(sections.front());
        if (profile.hasSection(sections.front())) std::abort();
    }
    (void)profile.toBytes();
    return 0;
}
