#pragma once
// Parameter files as the parameter menu uses them.

#include <filesystem>
#include <string>

#include "core/model/parameter_image.h"

namespace parvion::gui {

enum class LoadOutcome { Loaded, WrongVariant, Failed };

LoadOutcome LoadParameters(const std::filesystem::path& file, ParameterImage& image, int medium,
                           std::string* error);
bool SaveParameters(const std::filesystem::path& file, const ParameterImage& image, int medium,
                    std::string* error);

}  // namespace parvion::gui
