// String libraries: the parser over any content, and the library as the
// program uses it (block loads, the signature check) over a file in its
// program folder.

#include <cstdlib>

#include "core/app/session.h"
#include "core/app/texts.h"
#include "fuzz_support.h"

using namespace parvion;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader in(data, size);
    const std::uint8_t how = in.byte();
    const std::uint16_t first = static_cast<std::uint16_t>(in.byte() << 8 | in.byte());
    const std::string_view content = in.rest();

    const ParsedLibrary parsed = ParseLibrary(content);
    for (const auto& [number, text] : parsed.texts) {
        if (Utf8Length(text) > kMaxTextChars) std::abort();
        (void)TrimText(text);
        (void)Utf8Prefix(text, how);
    }

    Session session;
    session.Medium = how & 1;
    session.Sprache = (how >> 1) & 1;
    const auto folder = fuzz::ScratchFolder();
    fuzz::WriteFile(folder / LibraryFileName(session.Medium, session.Sprache), content);
    const TextLibrary library(folder, session);
    (void)library.CheckLibrary();
    (void)library.LoadText(first);
    std::array<std::string, 16> block;
    (void)library.LoadTextBlock(first, static_cast<std::uint8_t>(how >> 2), block);
    for (const auto& [number, text] : parsed.texts) (void)library.LoadText(number);
    return 0;
}
