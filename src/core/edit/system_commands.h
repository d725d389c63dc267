#pragma once
// The system, trend recording and correction pages as text and settings,
// for `page` and `set` of parvion2-cli. Sections and keys are those of the
// parameter file; a choice is the index of the page's combo or radio item:
//
//   System Kind 0..3        the system definition (0 two circuits, ...)
//   System Anzahl 0..2      2, 3 or 4 measuring units (single circuit only)
//   System Faktor V         the system factor (balance definition only)
//   Grenzwerte Schema 0..1  the limit-value scheme of the current outputs
//   Vorgaben Vorgabe1..8 V  the hand-set presets
//   Trend_User Param 0..1   the circuit recorded as trend
//   Trend_User Time 0..11   the recording interval
//   FlowKorr_1 Stelle0..7 V the correction factors (FlowKorr_2: circuit 2)

#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "core/edit/page_types.h"

namespace parvion::edit {

std::vector<std::string> PrintSystemPage(const ParameterImage& image, int medium,
                                         const PageTexts& texts);
std::vector<std::string> PrintTrendRecordingPage(const ParameterImage& image,
                                                 const PageTexts& texts);
std::vector<std::string> PrintCorrectionPage(const ParameterImage& image, const PageTexts& texts);

// The page of a section, when it is one of these three.
std::optional<PageName> SystemPageOf(std::string_view section);

// The settings these pages offer as the image stands.
std::vector<std::string> SystemPageSettings(const ParameterImage& image, const PageTexts& texts);

// A setting of one of these pages (SystemPageOf gives a page for its
// section).
SettingOutcome ApplySystemPageSetting(Link& link, ParameterImage& image, const Setting& setting,
                                      const PageTexts& texts);

}  // namespace parvion::edit
