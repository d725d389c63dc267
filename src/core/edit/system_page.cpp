#include "core/edit/system_page.h"

#include <algorithm>

#include "core/edit/write_back.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/link/ui_hooks.h"
#include "core/model/units.h"
#include "core/model/utf8_text.h"
#include "core/model/variant.h"

namespace parvion::edit {

namespace {

constexpr int kFillWaitMs = 100;
constexpr int kOutputs = 4;
constexpr int kAlarms = 2;
// Anzahl: two to four measuring units.
constexpr std::uint8_t kMinUnits = 2;
constexpr std::uint8_t kMaxUnits = 4;
// U_Max x 16 above this is the industry scheme.
constexpr float kIndustryThreshold = 21.99f;

constexpr float kTemperatureMax = 1273.15f;
constexpr float kPressureMax = 100000.0f;
constexpr float kMassMax = 1e8f;

bool SingleCircuit(std::uint8_t kind) {
    return kind == 1 || kind == 2;
}

// An output source of circuit 2, the difference or the sum as the same
// quantity of circuit 1.
std::uint8_t OutputSourceOnCircuit1(std::uint8_t code) {
    switch (code) {
        case 9:
        case 17:
            return 1;
        case 10:
        case 18:
            return 2;
        case 11:
        case 19:
            return 3;
        case 12:
        case 20:
        case 28:
            return 4;
        case 13:
        case 21:
        case 29:
            return 5;
        default:
            return code;
    }
}

// The preferred display value of circuit 2, the difference or the sum as
// the same quantity of circuit 1 (code 9 temperature 2 -> 1 temperature 1).
std::uint8_t DisplaySourceOnCircuit1(std::uint8_t code) {
    return code > 7 ? static_cast<std::uint8_t>(code & 7) : code;
}

// The steps of a sequence through the link's progress bar; once the device
// has stopped answering (the link went offline), the rest is skipped.
class Sequence {
  public:
    explicit Sequence(Link& link) : link_(link), ui_(link.ui()) {}

    bool online() const { return link_.session().Online; }

    // A read and its progress step.
    template <class Read>
    bool read(Read&& command) {
        if (!online()) return false;
        command();
        ui_.progressStep();
        return true;
    }
    // A write, its progress step and the wait after it.
    template <class Write>
    bool write(Write&& command) {
        if (!online()) return false;
        command();
        ui_.progressStep();
        link_.PauseMs(kWriteWaitMs);
        return true;
    }

  private:
    Link& link_;
    UiHooks& ui_;
};

// Reads what depends on circuit 2, maps it onto circuit 1 and writes it
// back, in the order the device expects. Every record it writes is read
// first; when one of the reads fails, nothing is written (false).
bool SwitchToSingleCircuit(Link& link, ParameterImage& image, std::uint8_t kind) {
    Sequence s(link);
    link.ui().progressStart(kSingleCircuitSwitchSteps);
    bool complete = true;
    auto read = [&](auto command, auto... index) {
        s.read([&] { complete = command(link, image, index...) && complete; });
    };
    for (int c : {0, 1}) read(ReadT_User, c);
    for (int c : {0, 1}) read(ReadP_User, c);
    read(ReadFlow_User, 0);
    read(ReadFlow_User, 1);
    read(ReadDes_User, 0);
    read(ReadImp_User, 1);
    read(ReadTrend_User);
    read(ReadDis_User);
    for (int k = 0; k < kOutputs; ++k) read(ReadAus_User, k);
    for (int a = 0; a < kAlarms; ++a) read(ReadAlm_User, a);
    if (!s.online() || !complete) return false;
    MapToSingleCircuit(image, kind);

    for (int k = 0; k < kOutputs; ++k) s.write([&] { WriteAus_User(link, image, k); });
    // The three input records of circuit 1, then those of circuit 2, whose
    // kinds the mapping has switched off: the device checks each input
    // against the others, and afterwards holds what the program shows.
    for (int c : {0, 1}) {
        s.write([&] { WriteT_User(link, image, c); });
        s.write([&] { WriteP_User(link, image, c); });
        s.write([&] { WriteFlow_User(link, image, c); });
    }
    s.write([&] { WriteDes_User(link, image, 0); });
    s.write([&] { WriteImp_User(link, image, 1); });
    s.write([&] { WriteTrend_User(link, image); });
    s.write([&] { WriteDis_User(link, image); });
    for (int a = 0; a < kAlarms; ++a) s.write([&] { WriteAlm_User(link, image, a); });
    return true;
}

}  // namespace

std::optional<int> SystemChoiceOfKind(std::uint8_t kind) {
    const auto at = std::find(kSystemKinds.begin(), kSystemKinds.end(), kind);
    if (at == kSystemKinds.end()) return std::nullopt;
    return static_cast<int>(at - kSystemKinds.begin());
}

void MapToSingleCircuit(ParameterImage& image, std::uint8_t kind) {
    image.T_User[1].Kind = 0;
    image.T_User[1].Eq = 0;
    image.T_User[0].Eq = 0;
    image.P_User[1].Kind = 0;
    image.P_User[1].Eq = 0;
    image.P_User[0].Eq = 0;
    if (image.Flow_User[0].Kind > 2) image.Flow_User[0].Kind = 1;
    image.Flow_User[1].Kind = 0;
    image.Imp_User[1].Kind = 0;
    image.Trend_User.Param = 0;
    image.Dis_User.First = DisplaySourceOnCircuit1(image.Dis_User.First);
    for (Aus_UserRec& out : image.Aus_User) out.Param = OutputSourceOnCircuit1(out.Param);
    for (Alm_UserRec& alarm : image.Alm_User) {
        if (alarm.Param > 7) alarm.Param = 0;
    }
    if (image.System.Anzahl < kMinUnits) image.System.Anzahl = kMinUnits;
    Des_UserRec& des = image.Des_User[0];
    if (kind == 2) {
        des.Desdp2 = des.Desdp3 = des.Desdp4 = des.Desdp;
    } else {
        des.Desdp2 = std::max(des.Desdp2, des.Desdp);
        des.Desdp3 = std::max(des.Desdp3, des.Desdp2);
        des.Desdp4 = std::max(des.Desdp4, des.Desdp3);
    }
}

SystemChange ChangeSystemDefinition(Link& link, ParameterImage& image, int choice) {
    const std::uint8_t kind = kSystemKinds[static_cast<std::size_t>(std::clamp(choice, 0, 3))];
    const bool online = link.session().Online;
    // The device's KindMask decides, and its System record is what goes out.
    if (!ReadBeforeEdit(link, image, {{BlockKind::System}})) return SystemChange::NotSent;
    if (online && (image.System.KindMask & kind) != kind) return SystemChange::Refused;
    const bool changed = image.System.Kind != kind;
    if (!online || !changed) {
        image.System.Kind = kind;
        return SystemChange::Stored;
    }

    const bool switching = SingleCircuit(kind);
    if (switching && !SwitchToSingleCircuit(link, image, kind)) {
        link.ui().progressHide();
        link.ui().editNotSent(link.lastFailure());
        return SystemChange::NotSent;
    }
    image.System.Kind = kind;
    Sequence s(link);
    s.write([&] { WriteSystem(link, image); });
    link.ui().progressHide();
    return switching ? SystemChange::Switched : SystemChange::SystemOnly;
}

void SetMeasuringUnits(Link& link, ParameterImage& image, int choice) {
    if (!ReadBeforeEdit(link, image, {{BlockKind::System}})) return;
    image.System.Anzahl = static_cast<std::uint8_t>(kMinUnits + std::clamp(choice, 0, 2));
    WriteBack(
        link, [&] { WriteSystem(link, image); }, [&] { ReadSystem(link, image); });
}

std::optional<int> MeasuringUnitsChoice(const SystemRec& system) {
    if (system.Anzahl < kMinUnits || system.Anzahl > kMaxUnits) return std::nullopt;
    return system.Anzahl - kMinUnits;
}

int LimitSchemeOf(const GrenzwerteRec& limits) {
    return limits.U_Max * 16 > kIndustryThreshold ? 1 : 0;
}

void ApplyLimitScheme(Link& link, ParameterImage& image, int scheme) {
    const LimitScheme& s = kLimitSchemes[scheme == 1 ? 1 : 0];
    if (!ReadBeforeEdit(link, image, {{BlockKind::Grenzwerte}})) return;
    image.Grenzwerte = GrenzwerteRec{s.U_Max, s.U_Min, s.L_Max, s.L_Min};
    WriteBack(
        link, [&] { WriteGrenzwerte(link, image); }, [&] { ReadGrenzwerte(link, image); });
}

PresetLimits PresetLimitsOf(std::size_t k, int medium) {
    switch (k % 4) {
        case 0:
            return {quantity::TemperatureDifference, 0, kTemperatureMax};
        case 1:
            return {quantity::Pressure, 0, kPressureMax};
        case 2:
            return {quantity::Flow, 0, VariantOf(medium).flowMax};
        default:
            return {quantity::MassFlow, 0, kMassMax};
    }
}

std::vector<std::string> PresetLineTexts(const ParameterImage& image,
                                         const views::TextBlock& labels,
                                         const views::ValueFormatter& format) {
    // The labels padded to the longest, so that the values line up.
    std::size_t width = 0;
    for (std::size_t k = 0; k < kPresetCount; ++k)
        width = std::max(width, Utf8Length(labels[k + 1]));
    std::vector<std::string> lines;
    for (std::size_t k = 0; k < kPresetCount; ++k) {
        // The medium only changes a flow's limits, not its quantity.
        const std::uint8_t q = PresetLimitsOf(k, medium::Gas).quantity;
        const std::string& label = labels[k + 1];
        lines.push_back(label + std::string(width - Utf8Length(label) + 1, ' ') +
                        format(q, true, true, image.Vorgaben[k]));
    }
    return lines;
}

bool PresetsInUse(const ParameterImage& image) {
    return std::any_of(image.Vorgaben.begin(), image.Vorgaben.end(), [](float v) { return v > 0; });
}

bool SetPreset(Link& link, ParameterImage& image, std::size_t k, float value) {
    if (k >= kPresetCount) return false;
    // Unchanged against the device's own value: nothing to write.
    if (!ReadBeforeEdit(link, image, {{BlockKind::Vorgaben, static_cast<int>(k)}})) return false;
    if (image.Vorgaben[k] == value) return false;
    image.Vorgaben[k] = value;
    if (link.session().Online) {
        WriteVorgaben(link, image, static_cast<int>(k));
        link.PauseMs(kWriteWaitMs);
    }
    return true;
}

void ClearPresets(Link& link, ParameterImage& image) {
    for (std::size_t k = 0; k < kPresetCount; ++k) {
        if (!ReadBeforeEdit(link, image, {{BlockKind::Vorgaben, static_cast<int>(k)}})) return;
        image.Vorgaben[k] = 0;
        if (link.session().Online) WriteVorgaben(link, image, static_cast<int>(k));
    }
}

bool SystemFactorEditable(const SystemRec& system) {
    return system.Kind == 4;
}

void SetSystemFactor(Link& link, ParameterImage& image, float factor) {
    if (!ReadBeforeEdit(link, image, {{BlockKind::System}})) return;
    image.System.Faktor = factor;
    if (!link.session().Online) return;
    WriteSystem(link, image);
    link.PauseMs(kWriteWaitMs);
    ReadSystem(link, image);
    link.PauseMs(kWriteWaitMs);
}

void ReadSystemPage(Link& link, ParameterImage& image) {
    UiHooks& ui = link.ui();
    ui.progressStart(3);
    if (link.session().Online && ReadSystem(link, image)) ui.progressStep();
    if (link.session().Online && ReadGrenzwerte(link, image)) ui.progressStep();
    if (link.session().Online) {
        for (std::size_t k = 0; k < kPresetCount; ++k) {
            ReadVorgaben(link, image, static_cast<int>(k));
        }
    }
    ui.progressStep();
    if (link.session().Online) link.PauseMs(kFillWaitMs);
    ui.progressHide();
}

}  // namespace parvion::edit
