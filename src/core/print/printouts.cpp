#include "core/print/printouts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/edit/alarm_output_page.h"
#include "core/edit/circuit_page.h"
#include "core/edit/correction.h"
#include "core/edit/field_ref.h"
#include "core/edit/source_codes.h"
#include "core/model/parameter_file.h"
#include "core/model/units.h"
#include "core/model/value_format.h"
#include "core/views/page_rules.h"

namespace parvion::print {

namespace {

constexpr std::string_view kSerialNoPrefix = " SerialNo:";
constexpr std::string_view kHertz = "          Hz     ";

// Start rows of the parameter printout's groups.
constexpr int kTitleRow = 1;
constexpr int kHeadingRow = 3;
constexpr int kTemperatureRow = 5;
constexpr int kPressureRow = 9;
constexpr int kFlowRow = 14;
constexpr int kCorrectionRow = 26;
constexpr int kMediumRow = 36;
constexpr int kPulseRow = 43;
constexpr int kReferenceRow = 46;
constexpr int kAlarmRow = 52;
constexpr int kOutputRows[4] = {57, 62, 57, 62};
constexpr int kRuleRows[3] = {51, 56, 67};
constexpr int kLastRuleRow = 67;

// The first remark line's row.
constexpr int kRemarksRow = 3;

std::size_t Index(int circuit) {
    return circuit == 1 ? 1 : 0;
}

std::string Number(int n) {
    return std::to_string(n);
}

bool Circuit2Printed(const ParameterImage& image) {
    return !views::Circuit2Unavailable(image.System);
}

// The title line and the date, common to both printouts.
void AddTitle(PrintPage& page, std::string title, const PrintHeader& header) {
    page.add(kTitleRow, Placement::Centre, HeaderTitle(std::move(title), header));
    page.add(kTitleRow, Placement::RightValue, header.dateTime);
}

// Characters (columns of the fixed-pitch font) of a UTF-8 text.
std::size_t Columns(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The byte offset of character `column` of a UTF-8 text (its size beyond
// the last).
std::size_t ByteOffset(std::string_view text, std::size_t column) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (seen == column) return i;
        ++seen;
    }
    return text.size();
}

// `name` in at most `room` columns: whole, as the status bar shortens it,
// or its start, "..." and as much of its end as fits, the file's own name
// first.
std::string FitFileName(std::string_view name, std::size_t room) {
    if (Columns(name) <= room) return std::string(name);
    std::string shortened = ShortenFileName(name);
    if (Columns(shortened) <= room) return shortened;
    constexpr std::string_view kMarker = "...";
    if (room <= kMarker.size()) return std::string(kMarker.substr(0, room));
    const std::size_t budget = room - kMarker.size();
    const std::size_t separator = name.find_last_of("/\\");
    const std::size_t own =
        separator == std::string_view::npos ? Columns(name) : Columns(name.substr(separator));
    const std::size_t tail = std::min(own, budget - budget / 4);
    const std::size_t head = budget - tail;
    const std::size_t length = Columns(name);
    std::string out(name.substr(0, ByteOffset(name, head)));
    out += kMarker;
    out += name.substr(ByteOffset(name, length - tail));
    return out;
}

// A group: caption and type text (bold) at its start row, then the lines.
struct GroupLine {
    std::string label;
    std::string value;
};

void AddGroup(PrintPage& page, int row, int circuit, const std::string& caption,
              const std::string& type, const std::vector<GroupLine>& lines) {
    const Placement l = LabelPlacement(circuit);
    const Placement v = ValuePlacement(circuit);
    if (!caption.empty()) page.add(row, l, caption, true);
    if (!type.empty()) page.add(row, v, type, true);
    for (const GroupLine& line : lines) {
        ++row;
        if (!line.label.empty()) page.add(row, l, line.label);
        if (!line.value.empty()) page.add(row, v, line.value);
    }
}

std::string Label(const views::TextBlock& labels, std::uint8_t index) {
    return index < labels.size() ? labels[index] : std::string();
}

std::string Value(const edit::PageTexts& texts, std::uint8_t quantity, float value) {
    return texts.values(quantity, true, false, value);
}

// The lines of a circuit group as the circuit page describes them; the
// lines that only open a table editor and the SGERG-88 status line are not
// printed.
std::vector<GroupLine> CircuitGroupLines(const ParameterImage& image, int medium, int circuit,
                                         edit::CircuitGroup group, const edit::PageTexts& texts) {
    const std::vector<edit::CircuitLine> lines = edit::GroupLines(image, medium, circuit, group);
    if (lines.empty()) return {};
    views::TextBlock labels;
    if (!texts.blocks(edit::LabelBlock(image, circuit, group), kPrintLabelWidth, labels)) {
        labels = {};
    }
    std::vector<GroupLine> out;
    for (const edit::CircuitLine& line : lines) {
        switch (line.kind) {
            case edit::LineKind::Value:
                out.push_back({Label(labels, line.label),
                               Value(texts, line.quantity, edit::GetField(image, line.field))});
                break;
            case edit::LineKind::Frequency:
                out.push_back(
                    {Label(labels, line.label),
                     Number(image.Flow_User[Index(circuit)].MaxFreq) + std::string(kHertz)});
                break;
            case edit::LineKind::Plain:
            case edit::LineKind::Status:
                break;
        }
    }
    return out;
}

// The chosen type of a temperature or pressure input: taken from the other
// circuit (Eq 2) names that circuit.
std::string InputType(const edit::PageTexts& texts, std::uint16_t block, std::uint8_t kind,
                      std::uint8_t eq, int circuit) {
    if (eq == 2)
        return texts.text(static_cast<std::uint16_t>(block + 4)) + (circuit == 0 ? " 2" : " 1");
    return texts.text(static_cast<std::uint16_t>(block + 1 + kind));
}

void AddCircuit(PrintPage& page, const ParameterImage& image, int medium, int c,
                const edit::PageTexts& texts) {
    using edit::CircuitGroup;
    const std::size_t i = Index(c);
    const T_UserRec& t = image.T_User[i];
    AddGroup(page, kTemperatureRow, c, texts.text(2048), InputType(texts, 2048, t.Kind, t.Eq, c),
             CircuitGroupLines(image, medium, c, CircuitGroup::Temperature, texts));
    const P_UserRec& p = image.P_User[i];
    AddGroup(page, kPressureRow, c, texts.text(3072), InputType(texts, 3072, p.Kind, p.Eq, c),
             CircuitGroupLines(image, medium, c, CircuitGroup::Pressure, texts));
    AddGroup(page, kFlowRow, c, texts.text(4096),
             texts.text(static_cast<std::uint16_t>(4097 + image.Flow_User[i].Kind)),
             CircuitGroupLines(image, medium, c, CircuitGroup::Flow, texts));

    // Flow correction: only a circuit whose factors correct something.
    views::TextBlock correction;
    const auto& factors = image.FlowKorr[i].Stelle;
    const bool corrects =
        std::any_of(factors.begin(), factors.end(), [](float f) { return f != 1.0f; });
    if (corrects && texts.blocks(edit::kCorrectionTexts, kPrintLabelWidth, correction)) {
        std::vector<GroupLine> lines;
        for (std::size_t k = 0; k < edit::kSupportPoints; ++k) {
            lines.push_back({correction[1 + k], Value(texts, kNoQuantity, factors[k])});
        }
        AddGroup(page, kCorrectionRow, c, texts.text(edit::kCorrectionTexts) + " " + Number(c + 1),
                 {}, lines);
    }

    AddGroup(page, kMediumRow, c, texts.text(5120),
             texts.text(static_cast<std::uint16_t>(5121 + image.Med_User[i].Kind)),
             CircuitGroupLines(image, medium, c, CircuitGroup::Medium, texts));

    // Pulse output: the value alone, below the caption.
    int pulseKind = image.Imp_User[i].Kind;
    if (pulseKind > 128) pulseKind -= 128;
    std::vector<GroupLine> pulse;
    for (GroupLine& line : CircuitGroupLines(image, medium, c, CircuitGroup::Pulse, texts)) {
        pulse.push_back({{}, std::move(line.value)});
    }
    AddGroup(page, kPulseRow, c, texts.text(6144),
             texts.text(static_cast<std::uint16_t>(6145 + pulseKind)), pulse);

    if (edit::ReferenceGroupShown(image)) {
        AddGroup(page, kReferenceRow, c, texts.text(edit::kReferenceBlock), {},
                 CircuitGroupLines(image, medium, c, CircuitGroup::Reference, texts));
    }
}

std::string Choice(const std::vector<std::string>& choices, int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < choices.size()) {
        return choices[static_cast<std::size_t>(index)];
    }
    return {};
}

void AddAlarms(PrintPage& page, const ParameterImage& image, int medium,
               const edit::PageTexts& texts) {
    const std::vector<std::string> sources = edit::AlarmSourceChoices(texts.blocks);
    views::TextBlock labels;
    const bool haveLabels = texts.blocks(edit::kAlarmKindBlock, kPrintLabelWidth, labels);
    for (int a = 0; a < edit::kAlarms; ++a) {
        const Alm_UserRec& alarm = image.Alm_User[Index(a)];
        std::vector<GroupLine> lines;
        for (const edit::SourceLine& l : edit::AlarmLines(image, medium, a)) {
            lines.push_back({haveLabels ? Label(labels, l.label) : std::string(),
                             Value(texts, l.quantity, edit::AlarmValue(image, a, l))});
        }
        AddGroup(page, kAlarmRow, a, texts.text(edit::kAlarmBlock) + " " + Number(a + 1),
                 Choice(sources, edit::SourceIndex(edit::SourceUse::Alarm, alarm.Param)), lines);
    }
}

void AddOutputs(PrintPage& page, const ParameterImage& image, int medium,
                const edit::PageTexts& texts) {
    const std::vector<std::string> sources = edit::OutputSourceChoices(texts.blocks);
    views::TextBlock labels;
    const bool haveLabels = texts.blocks(edit::kOutputLabelBlock, kPrintLabelWidth, labels);
    for (int k = 0; k < edit::kOutputs; ++k) {
        if (!edit::OutputShown(image, k)) continue;
        const Aus_UserRec& output = image.Aus_User[static_cast<std::size_t>(k)];
        std::vector<GroupLine> lines;
        // The constant current keeps the label the output page gives it.
        for (const edit::SourceLine& l : edit::OutputLines(image, medium, k)) {
            lines.push_back({haveLabels ? Label(labels, l.label) : std::string(),
                             Value(texts, l.quantity, edit::OutputValue(image, k, l))});
        }
        const std::string type =
            output.Param == 0
                ? std::string()
                : Choice(sources, edit::SourceIndex(edit::SourceUse::Output, output.Param));
        AddGroup(page, kOutputRows[k], k < 2 ? 0 : 1,
                 texts.text(edit::kOutputBlock) + " " + Number(k + 1), type, lines);
    }
}

}  // namespace

std::string HeaderDateTime(const DeviceDateTime& now, int sprache) {
    char buf[40];
    if (sprache == 1) {
        std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u", unsigned{now.year},
                      unsigned{now.month}, unsigned{now.day}, unsigned{now.hour},
                      unsigned{now.minute});
    } else {
        std::snprintf(buf, sizeof buf, "%02u.%02u.%04u %02u:%02u", unsigned{now.day},
                      unsigned{now.month}, unsigned{now.year}, unsigned{now.hour},
                      unsigned{now.minute});
    }
    return buf;
}

std::string HeaderTitle(std::string title, const PrintHeader& header) {
    if (header.source.online) return title + TitleSuffix(header.source);
    // The centred text of n columns ends at (C + n) / 2, the date of d
    // columns starts at C - 2 - d (the margin is two columns); two columns
    // stay free between them: n <= C - 8 - 2d.
    const std::size_t date = Columns(header.dateTime);
    const std::size_t fits = kPageColumns > 8 + 2 * date ? kPageColumns - 8 - 2 * date : 0;
    const std::size_t used = Columns(title) + 2;
    const std::size_t room = fits > used ? fits - used : 0;
    TitleSource source = header.source;
    source.statusText = FitFileName(source.statusText, room);
    return title + TitleSuffix(source);
}

std::string TitleSuffix(const TitleSource& source) {
    if (source.online) return std::string(kSerialNoPrefix) + source.serialNo;
    return "  " + source.statusText;
}

std::uint16_t ParameterTitleText(std::uint8_t ausbaustufe) {
    if (ausbaustufe == 0x00) return 64;
    std::uint16_t text = 65;
    if ((ausbaustufe & ausbaustufe::NoCircuit2) == 0) text = 66;
    if ((ausbaustufe & ausbaustufe::NoTrend) == 0) text = 67;
    return text;
}

PrintPage BuildParameterPage(const ParameterImage& image, int medium, const edit::PageTexts& texts,
                             const PrintHeader& header) {
    PrintPage page;
    AddTitle(page, texts.text(ParameterTitleText(image.System.Ausbaustufe)), header);

    const bool circuit2 = Circuit2Printed(image);
    switch (image.System.Kind) {
        case 0:
            page.add(kHeadingRow, Placement::LeftLabel, texts.text(30720), true);
            if (circuit2) page.add(kHeadingRow, Placement::RightLabel, texts.text(30721), true);
            break;
        case 1:
            page.add(kHeadingRow, Placement::LeftLabel, texts.text(30722), true);
            break;
        case 2:
            page.add(kHeadingRow, Placement::LeftLabel, texts.text(30724), true);
            break;
        case 4:
            page.add(kHeadingRow, Placement::LeftLabel, texts.text(30726), true);
            page.add(kHeadingRow, Placement::RightLabel, texts.text(30727), true);
            break;
        default:
            break;
    }

    AddCircuit(page, image, medium, 0, texts);
    if (circuit2) AddCircuit(page, image, medium, 1, texts);
    AddAlarms(page, image, medium, texts);
    AddOutputs(page, image, medium, texts);

    page.rules.push_back({true, kHeadingRow, kLastRuleRow});
    for (int row : kRuleRows) page.rules.push_back({false, row, row});
    return page;
}

PrintPage BuildTerminalPlanPage(const ParameterImage& image, const edit::PageTexts& texts,
                                const PrintHeader& header) {
    PrintPage page;
    AddTitle(page, texts.text(31232), header);
    const SystemRec& s = image.System;

    auto circuit = [&](int c) {
        const std::size_t i = Index(c);
        const Placement l = LabelPlacement(c);
        const Placement v = ValuePlacement(c);
        const std::string n = Number(c + 1);
        auto pick = [c](const char* left, const char* right) { return c == 0 ? left : right; };

        const T_UserRec& t = image.T_User[i];
        if (t.Eq != 2 && t.Kind == 1) {
            page.add(10, l, texts.text(31233) + n);
            page.add(10, v, pick("A4[+] A5[-]", "B4[+] B5[-]"), true);
        } else if (t.Eq != 2 && t.Kind >= 2) {
            page.add(10, l, texts.text(31234) + n);
            page.add(10, v, pick("A1[A] A2[B] A3[b]", "B1[A] B2[B] B3[b]"), true);
        }
        const P_UserRec& p = image.P_User[i];
        if (p.Eq != 2 && p.Kind != 0) {
            page.add(11, l, texts.text(31235) + n);
            page.add(11, v, pick("A6[+] A7[-]", "B6[+] B7[-]"), true);
        }
        const std::uint8_t flow = image.Flow_User[i].Kind;
        if (flow >= 5) {
            page.add(12, l, texts.text(31242) + n);
            page.add(12, v, pick("A10[+] A11[-]", "B10[+] B11[-]"), true);
        } else if (flow >= 1) {
            if (s.Kind == 1 || s.Kind == 2) {
                // Several differential-pressure transmitters of circuit 1.
                page.add(12, l, texts.text(s.Kind == 1 ? 31236 : 31237));
                page.add(12, v, "A8[+] A9[-]", true);
                constexpr const char* kMore[3] = {"B4[+] B5[-]", "B6[+] B7[-]", "B8[+] B9[-]"};
                for (int k = 0; k < 3; ++k) {
                    if (s.Anzahl <= k + 1) break;
                    page.add(13 + k, l, texts.text(static_cast<std::uint16_t>(31238 + k)));
                    page.add(13 + k, v, kMore[k], true);
                }
            } else {
                page.add(12, l, texts.text(31241) + n);
                page.add(12, v, pick("A8[+] A9[-]", "B8[+] B9[-]"), true);
            }
        }
    };
    circuit(0);
    if (Circuit2Printed(image)) circuit(1);

    page.add(17, Placement::LeftLabel, texts.text(31243) + "1");
    page.add(17, Placement::LeftValue, "C1[+] C2[-]", true);
    page.add(17, Placement::RightLabel, texts.text(31243) + "2");
    page.add(17, Placement::RightValue, "C3[+] C4[-]", true);

    page.add(19, Placement::LeftLabel, texts.text(31244) + "1");
    page.add(19, Placement::LeftValue, "A12[+] A13[-]", true);
    if (views::AllOutputsPresent(s)) {
        page.add(19, Placement::RightLabel, texts.text(31244) + "3");
        page.add(19, Placement::RightValue, "B12[+] B13[-]", true);
        page.add(20, Placement::LeftLabel, texts.text(31244) + "2");
        page.add(20, Placement::LeftValue, "A14[+] A15[-]", true);
        page.add(20, Placement::RightLabel, texts.text(31244) + "4");
        page.add(20, Placement::RightValue, "B14[+] B15[-]", true);
    }

    page.add(22, Placement::LeftLabel, texts.text(31245) + "1");
    page.add(22, Placement::LeftValue, "C5 C6", true);
    page.add(22, Placement::RightLabel, texts.text(31245) + "2");
    page.add(22, Placement::RightValue, "C7 C8", true);
    return page;
}

std::optional<PrintPage> BuildRemarksPage(const ParameterImage& image) {
    if (image.Bemerkung.empty()) return std::nullopt;
    PrintPage page;
    int row = kRemarksRow;
    for (const std::string& line : image.Bemerkung) page.add(row++, Placement::LeftLabel, line);
    return page;
}

PrintJob ParameterPrintoutJob(const ParameterImage& image, int medium, const edit::PageTexts& texts,
                              const PrintHeader& header) {
    PrintJob job{std::string(kParameterJobTitle),
                 {BuildParameterPage(image, medium, texts, header)}};
    if (auto remarks = BuildRemarksPage(image)) job.pages.push_back(std::move(*remarks));
    return job;
}

std::vector<PrintJob> TerminalPlanJobs(const ParameterImage& image, const edit::PageTexts& texts,
                                       const PrintHeader& header, int copies) {
    PrintJob job{std::string(kTerminalPlanJobTitle), {BuildTerminalPlanPage(image, texts, header)}};
    if (auto remarks = BuildRemarksPage(image)) job.pages.push_back(std::move(*remarks));
    return std::vector<PrintJob>(static_cast<std::size_t>(std::max(copies, 1)), job);
}

}  // namespace parvion::print
