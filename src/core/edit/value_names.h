#pragma once
// What a value is called where a person meets it outside its page: in the
// body of the value dialog and in the comparison of two parameter sets. The
// names are the page's own texts — the group or list caption and the
// line's label ("Druck — Wert bei 20 mA", "Grenzwertrelais 1 — Minimum") —
// so that the dialog and the comparison speak like the page.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/edit/alarm_output_page.h"
#include "core/edit/circuit_page.h"
#include "core/model/parameter_image.h"
#include "core/views/text_source.h"

namespace parvion::edit {

// "%1 — %2": an outer name (a group, a list, a page) and an inner one.
inline constexpr std::uint16_t kNameJoinText = 22829;

// The two names joined by the library's pattern; either alone when the
// other is empty or both are the same.
std::string JoinNames(const views::TextLoader& text, std::string_view outer,
                      std::string_view inner);

// A line of a circuit page's group: the group's caption and the line's label.
std::string CircuitLineName(const ParameterImage& image, int circuit, CircuitGroup group,
                            const CircuitLine& line, const views::TextLoader& text);
// A line of relay `alarm` or output `output` (0-based): the list's caption
// with its number and the line's label.
std::string AlarmLineName(int alarm, const SourceLine& line, const views::TextLoader& text);
std::string OutputLineName(int output, const SourceLine& line, const views::TextLoader& text);
// Preset k (0..7) of the system page, the system factor, and support point
// `point` (0..7) of circuit `circuit`'s correction factors.
std::string PresetName(std::size_t k, const views::TextLoader& text);
std::string SystemFactorName(const views::TextLoader& text);
std::string CorrectionPointName(int circuit, std::size_t point, const views::TextLoader& text);

// The name of a field of the parameter file (section, key) as the page that
// shows it names it, looked up in the lines of either image (a kind may
// show a value the other does not); empty when no page line shows it.
std::string FieldName(const ParameterImage& left, const ParameterImage& right, int medium,
                      std::string_view section, std::string_view key,
                      const views::TextLoader& text);

}  // namespace parvion::edit
