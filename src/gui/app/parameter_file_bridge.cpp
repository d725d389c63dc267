#include "gui/app/parameter_file_bridge.h"

namespace parvion::gui {

LoadOutcome LoadParameters(const std::filesystem::path& file, ParameterImage& image, int medium,
                           std::string* error) {
    (void)file;
    (void)image;
    (void)medium;
    if (error != nullptr) *error = "parameter files are not available";
    return LoadOutcome::Failed;
}

bool SaveParameters(const std::filesystem::path& file, const ParameterImage& image, int medium,
                    std::string* error) {
    (void)file;
    (void)image;
    (void)medium;
    if (error != nullptr) *error = "parameter files are not available";
    return false;
}

}  // namespace parvion::gui
