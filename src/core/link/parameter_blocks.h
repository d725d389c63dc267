#pragma once
// Parameter block commands: one read and one write command per record of
// the parameter image, the pure codecs between records and device blocks
// that they use, and the bulk operations ReadAllParameters and
// WriteAllParameters.
//
// A read fetches the block (frame 0xB0) and decodes it into the image; a
// failed read leaves its record unchanged. A write encodes the record and
// stores it in the device (frame 0xA0). The single commands do nothing else:
// no waits, no progress, no other records.

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/link/encoding.h"
#include "core/model/parameter_image.h"

namespace parvion {

class Link;

// Where each parameter block lies in the device's data memory.
namespace block {

struct Place {
    std::uint16_t address;
    std::uint8_t count;
};

constexpr Place T_User(int circuit) {
    return {static_cast<std::uint16_t>(0x8100 + 32 * circuit), 32};
}
constexpr Place P_User(int circuit) {
    return {static_cast<std::uint16_t>(0x8180 + 32 * circuit), 32};
}
constexpr Place Flow_User(int circuit) {
    return {static_cast<std::uint16_t>(0x8060 + 32 * circuit), 32};
}
constexpr Place Des_User(int circuit) {
    return {static_cast<std::uint16_t>(0x81C0 + 32 * circuit), 32};
}
constexpr Place Med_User(int circuit) {
    return {static_cast<std::uint16_t>(0x82C0 + 32 * circuit), 32};
}
constexpr Place Bez_User(int circuit) {
    return {static_cast<std::uint16_t>(0x8150 + 16 * circuit), 16};
}
constexpr Place Imp_User(int circuit) {
    return {static_cast<std::uint16_t>(0x8140 + 8 * circuit), 8};
}
constexpr Place Alm_User(int circuit) {
    return {static_cast<std::uint16_t>(0x8040 + 16 * circuit), 16};
}
constexpr Place Aus_User(int output) {
    return {static_cast<std::uint16_t>(0x8000 + 16 * output), 16};
}
constexpr Place FlowKorr(int circuit) {
    return {static_cast<std::uint16_t>(0x8200 + 32 * circuit), 32};
}
constexpr Place UserEinheiten(int quantity) {
    return {static_cast<std::uint16_t>(0x9000 + 16 * quantity), 16};
}
constexpr Place Vorgaben(int preset) {
    return {static_cast<std::uint16_t>(0x9120 + 4 * preset), 4};
}
inline constexpr Place EG_User{0x80F0, 16};
inline constexpr Place Grenzwerte{0x80C0, 16};
inline constexpr Place System{0x80A0, 16};
inline constexpr Place Betrieb{0x80EC, 4};
inline constexpr Place Dis_User{0x817C, 4};
inline constexpr Place Trend_User{0x8178, 4};
inline constexpr Place Display{0x9140, 4};

}  // namespace block

// Record <-> block bytes. encode gives exactly the block's bytes; decode
// needs at least that many and returns false (record unchanged) otherwise.
namespace codec {

wire::Bytes encode(const T_UserRec& r);
wire::Bytes encode(const P_UserRec& r);
wire::Bytes encode(const Flow_UserRec& r);
wire::Bytes encode(const Des_UserRec& r);
wire::Bytes encode(const Med_UserRec& r);
wire::Bytes encode(const Bez_UserRec& r);
wire::Bytes encode(const Imp_UserRec& r);
wire::Bytes encode(const Alm_UserRec& r);
wire::Bytes encode(const Aus_UserRec& r);
wire::Bytes encode(const FlowKorrRec& r);
wire::Bytes encode(const EG_UserRec& r);
wire::Bytes encode(const GrenzwerteRec& r);
// Bytes 0..4, three zero bytes, Faktor, Dummy6.
wire::Bytes encode(const SystemRec& r);
wire::Bytes encode(const BetriebRec& r);
wire::Bytes encode(const Dis_UserRec& r);
wire::Bytes encode(const Trend_UserRec& r);
// Kind, length, code, the 5-character device text (right-aligned with
// blanks when shorter), factor, offset.
wire::Bytes encode(const UserEinheitRec& r);
wire::Bytes encode(const DisplayRec& r);
wire::Bytes encodeVorgabe(float value);

bool decode(std::span<const std::uint8_t> b, T_UserRec& r);
bool decode(std::span<const std::uint8_t> b, P_UserRec& r);
bool decode(std::span<const std::uint8_t> b, Flow_UserRec& r);
bool decode(std::span<const std::uint8_t> b, Des_UserRec& r);
bool decode(std::span<const std::uint8_t> b, Med_UserRec& r);
bool decode(std::span<const std::uint8_t> b, Bez_UserRec& r);
bool decode(std::span<const std::uint8_t> b, Imp_UserRec& r);
bool decode(std::span<const std::uint8_t> b, Alm_UserRec& r);
bool decode(std::span<const std::uint8_t> b, Aus_UserRec& r);
bool decode(std::span<const std::uint8_t> b, FlowKorrRec& r);
bool decode(std::span<const std::uint8_t> b, EG_UserRec& r);
bool decode(std::span<const std::uint8_t> b, GrenzwerteRec& r);
// Fills bytes 0..4, clears Dummy3 and Dummy4, Faktor from offset 8 and
// Dummy6 from offset 12.
bool decode(std::span<const std::uint8_t> b, SystemRec& r);
bool decode(std::span<const std::uint8_t> b, BetriebRec& r);
bool decode(std::span<const std::uint8_t> b, Dis_UserRec& r);
bool decode(std::span<const std::uint8_t> b, Trend_UserRec& r);
bool decode(std::span<const std::uint8_t> b, UserEinheitRec& r);
bool decode(std::span<const std::uint8_t> b, DisplayRec& r);
bool decodeVorgabe(std::span<const std::uint8_t> b, float& value);

}  // namespace codec

// --- commands: true when the transaction succeeded; an index out of range
// fails without traffic.

bool ReadT_User(Link& link, ParameterImage& image, int circuit);
bool WriteT_User(Link& link, const ParameterImage& image, int circuit);
bool ReadP_User(Link& link, ParameterImage& image, int circuit);
bool WriteP_User(Link& link, const ParameterImage& image, int circuit);
bool ReadFlow_User(Link& link, ParameterImage& image, int circuit);
bool WriteFlow_User(Link& link, const ParameterImage& image, int circuit);
bool ReadDes_User(Link& link, ParameterImage& image, int circuit);
bool WriteDes_User(Link& link, const ParameterImage& image, int circuit);
// Accepted only when the reply echoes the request's four header bytes.
bool ReadMed_User(Link& link, ParameterImage& image, int circuit);
bool WriteMed_User(Link& link, const ParameterImage& image, int circuit);
bool ReadBez_User(Link& link, ParameterImage& image, int circuit);
bool WriteBez_User(Link& link, const ParameterImage& image, int circuit);
bool ReadImp_User(Link& link, ParameterImage& image, int circuit);
bool WriteImp_User(Link& link, const ParameterImage& image, int circuit);
bool ReadAlm_User(Link& link, ParameterImage& image, int circuit);
bool WriteAlm_User(Link& link, const ParameterImage& image, int circuit);
bool ReadAus_User(Link& link, ParameterImage& image, int output);
bool WriteAus_User(Link& link, const ParameterImage& image, int output);
// FlowKorr_1 (circuit 0) and FlowKorr_2 (circuit 1).
bool ReadFlowKorr(Link& link, ParameterImage& image, int circuit);
bool WriteFlowKorr(Link& link, const ParameterImage& image, int circuit);
bool ReadEG_User(Link& link, ParameterImage& image);
bool WriteEG_User(Link& link, const ParameterImage& image);
bool ReadGrenzwerte(Link& link, ParameterImage& image);
bool WriteGrenzwerte(Link& link, const ParameterImage& image);
bool ReadSystem(Link& link, ParameterImage& image);
bool WriteSystem(Link& link, const ParameterImage& image);
bool ReadBetrieb(Link& link, ParameterImage& image);
bool WriteBetrieb(Link& link, const ParameterImage& image);
// Sets the device's baud-rate byte (Betrieb byte 0) and carries bytes 1..3
// as the device holds them: Betrieb is read first, and nothing is written
// when that read fails. The image's Betrieb is the device's afterwards.
bool WriteDeviceBaudRate(Link& link, ParameterImage& image, int baudIndex);
bool ReadDis_User(Link& link, ParameterImage& image);
bool WriteDis_User(Link& link, const ParameterImage& image);
bool ReadTrend_User(Link& link, ParameterImage& image);
bool WriteTrend_User(Link& link, const ParameterImage& image);
bool ReadUserEinheiten(Link& link, ParameterImage& image, int quantity);
bool WriteUserEinheiten(Link& link, const ParameterImage& image, int quantity);
bool ReadVorgaben(Link& link, ParameterImage& image, int preset);
bool WriteVorgaben(Link& link, const ParameterImage& image, int preset);
bool ReadDisplay(Link& link, ParameterImage& image);
bool WriteDisplay(Link& link, const ParameterImage& image);

// T_User, P_User, Flow_User, Des_User, Med_User of the circuit, EG_User and
// Aus_User 0..3, stopping at the first failure; true when all succeeded.
bool ReadCircuitParameters(Link& link, ParameterImage& image, int circuit);

// Reads every block into the image (both circuits whatever the expansion
// level; EG_User for gas only; UserEinheiten when Dis_User.Einheiten is on).
// Goes on after failures; returns the flag of its last read (Display).
bool ReadAllParameters(Link& link, ParameterImage& image);

// Writes every block present in the device's expansion level, with 100 ms
// waits and 29 progress steps through the link's UiHooks. First reads the
// device's System block: KindMask comes from the device and Kind is reduced
// to it. Sets Betrieb byte 0 to the session's Baudrate, bytes 1..3 as the device has them. Goes on
// after failures.
void WriteAllParameters(Link& link, ParameterImage& image);

// Progress maximum of WriteAllParameters.
inline constexpr int kWriteAllProgressMax = 29;
// The wait after each write of WriteAllParameters.
inline constexpr int kWriteAllWaitMs = 100;

}  // namespace parvion
