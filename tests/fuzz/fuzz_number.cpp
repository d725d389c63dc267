// The number reader of the files and the command line, and the input-field
// number reader of the windows. A number read and written with 17 digits
// reads back as the same number.

#include <cmath>
#include <cstdlib>

#include "core/model/value_format.h"
#include "core/views/input_rules.h"
#include "fuzz_support.h"

using namespace parvion;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto value = ReadNumber(text)) {
        (void)ToSingle(*value);
        (void)TruncateToBits(*value);
        if (std::isfinite(*value)) {
            const auto again = ReadNumber(FormatGeneral(*value, 17));
            if (!again || *again != *value) std::abort();
        }
    }
    (void)views::ParseInputNumber(text);
    return 0;
}
