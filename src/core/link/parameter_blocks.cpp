#include "core/link/parameter_blocks.h"

#include <algorithm>
#include <vector>

#include "core/link/record_watch.h"
#include "core/link/transport.h"
#include "core/model/variant.h"

namespace parvion {

namespace codec {

wire::Bytes EncodeVorgabe(float value) {
    wire::Bytes b;
    wire::AppendFloat(b, value);
    return b;
}

bool DecodeVorgabe(std::span<const std::uint8_t> b, float& value) {
    if (b.size() < 4) return false;
    value = wire::GetFloat(b, 0);
    return true;
}

namespace detail {

void Put(wire::Bytes& b, std::size_t at, std::uint8_t v) {
    b[at] = v;
}
void Put(wire::Bytes& b, std::size_t at, std::uint16_t v) {
    wire::PutWord(b, at, v);
}
void Put(wire::Bytes& b, std::size_t at, std::int32_t v) {
    wire::PutLong(b, at, static_cast<std::uint32_t>(v));
}
void Put(wire::Bytes& b, std::size_t at, float v) {
    wire::PutFloat(b, at, v);
}
void Put(wire::Bytes& b, std::size_t at, const std::string& v) {
    // The device text is five characters, right-aligned with blanks.
    const std::size_t n = std::min(v.size(), layout::kDeviceTextLength);
    const std::size_t pad = layout::kDeviceTextLength - n;
    std::fill_n(b.begin() + static_cast<std::ptrdiff_t>(at), pad, ' ');
    std::copy_n(v.begin(), n, b.begin() + static_cast<std::ptrdiff_t>(at + pad));
}

void Get(std::span<const std::uint8_t> b, std::size_t at, std::uint8_t& v) {
    v = b[at];
}
void Get(std::span<const std::uint8_t> b, std::size_t at, std::uint16_t& v) {
    v = wire::GetWord(b, at);
}
void Get(std::span<const std::uint8_t> b, std::size_t at, std::int32_t& v) {
    v = static_cast<std::int32_t>(wire::GetLong(b, at));
}
void Get(std::span<const std::uint8_t> b, std::size_t at, float& v) {
    v = wire::GetFloat(b, at);
}
void Get(std::span<const std::uint8_t> b, std::size_t at, std::string& v) {
    v.assign(b.begin() + static_cast<std::ptrdiff_t>(at),
             b.begin() + static_cast<std::ptrdiff_t>(at + layout::kDeviceTextLength));
}

}  // namespace detail

}  // namespace codec

namespace {

// Calls fn with the place and the record of a block, or with the place and
// the preset's float; false for an index out of range.
template <class Image, class Fn>
bool WithBlock(Image& image, BlockId id, Fn&& fn) {
    if (BlockSlot(id) < 0) return false;
    const int i = id.index;
    const auto u = static_cast<std::size_t>(i);
    switch (id.kind) {
        case BlockKind::T_User:
            return fn(block::T_User(i), image.T_User[u]);
        case BlockKind::P_User:
            return fn(block::P_User(i), image.P_User[u]);
        case BlockKind::Flow_User:
            return fn(block::Flow_User(i), image.Flow_User[u]);
        case BlockKind::Des_User:
            return fn(block::Des_User(i), image.Des_User[u]);
        case BlockKind::Med_User:
            return fn(block::Med_User(i), image.Med_User[u]);
        case BlockKind::Bez_User:
            return fn(block::Bez_User(i), image.Bez_User[u]);
        case BlockKind::Imp_User:
            return fn(block::Imp_User(i), image.Imp_User[u]);
        case BlockKind::Alm_User:
            return fn(block::Alm_User(i), image.Alm_User[u]);
        case BlockKind::FlowKorr:
            return fn(block::FlowKorr(i), image.FlowKorr[u]);
        case BlockKind::Aus_User:
            return fn(block::Aus_User(i), image.Aus_User[u]);
        case BlockKind::UserEinheiten:
            return fn(block::UserEinheiten(i), image.UserEinheiten[u]);
        case BlockKind::Vorgaben:
            return fn(block::Vorgaben(i), image.Vorgaben[u]);
        case BlockKind::EG_User:
            return fn(block::EG_User, image.EG_User);
        case BlockKind::Dis_User:
            return fn(block::Dis_User, image.Dis_User);
        case BlockKind::Trend_User:
            return fn(block::Trend_User, image.Trend_User);
        case BlockKind::Grenzwerte:
            return fn(block::Grenzwerte, image.Grenzwerte);
        case BlockKind::System:
            return fn(block::System, image.System);
        case BlockKind::Display:
            return fn(block::Display, image.Display);
        case BlockKind::Betrieb:
            return fn(block::Betrieb, image.Betrieb);
    }
    return false;
}

bool inRange(int index, int count) {
    return index >= 0 && index < count;
}

// Element of a record array by an index checked with inRange.
template <typename Array>
auto& at(Array& records, int index) {
    return records[static_cast<std::size_t>(index)];
}

// Reads the block and decodes it into the record; the record stays as it
// was when either fails.
template <typename Rec>
bool readRecord(Link& link, ParameterImage& image, BlockId id, block::Place place, Rec& record) {
    std::vector<std::uint8_t> data;
    if (!link.readBlock(cmd::Read, place.address, place.count, data)) return false;
    Rec decoded = record;
    if (!codec::Decode(data, decoded)) {
        link.noteRefusedReply();
        return false;
    }
    record = decoded;
    image.marks.markRead(id, link.connection());
    if (RecordWatch* watch = link.recordWatch()) watch->recordRead(link, id, data);
    return true;
}

// A record goes out only as this connection's device returned it (plus
// what an edit changed since), or as part of a whole parameter set the user
// asked to write. A write that fails leaves the device's record unknown.
bool mayWrite(Link& link, const ParameterImage& image, BlockId id) {
    if (!link.session().Online || image.marks.wholeSet() ||
        image.marks.holds(id, link.connection())) {
        return true;
    }
    link.noteUnreadRecord();
    return false;
}

template <typename Rec>
bool writeRecord(Link& link, const ParameterImage& image, BlockId id, block::Place place,
                 const Rec& record) {
    if (!mayWrite(link, image, id)) return false;
    const wire::Bytes data = codec::Encode(record);
    const bool ok = link.writeBlock(place.address, data);
    if (!ok) image.marks.forget(id);
    if (RecordWatch* watch = link.recordWatch()) watch->recordWritten(link, id, data, ok);
    return ok;
}

}  // namespace

block::Place block::Of(BlockId id) {
    Place place{0, 0};
    const ParameterImage none;
    WithBlock(none, id, [&](Place p, const auto&) {
        place = p;
        return true;
    });
    return place;
}

wire::Bytes codec::EncodeBlock(const ParameterImage& image, BlockId id) {
    wire::Bytes out;
    WithBlock(image, id, [&](block::Place, const auto& record) {
        if constexpr (std::is_same_v<std::remove_cvref_t<decltype(record)>, float>) {
            out = EncodeVorgabe(record);
        } else {
            out = Encode(record);
        }
        return true;
    });
    return out;
}

bool codec::DecodeBlock(std::span<const std::uint8_t> b, ParameterImage& image, BlockId id) {
    return WithBlock(image, id, [&](block::Place, auto& record) {
        if constexpr (std::is_same_v<std::remove_cvref_t<decltype(record)>, float>) {
            return DecodeVorgabe(b, record);
        } else {
            return Decode(b, record);
        }
    });
}

bool ReadT_User(Link& link, ParameterImage& image, int circuit) {
    return inRange(circuit, 2) && readRecord(link, image, {BlockKind::T_User, circuit},
                                             block::T_User(circuit), at(image.T_User, circuit));
}
bool WriteT_User(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) && writeRecord(link, image, {BlockKind::T_User, circuit},
                                              block::T_User(circuit), at(image.T_User, circuit));
}

bool ReadP_User(Link& link, ParameterImage& image, int circuit) {
    return inRange(circuit, 2) && readRecord(link, image, {BlockKind::P_User, circuit},
                                             block::P_User(circuit), at(image.P_User, circuit));
}
bool WriteP_User(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) && writeRecord(link, image, {BlockKind::P_User, circuit},
                                              block::P_User(circuit), at(image.P_User, circuit));
}

bool ReadFlow_User(Link& link, ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           readRecord(link, image, {BlockKind::Flow_User, circuit}, block::Flow_User(circuit),
                      at(image.Flow_User, circuit));
}
bool WriteFlow_User(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           writeRecord(link, image, {BlockKind::Flow_User, circuit}, block::Flow_User(circuit),
                       at(image.Flow_User, circuit));
}

bool ReadDes_User(Link& link, ParameterImage& image, int circuit) {
    return inRange(circuit, 2) && readRecord(link, image, {BlockKind::Des_User, circuit},
                                             block::Des_User(circuit), at(image.Des_User, circuit));
}
bool WriteDes_User(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           writeRecord(link, image, {BlockKind::Des_User, circuit}, block::Des_User(circuit),
                       at(image.Des_User, circuit));
}

bool ReadMed_User(Link& link, ParameterImage& image, int circuit) {
    if (!inRange(circuit, 2)) return false;
    // The reply must echo the request's header, so that a reply that belongs
    // to another block never lands in the medium record.
    const block::Place place = block::Med_User(circuit);
    const std::vector<std::uint8_t> request = {
        cmd::Read, static_cast<std::uint8_t>(place.address >> 8),
        static_cast<std::uint8_t>(place.address & 0xFF), place.count};
    std::vector<std::uint8_t> frame = request;
    if (!link.Transaction(frame, kFrameCapacity, 4u + place.count)) return false;
    if (frame.size() < 4u + place.count ||
        !std::equal(request.begin(), request.end(), frame.begin()) ||
        !codec::Decode(std::span(frame).subspan(4, place.count), at(image.Med_User, circuit))) {
        link.noteRefusedReply();
        return false;
    }
    image.marks.markRead({BlockKind::Med_User, circuit}, link.connection());
    if (RecordWatch* watch = link.recordWatch()) {
        watch->recordRead(link, {BlockKind::Med_User, circuit},
                          std::span(frame).subspan(4, place.count));
    }
    return true;
}
bool WriteMed_User(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           writeRecord(link, image, {BlockKind::Med_User, circuit}, block::Med_User(circuit),
                       at(image.Med_User, circuit));
}

bool ReadBez_User(Link& link, ParameterImage& image, int circuit) {
    return inRange(circuit, 2) && readRecord(link, image, {BlockKind::Bez_User, circuit},
                                             block::Bez_User(circuit), at(image.Bez_User, circuit));
}
bool WriteBez_User(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           writeRecord(link, image, {BlockKind::Bez_User, circuit}, block::Bez_User(circuit),
                       at(image.Bez_User, circuit));
}

bool ReadImp_User(Link& link, ParameterImage& image, int circuit) {
    return inRange(circuit, 2) && readRecord(link, image, {BlockKind::Imp_User, circuit},
                                             block::Imp_User(circuit), at(image.Imp_User, circuit));
}
bool WriteImp_User(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           writeRecord(link, image, {BlockKind::Imp_User, circuit}, block::Imp_User(circuit),
                       at(image.Imp_User, circuit));
}

bool ReadAlm_User(Link& link, ParameterImage& image, int circuit) {
    return inRange(circuit, 2) && readRecord(link, image, {BlockKind::Alm_User, circuit},
                                             block::Alm_User(circuit), at(image.Alm_User, circuit));
}
bool WriteAlm_User(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           writeRecord(link, image, {BlockKind::Alm_User, circuit}, block::Alm_User(circuit),
                       at(image.Alm_User, circuit));
}

bool ReadAus_User(Link& link, ParameterImage& image, int output) {
    return inRange(output, 4) && readRecord(link, image, {BlockKind::Aus_User, output},
                                            block::Aus_User(output), at(image.Aus_User, output));
}
bool WriteAus_User(Link& link, const ParameterImage& image, int output) {
    return inRange(output, 4) && writeRecord(link, image, {BlockKind::Aus_User, output},
                                             block::Aus_User(output), at(image.Aus_User, output));
}

bool ReadFlowKorr(Link& link, ParameterImage& image, int circuit) {
    return inRange(circuit, 2) && readRecord(link, image, {BlockKind::FlowKorr, circuit},
                                             block::FlowKorr(circuit), at(image.FlowKorr, circuit));
}
bool WriteFlowKorr(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           writeRecord(link, image, {BlockKind::FlowKorr, circuit}, block::FlowKorr(circuit),
                       at(image.FlowKorr, circuit));
}

bool ReadEG_User(Link& link, ParameterImage& image) {
    return readRecord(link, image, {BlockKind::EG_User}, block::EG_User, image.EG_User);
}
bool WriteEG_User(Link& link, const ParameterImage& image) {
    return writeRecord(link, image, {BlockKind::EG_User}, block::EG_User, image.EG_User);
}

bool ReadGrenzwerte(Link& link, ParameterImage& image) {
    return readRecord(link, image, {BlockKind::Grenzwerte}, block::Grenzwerte, image.Grenzwerte);
}
bool WriteGrenzwerte(Link& link, const ParameterImage& image) {
    return writeRecord(link, image, {BlockKind::Grenzwerte}, block::Grenzwerte, image.Grenzwerte);
}

bool ReadSystem(Link& link, ParameterImage& image) {
    return readRecord(link, image, {BlockKind::System}, block::System, image.System);
}
bool WriteSystem(Link& link, const ParameterImage& image) {
    return writeRecord(link, image, {BlockKind::System}, block::System, image.System);
}

bool ReadBetrieb(Link& link, ParameterImage& image) {
    return readRecord(link, image, {BlockKind::Betrieb}, block::Betrieb, image.Betrieb);
}
bool WriteBetrieb(Link& link, const ParameterImage& image) {
    return writeRecord(link, image, {BlockKind::Betrieb}, block::Betrieb, image.Betrieb);
}

bool WriteDeviceBaudRate(Link& link, ParameterImage& image, int baudIndex) {
    if (!ReadBetrieb(link, image)) return false;
    // Behind a raw network port the server's rate is fixed: a device that
    // switched would be lost. It keeps its rate; another one is refused.
    if (!link.line().followsBaudRate()) return image.Betrieb.Bytes[0] == baudIndex;
    image.Betrieb.Bytes[0] = static_cast<std::uint8_t>(baudIndex);
    return WriteBetrieb(link, image);
}

bool ReadDis_User(Link& link, ParameterImage& image) {
    return readRecord(link, image, {BlockKind::Dis_User}, block::Dis_User, image.Dis_User);
}
bool WriteDis_User(Link& link, const ParameterImage& image) {
    return writeRecord(link, image, {BlockKind::Dis_User}, block::Dis_User, image.Dis_User);
}

bool ReadTrend_User(Link& link, ParameterImage& image) {
    return readRecord(link, image, {BlockKind::Trend_User}, block::Trend_User, image.Trend_User);
}
bool WriteTrend_User(Link& link, const ParameterImage& image) {
    return writeRecord(link, image, {BlockKind::Trend_User}, block::Trend_User, image.Trend_User);
}

bool ReadUserEinheiten(Link& link, ParameterImage& image, int quantity) {
    return inRange(quantity, 16) &&
           readRecord(link, image, {BlockKind::UserEinheiten, quantity},
                      block::UserEinheiten(quantity), at(image.UserEinheiten, quantity));
}
bool WriteUserEinheiten(Link& link, const ParameterImage& image, int quantity) {
    return inRange(quantity, 16) &&
           writeRecord(link, image, {BlockKind::UserEinheiten, quantity},
                       block::UserEinheiten(quantity), at(image.UserEinheiten, quantity));
}

bool ReadVorgaben(Link& link, ParameterImage& image, int preset) {
    if (!inRange(preset, 8)) return false;
    const block::Place place = block::Vorgaben(preset);
    std::vector<std::uint8_t> data;
    if (!link.readBlock(cmd::Read, place.address, place.count, data)) return false;
    if (!codec::DecodeVorgabe(data, at(image.Vorgaben, preset))) return false;
    image.marks.markRead({BlockKind::Vorgaben, preset}, link.connection());
    if (RecordWatch* watch = link.recordWatch()) {
        watch->recordRead(link, {BlockKind::Vorgaben, preset}, data);
    }
    return true;
}
bool WriteVorgaben(Link& link, const ParameterImage& image, int preset) {
    if (!inRange(preset, 8)) return false;
    const BlockId id{BlockKind::Vorgaben, preset};
    if (!mayWrite(link, image, id)) return false;
    const wire::Bytes data = codec::EncodeVorgabe(at(image.Vorgaben, preset));
    const bool ok = link.writeBlock(block::Vorgaben(preset).address, data);
    if (!ok) image.marks.forget(id);
    if (RecordWatch* watch = link.recordWatch()) watch->recordWritten(link, id, data, ok);
    return ok;
}

bool ReadDisplay(Link& link, ParameterImage& image) {
    return readRecord(link, image, {BlockKind::Display}, block::Display, image.Display);
}
bool WriteDisplay(Link& link, const ParameterImage& image) {
    return writeRecord(link, image, {BlockKind::Display}, block::Display, image.Display);
}

bool ReadRecord(Link& link, ParameterImage& image, BlockId id) {
    const int i = id.index;
    switch (id.kind) {
        case BlockKind::T_User:
            return ReadT_User(link, image, i);
        case BlockKind::P_User:
            return ReadP_User(link, image, i);
        case BlockKind::Flow_User:
            return ReadFlow_User(link, image, i);
        case BlockKind::Des_User:
            return ReadDes_User(link, image, i);
        case BlockKind::Med_User:
            return ReadMed_User(link, image, i);
        case BlockKind::Bez_User:
            return ReadBez_User(link, image, i);
        case BlockKind::Imp_User:
            return ReadImp_User(link, image, i);
        case BlockKind::Alm_User:
            return ReadAlm_User(link, image, i);
        case BlockKind::FlowKorr:
            return ReadFlowKorr(link, image, i);
        case BlockKind::Aus_User:
            return ReadAus_User(link, image, i);
        case BlockKind::UserEinheiten:
            return ReadUserEinheiten(link, image, i);
        case BlockKind::Vorgaben:
            return ReadVorgaben(link, image, i);
        case BlockKind::EG_User:
            return ReadEG_User(link, image);
        case BlockKind::Dis_User:
            return ReadDis_User(link, image);
        case BlockKind::Trend_User:
            return ReadTrend_User(link, image);
        case BlockKind::Grenzwerte:
            return ReadGrenzwerte(link, image);
        case BlockKind::System:
            return ReadSystem(link, image);
        case BlockKind::Display:
            return ReadDisplay(link, image);
        case BlockKind::Betrieb:
            return ReadBetrieb(link, image);
    }
    return false;
}

bool WriteRecord(Link& link, const ParameterImage& image, BlockId id) {
    const int i = id.index;
    switch (id.kind) {
        case BlockKind::T_User:
            return WriteT_User(link, image, i);
        case BlockKind::P_User:
            return WriteP_User(link, image, i);
        case BlockKind::Flow_User:
            return WriteFlow_User(link, image, i);
        case BlockKind::Des_User:
            return WriteDes_User(link, image, i);
        case BlockKind::Med_User:
            return WriteMed_User(link, image, i);
        case BlockKind::Bez_User:
            return WriteBez_User(link, image, i);
        case BlockKind::Imp_User:
            return WriteImp_User(link, image, i);
        case BlockKind::Alm_User:
            return WriteAlm_User(link, image, i);
        case BlockKind::FlowKorr:
            return WriteFlowKorr(link, image, i);
        case BlockKind::Aus_User:
            return WriteAus_User(link, image, i);
        case BlockKind::UserEinheiten:
            return WriteUserEinheiten(link, image, i);
        case BlockKind::Vorgaben:
            return WriteVorgaben(link, image, i);
        case BlockKind::EG_User:
            return WriteEG_User(link, image);
        case BlockKind::Dis_User:
            return WriteDis_User(link, image);
        case BlockKind::Trend_User:
            return WriteTrend_User(link, image);
        case BlockKind::Grenzwerte:
            return WriteGrenzwerte(link, image);
        case BlockKind::System:
            return WriteSystem(link, image);
        case BlockKind::Display:
            return WriteDisplay(link, image);
        case BlockKind::Betrieb:
            return WriteBetrieb(link, image);
    }
    return false;
}

bool ReadUnread(Link& link, ParameterImage& image, std::initializer_list<BlockId> ids) {
    if (!link.session().Online) return true;
    for (const BlockId id : ids) {
        if (image.marks.holds(id, link.connection())) continue;
        if (!ReadRecord(link, image, id)) return false;
    }
    return true;
}

bool ReadCircuitParameters(Link& link, ParameterImage& image, int circuit) {
    return ReadT_User(link, image, circuit) && ReadP_User(link, image, circuit) &&
           ReadFlow_User(link, image, circuit) && ReadDes_User(link, image, circuit) &&
           ReadMed_User(link, image, circuit) && ReadEG_User(link, image) &&
           ReadAus_User(link, image, 0) && ReadAus_User(link, image, 1) &&
           ReadAus_User(link, image, 2) && ReadAus_User(link, image, 3);
}

namespace {

bool ReadEveryBlock(Link& link, ParameterImage& image) {
    Link::BulkOperation bulk(link);
    // Each read in the device's order; the first that finds the line gone
    // ends the operation.
    bool last = false;
    auto read = [&](auto command, auto... index) {
        if (link.lineGone()) return false;
        last = command(link, image, index...);
        return true;
    };
    for (int i = 0; i < 2; ++i) {
        read(ReadT_User, i);
        read(ReadP_User, i);
        read(ReadFlow_User, i);
        read(ReadBez_User, i);
        read(ReadDes_User, i);
        read(ReadMed_User, i);
        read(ReadImp_User, i);
        read(ReadAlm_User, i);
        read(ReadFlowKorr, i);
    }
    for (int k = 0; k < 4; ++k) read(ReadAus_User, k);
    read(ReadBetrieb);
    if (VariantOf(link.session().Medium).gasCalculation) read(ReadEG_User);
    read(ReadGrenzwerte);
    read(ReadDis_User);
    if (image.Dis_User.Einheiten != 0) {
        for (int q = 0; q < 16; ++q) read(ReadUserEinheiten, q);
    }
    read(ReadTrend_User);
    read(ReadSystem);
    for (int k = 0; k < 8; ++k) read(ReadVorgaben, k);
    if (!read(ReadDisplay)) return false;
    return last;
}

}  // namespace

bool ReadAllParameters(Link& link, ParameterImage& image) {
    const int failedBefore = link.failedTransactions();
    const bool last = ReadEveryBlock(link, image);
    // A set read whole is a snapshot for the device history.
    RecordWatch* watch = link.recordWatch();
    if (watch != nullptr && link.session().Online && link.failedTransactions() == failedBefore) {
        watch->setRead(link, image);
    }
    return last;
}

// Lets the write commands send the image's records as they are while a
// whole parameter set is written.
class WholeSetWrite {
  public:
    explicit WholeSetWrite(const ParameterImage& image) : image_(image) {
        image_.marks.setWholeSet(true);
    }
    ~WholeSetWrite() { image_.marks.setWholeSet(false); }
    WholeSetWrite(const WholeSetWrite&) = delete;
    WholeSetWrite& operator=(const WholeSetWrite&) = delete;

  private:
    const ParameterImage& image_;
};

void WriteAllParameters(Link& link, ParameterImage& image, std::vector<std::string>* written) {
    UiHooks& ui = link.ui();
    const Session& session = link.session();
    Link::BulkOperation bulk(link);
    // Waits and steps stop with the line: a device that has gone is not
    // waited for block after block.
    auto wait = [&] {
        if (!link.lineGone()) ui.waitMs(kWriteAllWaitMs);
    };
    auto step = [&ui] { ui.progressStep(); };
    auto gone = [&link] { return link.lineGone(); };
    // The blocks the device accepted, by their parameter file sections.
    auto note = [written](bool ok, std::string_view section, int number) {
        if (!ok || written == nullptr) return;
        written->push_back(number > 0 ? std::string(section) + std::to_string(number)
                                      : std::string(section));
    };

    ui.busyCursor(true);
    ui.progressStart(kWriteAllProgressMax);
    [&] {
        // The device decides which system kinds it allows.
        const SystemRec local = image.System;
        ReadSystem(link, image);
        const std::uint8_t deviceMask = image.System.KindMask;
        image.System = local;
        image.System.KindMask = deviceMask;
        image.System.Kind = static_cast<std::uint8_t>(local.Kind & deviceMask);
        step();
        wait();

        const WholeSetWrite whole(image);
        const bool circuit2 = image.circuit2Present();
        for (int i = 0; i < 2; ++i) {
            const bool present = i == 0 || circuit2;
            auto write = [&](bool (*command)(Link&, const ParameterImage&, int),
                             std::string_view section) {
                if (!present || gone()) return;
                note(command(link, image, i), section, i + 1);
                wait();
            };
            write(WriteT_User, "T_User");
            step();
            write(WriteP_User, "P_User");
            step();
            write(WriteFlow_User, "Flow_User");
            step();
            write(WriteBez_User, "Bez_User");
            write(WriteDes_User, "Des_User");
            step();
            write(WriteMed_User, "Med_User");
            step();
            write(WriteImp_User, "Imp_User");
            step();
            if (gone()) return;
            // Alarm relays exist in every level.
            note(WriteAlm_User(link, image, i), "Alm_User", i + 1);
            wait();
            step();
        }

        for (int k = 0; k < 4; ++k) {
            if (gone()) return;
            if (k == 0 || circuit2) note(WriteAus_User(link, image, k), "Aus_User", k + 1);
            wait();
            step();
        }

        if (gone()) return;
        if (VariantOf(session.Medium).gasCalculation) {
            note(WriteEG_User(link, image), "EG_User", 0);
            wait();
        }

        if (gone()) return;
        note(WriteDis_User(link, image), "Dis_User", 0);
        step();
        wait();

        if (image.Dis_User.Einheiten != 0) {
            for (int q = 0; q < 16; ++q) {
                if (gone()) return;
                note(WriteUserEinheiten(link, image, q), "UserEinheiten", q + 1);
                wait();
            }
        }

        if (gone()) return;
        if (image.trendPresent()) {
            note(WriteTrend_User(link, image), "Trend_User", 0);
            wait();
        }
        step();

        for (int i = 0; i < 2; ++i) {
            if (gone()) return;
            if (i == 0 || circuit2) note(WriteFlowKorr(link, image, i), "FlowKorr_", i + 1);
            wait();
            step();
        }

        if (gone()) return;
        note(WriteGrenzwerte(link, image), "Grenzwerte", 0);
        wait();
        step();

        // The device takes over the program's baud-rate choice.
        if (gone()) return;
        note(WriteDeviceBaudRate(link, image, session.Baudrate), "Betrieb", 0);
        wait();
        step();

        if (gone()) return;
        note(WriteSystem(link, image), "System", 0);
        wait();
        step();

        for (int k = 0; k < 8; ++k) {
            if (gone()) return;
            note(WriteVorgaben(link, image, k), "Vorgaben", k + 1);
        }
        wait();
        step();

        if (gone()) return;
        note(WriteDisplay(link, image), "Display", 0);
        wait();
        step();

        wait();
    }();
    ui.progressHide();
    ui.busyCursor(false);
}

}  // namespace parvion
