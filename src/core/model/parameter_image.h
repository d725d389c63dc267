#pragma once
// The in-memory copy of a flow computer's configuration: one record per
// device parameter block, most of them once per circuit (index 0 = circuit 1,
// index 1 = circuit 2). Field names are the keys of the parameter file; the
// device blocks carry the same fields in the same order, except System and
// UserEinheiten (see the block codecs in link/parameter_blocks).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/model/device_marks.h"

namespace parvion {

// Temperature input (32 bytes).
struct T_UserRec {
    std::uint8_t Dummy1 = 0;
    std::uint8_t Dummy2 = 0;
    std::uint8_t Kind = 0;
    std::uint8_t Eq = 0;
    float Min = 0;
    float Max = 0;
    float Dummy4 = 0;
    float Diff = 0;
    float Toff = 0;
    float Konst = 0;
    float Dummy3 = 0;
    bool operator==(const T_UserRec&) const = default;
};

// Pressure input (32 bytes).
struct P_UserRec {
    std::uint8_t Dummy1 = 0;
    std::uint8_t Dummy2 = 0;
    std::uint8_t Kind = 0;
    std::uint8_t Eq = 0;
    float Hyd = 0;
    float Min = 0;
    float Max = 0;
    float Err = 0;
    float Konst = 0;
    float Dummy3 = 0;
    float Dummy4 = 0;
    bool operator==(const P_UserRec&) const = default;
};

// Flow input (32 bytes). Here Eq comes before Kind.
struct Flow_UserRec {
    std::uint8_t Eq = 0;
    std::uint8_t Kind = 0;
    std::uint16_t MaxFreq = 0;
    float Min = 0;
    float Max = 0;
    float KFak = 0;
    float TKK = 0;
    float BTemp = 0;
    float Schleich = 0;
    float Exp_zahl = 0;
    bool operator==(const Flow_UserRec&) const = default;
};

// Design values (8 floats).
struct Des_UserRec {
    float DesQN = 0;
    float DesT = 0;
    float Desp = 0;
    float Desdp = 0;
    float DesRho = 0;
    float Desdp2 = 0;
    float Desdp3 = 0;
    float Desdp4 = 0;
    bool operator==(const Des_UserRec&) const = default;
};

// Medium (32 bytes). Dummy2 holds the status character of the SGERG-88
// check ('0' = no fault); Ready is a device flag.
struct Med_UserRec {
    std::uint8_t Dummy1 = 0;
    std::uint8_t Dummy2 = 0;
    std::uint8_t Ready = 0;
    std::uint8_t Kind = 0;
    float Rho = 0;
    float RN = 0;
    float BT = 0;
    float Bp = 0;
    float BRho = 0;
    float WKapa = 0;
    float Satt_Tol = 0;
    bool operator==(const Med_UserRec&) const = default;
};

// Natural-gas input set of the SGERG-88 calculation (gas variant only).
struct EG_UserRec {
    float Ho = 0;   // superior calorific value
    float CO2 = 0;  // carbon dioxide content
    float H2 = 0;   // hydrogen content
    float Rho = 0;  // standard density
    bool operator==(const EG_UserRec&) const = default;
};

// Reference conditions.
struct Bez_UserRec {
    float T0 = 0;
    float p0 = 0;
    float h0 = 0;
    float Faktor = 0;
    bool operator==(const Bez_UserRec&) const = default;
};

// Pulse output (8 bytes).
struct Imp_UserRec {
    std::uint8_t Dummy1 = 0;
    std::uint8_t Dummy2 = 0;
    std::uint8_t Dummy3 = 0;
    std::uint8_t Kind = 0;
    float Compare = 0;
    bool operator==(const Imp_UserRec&) const = default;
};

// Alarm relay (16 bytes).
struct Alm_UserRec {
    std::uint8_t Dummy1 = 0;
    std::uint8_t Dummy2 = 0;
    std::uint8_t Param = 0;
    std::uint8_t Kind = 0;
    float Min = 0;
    float Max = 0;
    float Dummy3 = 0;
    bool operator==(const Alm_UserRec&) const = default;
};

// Analog output (16 bytes), outputs 1 to 4.
struct Aus_UserRec {
    std::uint8_t Dummy1 = 0;
    std::uint8_t Dummy2 = 0;
    std::uint8_t Konstant = 0;
    std::uint8_t Param = 0;
    float Min = 0;
    float Max = 0;
    float Err = 0;
    bool operator==(const Aus_UserRec&) const = default;
};

// Display options.
struct Dis_UserRec {
    std::uint8_t Kind = 0;
    std::uint8_t Einheiten = 0;  // non-zero: the device's user units are on
    std::uint8_t First = 0;
    std::uint8_t CalcError = 0;
    bool operator==(const Dis_UserRec&) const = default;
};

// Unit selection of one quantity. Only Kind is stored in parameter files;
// the other fields are a copy of the matching unit-table row.
struct UserEinheitRec {
    std::uint8_t Kind = 0;    // unit choice within the quantity
    std::uint8_t Length = 0;  // significant characters of the device text
    std::uint8_t Code = 0;    // device format code
    std::string Text;         // device unit text, at most 5 characters, right-aligned
    float Factor = 0;         // display value = base value * Factor + Offset
    float Offset = 0;
    bool operator==(const UserEinheitRec&) const = default;
};

// Trend recording.
struct Trend_UserRec {
    std::uint8_t Dummy1 = 0;
    std::uint8_t Dummy2 = 0;
    std::uint8_t Param = 0;
    std::uint8_t Time = 0;
    bool operator==(const Trend_UserRec&) const = default;
};

// Flow correction factors of support points 0..7.
struct FlowKorrRec {
    std::array<float, 8> Stelle{};
    bool operator==(const FlowKorrRec&) const = default;
};

// Limit values.
struct GrenzwerteRec {
    float U_Max = 0;
    float U_Min = 0;
    float L_Max = 0;
    float L_Min = 0;
    bool operator==(const GrenzwerteRec&) const = default;
};

// System definition (20 bytes in the image, 16 in the device block).
struct SystemRec {
    std::uint8_t Ausbaustufe = 0;  // expansion level: mask of absent options
    std::uint8_t Anzahl = 0;
    std::uint8_t KindMask = 0;  // system kinds the device allows
    std::uint8_t Kind = 0;      // system definition
    std::uint8_t Lang = 0;
    std::uint8_t Dummy3 = 0;
    std::int32_t Dummy4 = 0;
    float Faktor = 0;
    float Dummy6 = 0;
    bool operator==(const SystemRec&) const = default;
};

// Display enable masks.
struct DisplayRec {
    std::uint8_t Enable1 = 0;
    std::uint8_t Enable2 = 0;
    std::uint8_t Enable3 = 0;
    std::uint8_t Enable4 = 0;
    bool operator==(const DisplayRec&) const = default;
};

// Device operating block; byte 0 is the device's baud-rate index.
struct BetriebRec {
    std::array<std::uint8_t, 4> Bytes{};
    bool operator==(const BetriebRec&) const = default;
};

// Expansion level values as chosen by the "Ausbaustufe" menu.
namespace ausbaustufe {
inline constexpr std::uint8_t HighEnd = 0x00;
inline constexpr std::uint8_t BasicA2 = 0xC0;
inline constexpr std::uint8_t BasicA1 = 0x3C;
inline constexpr std::uint8_t Basic = 0xFE;
// Bits that, when set, mean circuit 2 is absent.
inline constexpr std::uint8_t NoCircuit2 = 0xC0;
// Bits that, when set, mean trend recording is absent.
inline constexpr std::uint8_t NoTrend = 0x3E;
}  // namespace ausbaustufe

struct ParameterImage {
    std::array<T_UserRec, 2> T_User{};
    std::array<P_UserRec, 2> P_User{};
    std::array<Flow_UserRec, 2> Flow_User{};
    std::array<Des_UserRec, 2> Des_User{};
    std::array<Med_UserRec, 2> Med_User{};
    EG_UserRec EG_User{};
    std::array<Bez_UserRec, 2> Bez_User{};
    std::array<Imp_UserRec, 2> Imp_User{};
    std::array<Alm_UserRec, 2> Alm_User{};
    std::array<Aus_UserRec, 4> Aus_User{};
    Dis_UserRec Dis_User{};
    std::array<UserEinheitRec, 16> UserEinheiten{};
    Trend_UserRec Trend_User{};
    std::array<FlowKorrRec, 2> FlowKorr{};
    GrenzwerteRec Grenzwerte{};
    SystemRec System{};
    std::array<float, 8> Vorgaben{};
    DisplayRec Display{};
    BetriebRec Betrieb{};
    // Remark lines of the parameter set; stored in files, not in the device.
    std::vector<std::string> Bemerkung;
    // Which records hold what the connected device returned.
    DeviceMarks marks;

    bool circuit2Present() const { return (System.Ausbaustufe & ausbaustufe::NoCircuit2) == 0; }
    bool trendPresent() const { return (System.Ausbaustufe & ausbaustufe::NoTrend) == 0; }
    bool operator==(const ParameterImage&) const = default;
};

// System variant selector.
namespace medium {
inline constexpr int Unknown = -1;
inline constexpr int Gas = 0;
inline constexpr int Energy = 1;
}  // namespace medium

}  // namespace parvion
