// Parameter files (".PGA", ".PEG" and the old ".PAR") as read from disk. A
// file that loads is saved again, and what was saved must load again with
// every remark line (none may be saved as the end marker).

#include <cstdlib>

#include "core/model/parameter_file.h"
#include "core/model/profile_file.h"
#include "fuzz_support.h"

using namespace parvion;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader in(data, size);
    const std::uint8_t how = in.byte();
    const int medium = (how & 1) ? medium::Energy : medium::Gas;
    static const char* const kExtensions[] = {".PGA", ".PEG", ".PAR", ".par"};
    const auto file = fuzz::ScratchFolder() / (std::string("in") + kExtensions[(how >> 1) & 3]);
    const std::string_view bytes = in.rest();
    fuzz::WriteFile(file, bytes);

    ParameterImage image;
    image.System.Ausbaustufe = static_cast<std::uint8_t>(how >> 3);
    const ParameterFileResult loaded = LoadParameterFile(file, image, medium);
    (void)loaded.detail(file);
    (void)ReadRemarkLines(ProfileFile(file));
    if (!loaded.ok()) return 0;

    const auto saved = fuzz::ScratchFolder() / ("out." + ParameterFileExtension(medium));
    std::filesystem::remove(saved);
    if (!SaveParameterFile(saved, image, medium).ok()) std::abort();
    ParameterImage again;
    again.System.Ausbaustufe = image.System.Ausbaustufe;
    if (!LoadParameterFile(saved, again, medium).ok()) std::abort();
    if (again.Bemerkung.size() != image.Bemerkung.size()) std::abort();
    return 0;
}
