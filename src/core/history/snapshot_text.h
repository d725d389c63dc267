#pragma once
// Between a parameter image and the text a snapshot keeps: the parameter
// file of the variant, byte for byte as SaveParameterFile writes it, and
// back as LoadParameterFile reads it. The parameter file functions work on
// files, so both go through a scratch file in a folder the caller names (the
// data folder will do); the file is removed again.
//
// And the journal entries of a write of settings: which fields it changed
// and whether the device has them now.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/history/history_types.h"
#include "core/model/parameter_file.h"
#include "core/model/parameter_image.h"

namespace parvion::history {

// The parameter file text of the image (*text), or the save's failure.
ParameterFileResult SnapshotParameterText(const ParameterImage& image, int medium,
                                          const std::filesystem::path& scratch, std::string* text);

// Loads a snapshot's parameter text into the image exactly as a parameter
// file of the variant is loaded (the image changes only on success).
ParameterFileResult LoadSnapshotParameters(std::string_view text, int medium, ParameterImage& image,
                                           const std::filesystem::path& scratch);

// One entry for each field of the parameter file that differs between
// `before` (the device before the write) and `intended` (what was sent),
// with the values in their base units as the file writes them; the shown
// texts are left for the caller, who knows the pages. The outcome: Failed
// with `failure` when it is not empty (the link's cause); otherwise
// Confirmed where `readBack` (the device after the write) holds the
// intended value and Differs, naming the value read, where it does not.
std::vector<JournalChange> SettingChanges(const ParameterImage& before,
                                          const ParameterImage& intended,
                                          const ParameterImage& readBack, int medium,
                                          std::string_view failure = {});

}  // namespace parvion::history
