#pragma once
// What the device variants differ in, as data. Code that depends on the
// variant asks this description instead of comparing the medium number, so a
// further variant is one more row in variant.cpp (plus its string libraries
// and, where its records differ, its codecs).

#include <array>
#include <span>
#include <string_view>

#include "core/model/parameter_image.h"

namespace parvion {

struct Variant {
    int medium;                   // medium::Gas, medium::Energy: the number settings and files keep
    std::string_view name;        // "gas", "energy": the command line's and JSON's word
    std::string_view model;       // "PV-GAS2": the name shown and printed
    std::string_view identity;    // the identity text the device answers (8 characters)
    std::string_view fileMedium;  // the medium a parameter file names: "GAS", "STEAM"
    std::string_view extension;   // parameter files: "PGA", "PEG"
    std::string_view fileFilter;  // the save dialog's filter name
    std::array<std::string_view, 2> textLibraries;  // by language: German, English
    std::string_view flowName;   // the flow quantity's word in JSON: "standard_flow", "power"
    std::string_view totalName;  // the total's: "standard_volume", "energy"
    // The natural-gas calculation: the EG_User record, SGERG-88, the device's
    // ready flags, the compressibility table and the gas-only texts.
    bool gasCalculation;
    // Flows may run backwards: output sources and limits are signed.
    bool signedFlow;
    // The record layouts' second column of defaults (energyDefault) applies.
    bool energyDefaults;
    float flowMax;            // the largest flow a preset, alarm or output takes
    std::uint8_t kindMask;    // System.KindMask of a new set made offline
    std::uint8_t displayBox;  // the display record's third box in a new or converted set
};

// Every variant, in the order of their medium numbers.
std::span<const Variant> Variants();

// The variant of a medium number; nullptr when there is none.
const Variant* FindVariant(int medium);

// The variant of a medium number; an unknown number counts as the gas
// computer, the variant a new installation starts with.
const Variant& VariantOf(int medium);

// The variant whose device answers this identity text; nullptr when none.
const Variant* VariantOfIdentity(std::string_view identity);

// The variant a parameter file's medium names ("GAS"); nullptr when none.
const Variant* VariantOfFileMedium(std::string_view fileMedium);

}  // namespace parvion
