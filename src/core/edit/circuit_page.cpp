#include "core/edit/circuit_page.h"

#include <cstdio>

#include "core/calc/sgerg88.h"
#include "core/edit/setting_support.h"
#include "core/edit/write_back.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/variant.h"

namespace parvion::edit {

namespace {

constexpr float kTemperatureMin = -273.15f;
constexpr float kTemperatureMax = 1500.0f;
constexpr float kPressureMax = 100000.0f;
constexpr float kDensityMin = 0.08f;
constexpr float kDensityMax = 5000.0f;

constexpr std::string_view kStatusOk = "ISO                 OK";
constexpr std::string_view kStatusA42 = "ISO                 A42 ERROR";
constexpr std::string_view kStatusA43 = "ISO                 A43 ERROR";
constexpr std::string_view kStatusA44 = "ISO                 A44 ERROR";
constexpr std::string_view kStatusA45 = "ISO                 A45 ERROR";
constexpr std::string_view kStatusUnknown = "ISO              ???";
constexpr std::string_view kHertz = "          Hz";

// The natural-gas computer's media, flows and reference values.
bool IsGas(int medium) {
    return VariantOf(medium).gasCalculation;
}

// A line that shows a value and edits it in the dialog.
CircuitLine ValueLine(std::uint8_t label, FieldRef field, std::uint8_t quantity, float min,
                      float max) {
    CircuitLine line;
    line.kind = LineKind::Value;
    line.label = label;
    line.field = field;
    line.quantity = quantity;
    line.action = LineAction::Dialog;
    line.editQuantity = quantity;
    line.min = min;
    line.max = max;
    return line;
}

// A label alone; a double click opens a table editor.
CircuitLine PlainLine(std::uint8_t label, LineAction action, int tableTag = 0) {
    CircuitLine line;
    line.kind = LineKind::Plain;
    line.label = label;
    line.action = action;
    line.tableTag = tableTag;
    return line;
}

std::string StatusText(std::uint8_t status) {
    switch (status) {
        case '0':
            return std::string(kStatusOk);
        case '2':
            return std::string(kStatusA42);
        case '3':
            return std::string(kStatusA43);
        case '4':
            return std::string(kStatusA44);
        case '5':
            return std::string(kStatusA45);
        default:
            return std::string(kStatusUnknown) + std::to_string(status);
    }
}

std::vector<CircuitLine> TemperatureLines(const ParameterImage& image, int circuit) {
    const T_UserRec& t = image.T_User[Index(circuit)];
    if (t.Eq == 2) return {};
    auto field = [circuit](std::string_view key) { return FieldRef{Record::T_User, key, circuit}; };
    const std::uint8_t q = quantity::Temperature;
    switch (t.Kind) {
        case 0:
            return {ValueLine(0, field("Konst"), q, kTemperatureMin, kTemperatureMax)};
        case 1:
            return {ValueLine(0, field("Min"), q, kTemperatureMin, kTemperatureMax),
                    ValueLine(1, field("Max"), q, kTemperatureMin, kTemperatureMax)};
        default:
            return {};
    }
}

std::vector<CircuitLine> PressureLines(const ParameterImage& image, int circuit) {
    const P_UserRec& p = image.P_User[Index(circuit)];
    if (p.Eq == 2) return {};
    auto field = [circuit](std::string_view key) { return FieldRef{Record::P_User, key, circuit}; };
    const std::uint8_t q = quantity::Pressure;
    switch (p.Kind) {
        case 0:
            return {ValueLine(0, field("Konst"), q, 0, kPressureMax)};
        case 1:
            return {ValueLine(0, field("Min"), q, 0, kPressureMax),
                    ValueLine(1, field("Max"), q, 0, kPressureMax),
                    ValueLine(2, field("Hyd"), q, 90, 120)};
        case 2:
            return {ValueLine(0, field("Min"), q, 0, kPressureMax),
                    ValueLine(1, field("Max"), q, 0, kPressureMax)};
        default:
            return {};
    }
}

std::vector<CircuitLine> FlowLines(const ParameterImage& image, int medium, int circuit) {
    const std::size_t c = Index(circuit);
    const Flow_UserRec& f = image.Flow_User[c];
    auto flow = [circuit](std::string_view key) {
        return FieldRef{Record::Flow_User, key, circuit};
    };
    auto design = [](std::string_view key, int of) { return FieldRef{Record::Des_User, key, of}; };
    const bool gas = IsGas(medium);
    std::vector<CircuitLine> lines;
    switch (f.Kind) {
        case 1:
        case 2: {
            const float desdp = image.Des_User[c].Desdp;
            lines = {
                ValueLine(0, design("Desdp", circuit), quantity::Pressure, 0, 1000),
                ValueLine(1, design("DesQN", circuit), gas ? quantity::Flow : quantity::MassFlow, 0,
                          gas ? 1e7f : 1e8f),
                ValueLine(2, design("DesT", circuit), quantity::Temperature, kTemperatureMin,
                          kTemperatureMax),
                ValueLine(3, design("Desp", circuit), quantity::Pressure, 0, kPressureMax),
                ValueLine(4, flow("Exp_zahl"), kNoQuantity, 0.5f, 1.0f),
                ValueLine(5, flow("Schleich"), quantity::Pressure, 0, desdp),
            };
            // The further design pressures of a multi-transmitter metering
            // belong to circuit 1.
            const SystemRec& s = image.System;
            if (s.Kind == 1 || s.Kind == 2) {
                const Des_UserRec& d = image.Des_User[0];
                lines.push_back(ValueLine(6, design("Desdp2", 0), quantity::Pressure, 0, d.Desdp));
                if (s.Anzahl > 2) {
                    lines.push_back(
                        ValueLine(7, design("Desdp3", 0), quantity::Pressure, 0, d.Desdp2));
                }
                if (s.Anzahl > 3) {
                    lines.push_back(
                        ValueLine(8, design("Desdp4", 0), quantity::Pressure, 0, d.Desdp3));
                }
            }
            return lines;
        }
        case 3: {
            const std::uint8_t q = quantity::MassFlow;
            return {ValueLine(0, flow("Min"), q, 0, 1e8f), ValueLine(1, flow("Max"), q, 0, 1e8f),
                    ValueLine(2, flow("Schleich"), q, 0, 1e8f)};
        }
        case 4: {
            const std::uint8_t q = quantity::VolumeFlow;
            return {ValueLine(0, flow("Min"), q, 0, 1e8f), ValueLine(1, flow("Max"), q, 0, 1e8f),
                    ValueLine(2, flow("TKK"), quantity::TemperatureCoefficient, 0, 0.001f),
                    ValueLine(3, flow("BTemp"), quantity::Temperature, kTemperatureMin,
                              kTemperatureMax),
                    ValueLine(4, flow("Schleich"), q, 0, 1e8f)};
        }
        case 5: {
            CircuitLine frequency = ValueLine(1, flow("MaxFreq"), quantity::Frequency, 0, 9999);
            frequency.kind = LineKind::Frequency;
            return {ValueLine(0, flow("KFak"), quantity::MeterFactor, 0.005f, 1000), frequency,
                    ValueLine(2, flow("TKK"), quantity::TemperatureCoefficient, 0, 0.001f),
                    ValueLine(3, flow("BTemp"), quantity::Temperature, kTemperatureMin,
                              kTemperatureMax)};
        }
        default:
            return {};
    }
}

std::vector<CircuitLine> MediumLines(const ParameterImage& image, int medium, int circuit) {
    const Med_UserRec& m = image.Med_User[Index(circuit)];
    auto med = [circuit](std::string_view key) { return FieldRef{Record::Med_User, key, circuit}; };
    auto gasSet = [](std::string_view key) { return FieldRef{Record::EG_User, key, 0}; };
    if (!IsGas(medium)) {
        switch (m.Kind) {
            case 0:
            case 1:
            case 2:
                return {ValueLine(0, med("Satt_Tol"), quantity::TemperatureDifference, 0, 20)};
            case 3:
                return {ValueLine(0, med("Rho"), quantity::Density, kDensityMin, kDensityMax),
                        ValueLine(1, med("WKapa"), quantity::HeatCapacity, 0.08f, 5)};
            case 4:
                return {ValueLine(0, med("Rho"), quantity::Density, kDensityMin, kDensityMax),
                        ValueLine(1, med("BRho"), quantity::Density, kDensityMin, kDensityMax),
                        ValueLine(2, med("BT"), quantity::Temperature, kTemperatureMin,
                                  kTemperatureMax),
                        ValueLine(3, med("Bp"), quantity::Pressure, 0, kPressureMax),
                        ValueLine(4, med("WKapa"), quantity::HeatCapacity, 0.08f, 5)};
            case 5:
                // The property table editor takes the clicked line as its table.
                return {PlainLine(0, LineAction::PropertyTable, 0),
                        PlainLine(1, LineAction::PropertyTable, 1)};
            case 6:
                return {PlainLine(0, LineAction::SaturationTable)};
            default:
                return {};
        }
    }
    switch (m.Kind) {
        case 6: {
            CircuitLine status;
            status.kind = LineKind::Status;
            status.status = StatusText(m.Dummy2);
            return {ValueLine(0, gasSet("Ho"), quantity::CalorificValue, 6, 13),
                    ValueLine(1, gasSet("Rho"), quantity::Density, 0.71f, 1.16f),
                    ValueLine(2, gasSet("CO2"), quantity::Concentration, 0, 30),
                    ValueLine(3, gasSet("H2"), quantity::Concentration, 0, 10), status};
        }
        case 7:
            return {
                ValueLine(0, med("Rho"), quantity::Density, kDensityMin, kDensityMax),
                ValueLine(1, med("BRho"), quantity::Density, kDensityMin, kDensityMax),
                ValueLine(2, med("BT"), quantity::Temperature, kTemperatureMin, kTemperatureMax),
                ValueLine(3, med("Bp"), quantity::Pressure, 0, kPressureMax)};
        case 8:
            return {ValueLine(0, med("Rho"), quantity::Density, kDensityMin, kDensityMax),
                    ValueLine(1, med("RN"), quantity::HeatCapacity, 0.08f, 3000),
                    PlainLine(2, LineAction::PropertyTable, 1)};
        default:
            return {};
    }
}

std::vector<CircuitLine> PulseLines(const ParameterImage& image, int medium, int circuit) {
    const FieldRef compare{Record::Imp_User, "Compare", circuit};
    switch (image.Imp_User[Index(circuit)].Kind) {
        case 1:
            return {ValueLine(0, compare, quantity::Total, 0, VariantOf(medium).flowMax)};
        case 2:
            return {ValueLine(0, compare, quantity::Mass, 0, 1e8f)};
        default:
            return {};
    }
}

std::vector<CircuitLine> ReferenceLines(const ParameterImage& image, int medium, int circuit) {
    if (!ReferenceGroupShown(image)) return {};
    auto field = [circuit](std::string_view key) {
        return FieldRef{Record::Bez_User, key, circuit};
    };
    std::vector<CircuitLine> lines = {
        ValueLine(1, field("T0"), quantity::Temperature, kTemperatureMin, kTemperatureMax),
        ValueLine(2, field("p0"), quantity::Pressure, 0, kPressureMax)};
    if (IsGas(medium)) lines.push_back(ValueLine(3, field("Faktor"), kNoQuantity, 0.9f, 1.1f));
    return lines;
}

// --- write-back ------------------------------------------------------------

using WriteCommand = bool (*)(Link&, const ParameterImage&, int);
using ReadCommand = bool (*)(Link&, ParameterImage&, int);

// Writes one record, waits, reads it back: two progress steps.
void WriteBack(Link& link, ParameterImage& image, int circuit, WriteCommand write,
               ReadCommand read) {
    edit::WriteBack(
        link, [&] { write(link, image, circuit); }, [&] { read(link, image, circuit); });
}

// The record commands of the groups with one record.
struct RecordCommands {
    WriteCommand write;
    ReadCommand read;
};

RecordCommands CommandsOf(CircuitGroup group) {
    switch (group) {
        case CircuitGroup::Temperature:
            return {WriteT_User, ReadT_User};
        case CircuitGroup::Pressure:
            return {WriteP_User, ReadP_User};
        case CircuitGroup::Flow:
            return {WriteFlow_User, ReadFlow_User};
        case CircuitGroup::Medium:
            return {WriteMed_User, ReadMed_User};
        case CircuitGroup::Pulse:
            return {WriteImp_User, ReadImp_User};
        case CircuitGroup::Reference:
            return {WriteBez_User, ReadBez_User};
    }
    return {WriteT_User, ReadT_User};
}

// The records a change of the group on the circuit's page writes.
BlockKind KindOf(CircuitGroup group) {
    switch (group) {
        case CircuitGroup::Temperature:
            return BlockKind::T_User;
        case CircuitGroup::Pressure:
            return BlockKind::P_User;
        case CircuitGroup::Flow:
            return BlockKind::Flow_User;
        case CircuitGroup::Medium:
            return BlockKind::Med_User;
        case CircuitGroup::Pulse:
            return BlockKind::Imp_User;
        case CircuitGroup::Reference:
            return BlockKind::Bez_User;
    }
    return BlockKind::T_User;
}

// Design values and flow input: both written, each with its wait, then both
// read back (4 steps).
void FlowWriteBack(Link& link, ParameterImage& image, int circuit) {
    edit::WriteBack(link,
                    {[&] { WriteDes_User(link, image, circuit); },
                     [&] { WriteFlow_User(link, image, circuit); }},
                    {[&] { ReadDes_User(link, image, circuit); },
                     [&] { ReadFlow_User(link, image, circuit); }});
}

bool GasCalculation(Link& link, const ParameterImage& image, int circuit) {
    return IsGas(link.session().Medium) && image.Med_User[Index(circuit)].Kind == 6;
}

// The medium record and, for the gas calculation, the natural-gas input set
// (4 steps).
void MediumWriteBack(Link& link, ParameterImage& image, int circuit) {
    if (!link.session().Online) return;
    UiHooks& ui = link.ui();
    ui.progressStart(4);
    WriteMed_User(link, image, circuit);
    ui.progressStep();
    link.PauseMs(kWriteWaitMs);
    if (GasCalculation(link, image, circuit)) {
        WriteEG_User(link, image);
        ui.progressStep();
        link.PauseMs(kWriteWaitMs);
        ReadEG_User(link, image);
        ui.progressStep();
        link.PauseMs(kWriteWaitMs);
    }
    ReadMed_User(link, image, circuit);
    ui.progressStep();
    ui.progressHide();
}

// The medium record of the circuit and, when it runs the gas calculation,
// the natural-gas input set that its write-back writes too.
bool ReadMediumRecords(Link& link, ParameterImage& image, int circuit) {
    const int here = static_cast<int>(Index(circuit));
    if (!ReadBeforeEdit(link, image, {{BlockKind::Med_User, here}})) return false;
    return !GasCalculation(link, image, circuit) ||
           ReadBeforeEdit(link, image, {{BlockKind::EG_User, 0}});
}

// The status of the natural-gas input set goes to both circuits.
void UpdateGasStatus(Link& link, ParameterImage& image, int circuit) {
    if (!GasCalculation(link, image, circuit)) return;
    const auto status = static_cast<std::uint8_t>(SGERG_Check(image.EG_User));
    image.Med_User[0].Dummy2 = status;
    image.Med_User[1].Dummy2 = status;
}

bool Is(const FieldRef& field, Record record, std::string_view key) {
    return field.record == record && field.key == key;
}

// Min and Max of a temperature or pressure input keep their order.
template <class Rec>
void PullAlong(Rec& r, std::string_view key) {
    if (key == "Min" && r.Max < r.Min) r.Max = r.Min;
    if (key == "Max" && r.Min > r.Max) r.Min = r.Max;
}

void FlowRules(ParameterImage& image, int circuit, const FieldRef& field) {
    if (Is(field, Record::Des_User, "Desdp") && field.circuit == 0) {
        Des_UserRec& d = image.Des_User[0];
        if (image.System.Kind == 1) {
            for (float* v : {&d.Desdp2, &d.Desdp3, &d.Desdp4}) {
                if (*v > d.Desdp) *v = d.Desdp;
            }
        } else if (image.System.Kind == 2) {
            d.Desdp2 = d.Desdp;
            d.Desdp3 = d.Desdp;
            d.Desdp4 = d.Desdp;
        }
        return;
    }
    Flow_UserRec& f = image.Flow_User[Index(circuit)];
    if (field.record != Record::Flow_User || (f.Kind != 3 && f.Kind != 4)) return;
    if (field.key == "Min") {
        if (f.Max < f.Min) f.Max = f.Min;
    } else if (field.key == "Max") {
        if (f.Min > f.Max) f.Min = f.Max;
        if (f.Schleich > f.Max) f.Schleich = f.Max;
    } else if (field.key == "Schleich") {
        if (f.Schleich > f.Max) f.Schleich = f.Max;
    }
}

}  // namespace

std::uint16_t LabelBlock(const ParameterImage& image, int circuit, CircuitGroup group) {
    const std::size_t c = Index(circuit);
    auto kindBlock = [](int first, int kind) {
        return static_cast<std::uint16_t>(first + 16 * (kind + 1));
    };
    switch (group) {
        case CircuitGroup::Temperature:
            return kindBlock(2048, image.T_User[c].Kind);
        case CircuitGroup::Pressure:
            return kindBlock(3072, image.P_User[c].Kind);
        case CircuitGroup::Flow:
            return kindBlock(4096, image.Flow_User[c].Kind);
        case CircuitGroup::Medium:
            return kindBlock(5120, image.Med_User[c].Kind);
        case CircuitGroup::Pulse:
            return 6144;
        case CircuitGroup::Reference:
            return kReferenceBlock;
    }
    return 0;
}

std::vector<CircuitLine> GroupLines(const ParameterImage& image, int medium, int circuit,
                                    CircuitGroup group) {
    switch (group) {
        case CircuitGroup::Temperature:
            return TemperatureLines(image, circuit);
        case CircuitGroup::Pressure:
            return PressureLines(image, circuit);
        case CircuitGroup::Flow:
            return FlowLines(image, medium, circuit);
        case CircuitGroup::Medium:
            return MediumLines(image, medium, circuit);
        case CircuitGroup::Pulse:
            return PulseLines(image, medium, circuit);
        case CircuitGroup::Reference:
            return ReferenceLines(image, medium, circuit);
    }
    return {};
}

std::string LineText(const CircuitLine& line, const views::TextBlock& labels,
                     const ParameterImage& image, const views::ValueFormatter& format) {
    if (line.kind == LineKind::Status) return line.status;
    std::string text = line.label < labels.size() ? labels[line.label] : std::string();
    switch (line.kind) {
        case LineKind::Value:
            text += format(line.quantity, true, true, GetField(image, line.field));
            break;
        case LineKind::Frequency: {
            char number[16];
            std::snprintf(
                number, sizeof number, "%4u",
                static_cast<unsigned>(image.Flow_User[Index(line.field.circuit)].MaxFreq));
            text += number;
            text += kHertz;
            break;
        }
        case LineKind::Plain:
        case LineKind::Status:
            break;
    }
    return text;
}

std::vector<std::string> GroupListTexts(const ParameterImage& image, int medium, int circuit,
                                        CircuitGroup group, const views::BlockLoader& load,
                                        const views::ValueFormatter& format) {
    const std::vector<CircuitLine> lines = GroupLines(image, medium, circuit, group);
    if (lines.empty()) return {};
    views::TextBlock labels;
    if (!load(LabelBlock(image, circuit, group), kCircuitLabelWidth, labels)) return {};
    std::vector<std::string> texts;
    texts.reserve(lines.size());
    for (const CircuitLine& line : lines) texts.push_back(LineText(line, labels, image, format));
    return texts;
}

bool ReferenceGroupShown(const ParameterImage& image) {
    return image.System.Kind != 4;
}

std::uint16_t ChoiceBlock(CircuitGroup group) {
    switch (group) {
        case CircuitGroup::Temperature:
            return 2048;
        case CircuitGroup::Pressure:
            return 3072;
        case CircuitGroup::Flow:
            return 4096;
        case CircuitGroup::Medium:
            return 5120;
        case CircuitGroup::Pulse:
            return 6144;
        case CircuitGroup::Reference:
            return kReferenceBlock;
    }
    return 0;
}

std::vector<std::string> GroupChoices(CircuitGroup group, int circuit,
                                      const views::BlockLoader& load) {
    if (group == CircuitGroup::Reference) return {};
    views::TextBlock block;
    if (!load(ChoiceBlock(group), 0, block)) return {};
    std::vector<std::string> choices;
    for (std::size_t i = 1; i < block.size() && !block[i].empty(); ++i) choices.push_back(block[i]);
    const bool takesOther = group == CircuitGroup::Temperature || group == CircuitGroup::Pressure;
    if (takesOther && choices.size() > 3) choices[3] += circuit == 1 ? " 1" : " 2";
    return choices;
}

std::optional<int> GroupChoice(const ParameterImage& image, int circuit, CircuitGroup group) {
    const std::size_t c = Index(circuit);
    switch (group) {
        case CircuitGroup::Temperature:
            return image.T_User[c].Eq >= 2 ? 3 : image.T_User[c].Kind;
        case CircuitGroup::Pressure:
            return image.P_User[c].Eq >= 2 ? 3 : image.P_User[c].Kind;
        case CircuitGroup::Flow:
            return image.Flow_User[c].Kind;
        case CircuitGroup::Medium:
            return image.Med_User[c].Kind;
        case CircuitGroup::Pulse:
            if (image.Imp_User[c].Kind < 3) return image.Imp_User[c].Kind;
            return std::nullopt;
        case CircuitGroup::Reference:
            return std::nullopt;
    }
    return std::nullopt;
}

GroupSet ApplyChoice(Link& link, ParameterImage& image, int circuit, CircuitGroup group,
                     int index) {
    if (index < 0 || index > 255 || group == CircuitGroup::Reference) return {};
    const std::size_t c = Index(circuit);
    const std::size_t other = 1 - c;
    const auto kind = static_cast<std::uint8_t>(index);
    const bool online = link.session().Online;
    const RecordCommands commands = CommandsOf(group);
    const int here = static_cast<int>(c);
    const int there = static_cast<int>(other);

    // The records the choice writes hold the device's values first; the
    // fourth temperature or pressure choice writes the other circuit's too.
    const bool takesOther =
        index >= 3 && (group == CircuitGroup::Temperature || group == CircuitGroup::Pressure);
    const bool ready =
        takesOther ? ReadBeforeEdit(link, image, {{KindOf(group), there}, {KindOf(group), here}})
                   : ReadBeforeEdit(link, image, {{KindOf(group), here}});
    if (!ready) return {group};

    // Temperature and pressure: the fourth choice takes the value from the
    // other circuit, which is told at once that it feeds this one.
    auto takeChoice = [&](auto& records) {
        if (index >= 3) {
            records[c].Eq = 2;
            records[other].Eq = 1;
            if (online) {
                commands.write(link, image, static_cast<int>(other));
                link.PauseMs(kWriteWaitMs);
            }
        } else {
            records[c].Kind = kind;
            if (records[c].Eq != 1) records[c].Eq = 0;
        }
    };

    switch (group) {
        case CircuitGroup::Temperature:
            takeChoice(image.T_User);
            break;
        case CircuitGroup::Pressure:
            takeChoice(image.P_User);
            break;
        case CircuitGroup::Flow:
            image.Flow_User[c].Kind = kind;
            break;
        case CircuitGroup::Pulse:
            image.Imp_User[c].Kind = kind;
            break;
        case CircuitGroup::Medium: {
            image.Med_User[c].Kind = kind;
            if (online) {
                UiHooks& ui = link.ui();
                ui.progressStart(3);
                WriteMed_User(link, image, circuit);
                ui.progressStep();
                link.PauseMs(kWriteWaitMs);
                ReadMed_User(link, image, circuit);
                ui.progressStep();
                if (GasCalculation(link, image, circuit) && ReadEG_User(link, image)) {
                    ui.progressStep();
                }
                ui.progressHide();
            }
            return {CircuitGroup::Medium};
        }
        case CircuitGroup::Reference:
            return {};
    }
    WriteBack(link, image, circuit, commands.write, commands.read);
    return {group};
}

GroupSet ApplyLineValue(Link& link, ParameterImage& image, int circuit, CircuitGroup group,
                        const CircuitLine& line, float accepted) {
    if (line.action != LineAction::Dialog) return {};
    const std::size_t c = Index(circuit);
    const int here = static_cast<int>(c);
    const bool ready =
        group == CircuitGroup::Flow
            ? ReadBeforeEdit(link, image,
                             {{BlockKind::Des_User, here}, {BlockKind::Flow_User, here}})
        : group == CircuitGroup::Medium ? ReadMediumRecords(link, image, circuit)
                                        : ReadBeforeEdit(link, image, {{KindOf(group), here}});
    if (!ready) return {group};
    const float old = GetField(image, line.field);
    SetField(image, line.field, accepted);

    switch (group) {
        case CircuitGroup::Temperature:
            if (image.T_User[c].Kind == 1 && line.field.record == Record::T_User) {
                PullAlong(image.T_User[c], line.field.key);
            }
            break;
        case CircuitGroup::Pressure:
            if (image.P_User[c].Kind == 1 && line.field.record == Record::P_User) {
                PullAlong(image.P_User[c], line.field.key);
            }
            break;
        case CircuitGroup::Flow:
            FlowRules(image, circuit, line.field);
            FlowWriteBack(link, image, circuit);
            return {CircuitGroup::Flow};
        case CircuitGroup::Medium:
            if (line.field.record == Record::EG_User && GetField(image, line.field) != old) {
                image.Med_User[c].Ready = 0;
            }
            return ApplyWithoutValue(link, image, circuit, group);
        case CircuitGroup::Pulse:
        case CircuitGroup::Reference:
            break;
    }
    const RecordCommands commands = CommandsOf(group);
    WriteBack(link, image, circuit, commands.write, commands.read);
    return {group};
}

GroupSet ApplyWithoutValue(Link& link, ParameterImage& image, int circuit, CircuitGroup group) {
    switch (group) {
        case CircuitGroup::Medium:
            if (!ReadMediumRecords(link, image, circuit)) return {CircuitGroup::Medium};
            UpdateGasStatus(link, image, circuit);
            MediumWriteBack(link, image, circuit);
            return {CircuitGroup::Medium, CircuitGroup::Flow};
        case CircuitGroup::Pulse:
            if (!ReadBeforeEdit(link, image,
                                {{BlockKind::Imp_User, static_cast<int>(Index(circuit))}})) {
                return {CircuitGroup::Pulse};
            }
            WriteBack(link, image, circuit, WriteImp_User, ReadImp_User);
            return {CircuitGroup::Pulse};
        default:
            return {};
    }
}

void ReadCircuitPage(Link& link, ParameterImage& image, int circuit) {
    UiHooks& ui = link.ui();
    ui.progressStart(3);
    if (link.session().Online && ReadCircuitParameters(link, image, circuit)) ui.progressStep();
    if (link.session().Online && ReadBez_User(link, image, circuit)) ui.progressStep();
    if (link.session().Online && ReadImp_User(link, image, circuit)) ui.progressStep();
    ui.progressHide();
}

}  // namespace parvion::edit
