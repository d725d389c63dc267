#pragma once
// Parameter block commands: one read and one write command per record of
// the parameter image, the pure codecs between records and device blocks
// that they use, and the bulk operations ReadAllParameters and
// WriteAllParameters.
//
// A read fetches the block (frame 0xB0) and decodes it into the image; a
// failed read leaves its record unchanged, a successful one marks the
// record as this connection's device returned it (image.marks). A write
// encodes the record and stores it in the device (frame 0xA0) — online only
// when the record is so marked, or within WriteAllParameters; otherwise it
// is refused before anything is sent (LinkCause::UnreadRecord). A write that
// fails drops the mark. The single commands do nothing else: no waits, no
// progress, no other records.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "core/link/encoding.h"
#include "core/model/parameter_image.h"
#include "core/model/record_layout.h"

namespace parvion {

class Link;

// Where each parameter block lies in the device's data memory.
namespace block {

struct Place {
    std::uint16_t address;
    std::uint8_t count;
};

// The block size of a record, from its field list.
template <class Rec>
constexpr std::uint8_t Size() {
    return static_cast<std::uint8_t>(layout::Record<Rec>::blockSize);
}

constexpr Place T_User(int circuit) {
    return {static_cast<std::uint16_t>(0x8100 + 32 * circuit), Size<T_UserRec>()};
}
constexpr Place P_User(int circuit) {
    return {static_cast<std::uint16_t>(0x8180 + 32 * circuit), Size<P_UserRec>()};
}
constexpr Place Flow_User(int circuit) {
    return {static_cast<std::uint16_t>(0x8060 + 32 * circuit), Size<Flow_UserRec>()};
}
constexpr Place Des_User(int circuit) {
    return {static_cast<std::uint16_t>(0x81C0 + 32 * circuit), Size<Des_UserRec>()};
}
constexpr Place Med_User(int circuit) {
    return {static_cast<std::uint16_t>(0x82C0 + 32 * circuit), Size<Med_UserRec>()};
}
constexpr Place Bez_User(int circuit) {
    return {static_cast<std::uint16_t>(0x8150 + 16 * circuit), Size<Bez_UserRec>()};
}
constexpr Place Imp_User(int circuit) {
    return {static_cast<std::uint16_t>(0x8140 + 8 * circuit), Size<Imp_UserRec>()};
}
constexpr Place Alm_User(int circuit) {
    return {static_cast<std::uint16_t>(0x8040 + 16 * circuit), Size<Alm_UserRec>()};
}
constexpr Place Aus_User(int output) {
    return {static_cast<std::uint16_t>(0x8000 + 16 * output), Size<Aus_UserRec>()};
}
constexpr Place FlowKorr(int circuit) {
    return {static_cast<std::uint16_t>(0x8200 + 32 * circuit), Size<FlowKorrRec>()};
}
constexpr Place UserEinheiten(int quantity) {
    return {static_cast<std::uint16_t>(0x9000 + 16 * quantity), Size<UserEinheitRec>()};
}
constexpr Place Vorgaben(int preset) {
    return {static_cast<std::uint16_t>(0x9120 + 4 * preset), 4};
}
inline constexpr Place EG_User{0x80F0, Size<EG_UserRec>()};
inline constexpr Place Grenzwerte{0x80C0, Size<GrenzwerteRec>()};
inline constexpr Place System{0x80A0, Size<SystemRec>()};
inline constexpr Place Betrieb{0x80EC, Size<BetriebRec>()};
inline constexpr Place Dis_User{0x817C, Size<Dis_UserRec>()};
inline constexpr Place Trend_User{0x8178, Size<Trend_UserRec>()};
inline constexpr Place Display{0x9140, Size<DisplayRec>()};

// Where a block lies, by its id; a count of 0 for an index out of range.
Place Of(BlockId id);

}  // namespace block

// Record <-> block bytes, by the record's field list (model/record_layout.h).
// encode gives exactly the block's bytes: each field at its offset in its
// line encoding, bytes no field holds as zeros (System bytes 5..7), the
// unit text of UserEinheiten as five characters right-aligned with blanks.
// decode needs at least that many bytes and returns false (record
// unchanged) otherwise; it clears the fields the block does not hold
// (System.Dummy3 and Dummy4).
namespace codec {

template <class Rec>
requires layout::HasRecord<Rec> wire::Bytes Encode(const Rec& r);
template <class Rec>
requires layout::HasRecord<Rec>
bool Decode(std::span<const std::uint8_t> b, Rec& r);

// A block of the image by its id, as the write and read commands carry it:
// EncodeBlock gives the block's bytes (empty for an index out of range),
// DecodeBlock takes them into the image (false: too short, or an index out
// of range; nothing changed).
wire::Bytes EncodeBlock(const ParameterImage& image, BlockId id);
bool DecodeBlock(std::span<const std::uint8_t> b, ParameterImage& image, BlockId id);

// A preset is a block of its own holding one float.
wire::Bytes EncodeVorgabe(float value);
bool DecodeVorgabe(std::span<const std::uint8_t> b, float& value);

namespace detail {

// One value at its place in a block, in its line encoding.
void Put(wire::Bytes& b, std::size_t at, std::uint8_t v);
void Put(wire::Bytes& b, std::size_t at, std::uint16_t v);
void Put(wire::Bytes& b, std::size_t at, std::int32_t v);
void Put(wire::Bytes& b, std::size_t at, float v);
void Put(wire::Bytes& b, std::size_t at, const std::string& v);
void Get(std::span<const std::uint8_t> b, std::size_t at, std::uint8_t& v);
void Get(std::span<const std::uint8_t> b, std::size_t at, std::uint16_t& v);
void Get(std::span<const std::uint8_t> b, std::size_t at, std::int32_t& v);
void Get(std::span<const std::uint8_t> b, std::size_t at, float& v);
void Get(std::span<const std::uint8_t> b, std::size_t at, std::string& v);

// Where element i of a field lies in the block.
template <class T>
std::size_t At(int offset, std::size_t element) {
    return static_cast<std::size_t>(offset) + element * layout::WireSize<T>();
}

}  // namespace detail

template <class Rec>
requires layout::HasRecord<Rec> wire::Bytes Encode(const Rec& r) {
    wire::Bytes b(layout::Record<Rec>::blockSize, 0);
    for (const auto& f : layout::Record<Rec>::fields) {
        if (f.offset == layout::kNoBlock) continue;
        layout::ForEachValue(f, r, [&](const auto& v, std::size_t i) {
            detail::Put(b, detail::At<std::remove_cvref_t<decltype(v)>>(f.offset, i), v);
        });
    }
    return b;
}

template <class Rec>
requires layout::HasRecord<Rec>
bool Decode(std::span<const std::uint8_t> b, Rec& r) {
    if (b.size() < layout::Record<Rec>::blockSize) return false;
    for (const auto& f : layout::Record<Rec>::fields) {
        layout::ForEachValue(f, r, [&](auto& v, std::size_t i) {
            using T = std::remove_cvref_t<decltype(v)>;
            if (f.offset == layout::kNoBlock) {
                v = T{};  // no place in the block
            } else {
                detail::Get(b, detail::At<T>(f.offset, i), v);
            }
        });
    }
    return true;
}

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
// Over a line that cannot follow a rate change (a raw network port) nothing
// is written, and the result tells whether the device already has the rate.
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

// One record by its block id: the command of its kind with its index.
bool ReadRecord(Link& link, ParameterImage& image, BlockId id);
bool WriteRecord(Link& link, const ParameterImage& image, BlockId id);

// Before an edit changes records that it will write: reads from the device
// each of them that the image does not hold from this connection, so that
// the write carries the device's own values beside the edited fields.
// Offline nothing is read (the edit changes the image alone). False when a
// read failed: then nothing may be written, and the link says why.
bool ReadUnread(Link& link, ParameterImage& image, std::initializer_list<BlockId> ids);

// T_User, P_User, Flow_User, Des_User, Med_User of the circuit, EG_User and
// Aus_User 0..3, stopping at the first failure; true when all succeeded.
bool ReadCircuitParameters(Link& link, ParameterImage& image, int circuit);

// Reads every block into the image (both circuits whatever the expansion
// level; EG_User for gas only; UserEinheiten when Dis_User.Einheiten is on).
// Goes on after failures while the device answers, and ends at once when
// the line has gone (Link::BulkOperation); returns the flag of its last
// read (Display), false when it ended early.
bool ReadAllParameters(Link& link, ParameterImage& image);

// Writes every block present in the device's expansion level, with 100 ms
// waits and 29 progress steps through the link's UiHooks. First reads the
// device's System block: KindMask comes from the device and Kind is reduced
// to it. Sets Betrieb byte 0 to the session's Baudrate, bytes 1..3 as the
// device has them. Each record goes out as the image holds it: this is the
// one write of records the device did not return, a whole set the user
// asked for. Goes on after failures while the device answers, and ends at
// once when the line has gone.
// `written`, when given, gets the parameter file section of each block the
// device accepted ("T_User1", "Aus_User3", "System"; the baud rate as
// "Betrieb"), in writing order.
void WriteAllParameters(Link& link, ParameterImage& image,
                        std::vector<std::string>* written = nullptr);

// Progress maximum of WriteAllParameters.
inline constexpr int kWriteAllProgressMax = 29;
// The wait after each write of WriteAllParameters.
inline constexpr int kWriteAllWaitMs = 100;

}  // namespace parvion
