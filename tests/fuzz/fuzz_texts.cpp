// String libraries: the parser over any content, the lookups the program
// makes in the parsed library, and the library as the program uses it (the
// signature check, a text and a block) over a file in its program folder.
//
// The file is read only for those three: a library file written a moment
// ago is compared byte for byte on every lookup (it may be rewritten within
// the file system's time resolution), which would spend the run on reading
// the file again for each of its texts. The many lookups go to the parsed
// library through the same functions TextLibrary uses.

#include <cstdlib>

#include "core/app/texts.h"
#include "core/model/session.h"
#include "fuzz_support.h"

using namespace parvion;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader in(data, size);
    const std::uint8_t how = in.byte();
    const std::uint16_t first = static_cast<std::uint16_t>(in.byte() << 8 | in.byte());
    const std::string_view content = in.rest();
    const auto width = static_cast<std::uint8_t>(how >> 2);

    const ParsedLibrary parsed = ParseLibrary(content);
    std::array<std::string, 16> block;
    for (const auto& [number, text] : parsed.texts) {
        if (Utf8Length(text) > kMaxTextChars) std::abort();
        (void)Utf8Prefix(text, how);
        const std::string trimmed = LookupText(parsed, number);
        if (trimmed != TrimText(text)) std::abort();
        // Blocks start where the program's blocks do: at multiples of 16.
        if (number % 16 != 0) continue;
        if (LookupTextBlock(parsed, number, width, block) != !text.empty()) std::abort();
        if (!text.empty() && Utf8Length(block[0]) < width) std::abort();
    }

    Session session;
    session.Medium = how & 1;
    session.Sprache = (how >> 1) & 1;
    const auto folder = fuzz::ScratchFolder();
    fuzz::WriteFile(folder / LibraryFileName(session.Medium, session.Sprache), content);
    const TextLibrary library(folder, session);
    (void)library.checkLibrary();
    if (library.LoadText(first) != LookupText(parsed, first)) std::abort();
    std::array<std::string, 16> fromFile;
    const bool loaded = library.LoadTextBlock(first, width, fromFile);
    if (loaded != LookupTextBlock(parsed, first, width, block) || fromFile != block) std::abort();
    return 0;
}
