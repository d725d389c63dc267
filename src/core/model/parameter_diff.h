#pragma once
// A parameter image as the fields of its parameter file (section, key and
// value text as the file writes them), and the differences between two
// images by section and key: what a service engineer compares between a
// device and a stored parameter set.

#include <string>
#include <vector>

#include "core/model/parameter_image.h"

namespace parvion {

struct ParameterField {
    std::string section;
    std::string key;
    std::string value;  // integers in decimal, floats in the file's float format
    bool operator==(const ParameterField&) const = default;
};

// Every field of the image that a parameter file of the variant stores, in
// the file's order, without the Medium and Bemerkung sections (the device
// holds neither). With presentOnly, the fields that the image's expansion
// level leaves out of loading and writing are skipped too: circuit 2 (except
// its alarm relay), outputs 2 to 4, Dis_User.Kind and FlowKorr_2 without
// circuit 2, Trend_User without trend recording.
std::vector<ParameterField> ListParameterFields(const ParameterImage& image, int medium,
                                                bool presentOnly);

struct ParameterDifference {
    std::string section;
    std::string key;
    std::string left;
    std::string right;
    bool operator==(const ParameterDifference&) const = default;
};

// The fields whose texts differ, in file order. Which fields exist is
// decided by the left image's expansion level (when presentOnly) and the
// variant.
std::vector<ParameterDifference> DiffParameterImages(const ParameterImage& left,
                                                     const ParameterImage& right, int medium,
                                                     bool presentOnly);

}  // namespace parvion
