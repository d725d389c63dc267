#include "core/link/parameter_blocks.h"

#include <algorithm>
#include <vector>

#include "core/link/transport.h"

namespace parvion {

namespace codec {

wire::Bytes encodeVorgabe(float value) {
    wire::Bytes b;
    wire::appendFloat(b, value);
    return b;
}

bool decodeVorgabe(std::span<const std::uint8_t> b, float& value) {
    if (b.size() < 4) return false;
    value = wire::getFloat(b, 0);
    return true;
}

namespace detail {

void Put(wire::Bytes& b, std::size_t at, std::uint8_t v) {
    b[at] = v;
}
void Put(wire::Bytes& b, std::size_t at, std::uint16_t v) {
    wire::putWord(b, at, v);
}
void Put(wire::Bytes& b, std::size_t at, std::int32_t v) {
    wire::putLong(b, at, static_cast<std::uint32_t>(v));
}
void Put(wire::Bytes& b, std::size_t at, float v) {
    wire::putFloat(b, at, v);
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
    v = wire::getWord(b, at);
}
void Get(std::span<const std::uint8_t> b, std::size_t at, std::int32_t& v) {
    v = static_cast<std::int32_t>(wire::getLong(b, at));
}
void Get(std::span<const std::uint8_t> b, std::size_t at, float& v) {
    v = wire::getFloat(b, at);
}
void Get(std::span<const std::uint8_t> b, std::size_t at, std::string& v) {
    v.assign(b.begin() + static_cast<std::ptrdiff_t>(at),
             b.begin() + static_cast<std::ptrdiff_t>(at + layout::kDeviceTextLength));
}

}  // namespace detail

}  // namespace codec

namespace {

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
bool readRecord(Link& link, block::Place place, Rec& record) {
    std::vector<std::uint8_t> data;
    if (!link.ReadBlock(cmd::Read, place.address, place.count, data)) return false;
    Rec decoded = record;
    if (!codec::decode(data, decoded)) {
        link.noteRefusedReply();
        return false;
    }
    record = decoded;
    return true;
}

template <typename Rec>
bool writeRecord(Link& link, block::Place place, const Rec& record) {
    const wire::Bytes data = codec::encode(record);
    return link.WriteBlock(place.address, data);
}

}  // namespace

bool ReadT_User(Link& link, ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           readRecord(link, block::T_User(circuit), at(image.T_User, circuit));
}
bool WriteT_User(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           writeRecord(link, block::T_User(circuit), at(image.T_User, circuit));
}

bool ReadP_User(Link& link, ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           readRecord(link, block::P_User(circuit), at(image.P_User, circuit));
}
bool WriteP_User(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           writeRecord(link, block::P_User(circuit), at(image.P_User, circuit));
}

bool ReadFlow_User(Link& link, ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           readRecord(link, block::Flow_User(circuit), at(image.Flow_User, circuit));
}
bool WriteFlow_User(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           writeRecord(link, block::Flow_User(circuit), at(image.Flow_User, circuit));
}

bool ReadDes_User(Link& link, ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           readRecord(link, block::Des_User(circuit), at(image.Des_User, circuit));
}
bool WriteDes_User(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           writeRecord(link, block::Des_User(circuit), at(image.Des_User, circuit));
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
        !codec::decode(std::span(frame).subspan(4, place.count), at(image.Med_User, circuit))) {
        link.noteRefusedReply();
        return false;
    }
    return true;
}
bool WriteMed_User(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           writeRecord(link, block::Med_User(circuit), at(image.Med_User, circuit));
}

bool ReadBez_User(Link& link, ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           readRecord(link, block::Bez_User(circuit), at(image.Bez_User, circuit));
}
bool WriteBez_User(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           writeRecord(link, block::Bez_User(circuit), at(image.Bez_User, circuit));
}

bool ReadImp_User(Link& link, ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           readRecord(link, block::Imp_User(circuit), at(image.Imp_User, circuit));
}
bool WriteImp_User(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           writeRecord(link, block::Imp_User(circuit), at(image.Imp_User, circuit));
}

bool ReadAlm_User(Link& link, ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           readRecord(link, block::Alm_User(circuit), at(image.Alm_User, circuit));
}
bool WriteAlm_User(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           writeRecord(link, block::Alm_User(circuit), at(image.Alm_User, circuit));
}

bool ReadAus_User(Link& link, ParameterImage& image, int output) {
    return inRange(output, 4) &&
           readRecord(link, block::Aus_User(output), at(image.Aus_User, output));
}
bool WriteAus_User(Link& link, const ParameterImage& image, int output) {
    return inRange(output, 4) &&
           writeRecord(link, block::Aus_User(output), at(image.Aus_User, output));
}

bool ReadFlowKorr(Link& link, ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           readRecord(link, block::FlowKorr(circuit), at(image.FlowKorr, circuit));
}
bool WriteFlowKorr(Link& link, const ParameterImage& image, int circuit) {
    return inRange(circuit, 2) &&
           writeRecord(link, block::FlowKorr(circuit), at(image.FlowKorr, circuit));
}

bool ReadEG_User(Link& link, ParameterImage& image) {
    return readRecord(link, block::EG_User, image.EG_User);
}
bool WriteEG_User(Link& link, const ParameterImage& image) {
    return writeRecord(link, block::EG_User, image.EG_User);
}

bool ReadGrenzwerte(Link& link, ParameterImage& image) {
    return readRecord(link, block::Grenzwerte, image.Grenzwerte);
}
bool WriteGrenzwerte(Link& link, const ParameterImage& image) {
    return writeRecord(link, block::Grenzwerte, image.Grenzwerte);
}

bool ReadSystem(Link& link, ParameterImage& image) {
    return readRecord(link, block::System, image.System);
}
bool WriteSystem(Link& link, const ParameterImage& image) {
    return writeRecord(link, block::System, image.System);
}

bool ReadBetrieb(Link& link, ParameterImage& image) {
    return readRecord(link, block::Betrieb, image.Betrieb);
}
bool WriteBetrieb(Link& link, const ParameterImage& image) {
    return writeRecord(link, block::Betrieb, image.Betrieb);
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
    return readRecord(link, block::Dis_User, image.Dis_User);
}
bool WriteDis_User(Link& link, const ParameterImage& image) {
    return writeRecord(link, block::Dis_User, image.Dis_User);
}

bool ReadTrend_User(Link& link, ParameterImage& image) {
    return readRecord(link, block::Trend_User, image.Trend_User);
}
bool WriteTrend_User(Link& link, const ParameterImage& image) {
    return writeRecord(link, block::Trend_User, image.Trend_User);
}

bool ReadUserEinheiten(Link& link, ParameterImage& image, int quantity) {
    return inRange(quantity, 16) &&
           readRecord(link, block::UserEinheiten(quantity), at(image.UserEinheiten, quantity));
}
bool WriteUserEinheiten(Link& link, const ParameterImage& image, int quantity) {
    return inRange(quantity, 16) &&
           writeRecord(link, block::UserEinheiten(quantity), at(image.UserEinheiten, quantity));
}

bool ReadVorgaben(Link& link, ParameterImage& image, int preset) {
    if (!inRange(preset, 8)) return false;
    const block::Place place = block::Vorgaben(preset);
    std::vector<std::uint8_t> data;
    if (!link.ReadBlock(cmd::Read, place.address, place.count, data)) return false;
    return codec::decodeVorgabe(data, at(image.Vorgaben, preset));
}
bool WriteVorgaben(Link& link, const ParameterImage& image, int preset) {
    if (!inRange(preset, 8)) return false;
    const wire::Bytes data = codec::encodeVorgabe(at(image.Vorgaben, preset));
    return link.WriteBlock(block::Vorgaben(preset).address, data);
}

bool ReadDisplay(Link& link, ParameterImage& image) {
    return readRecord(link, block::Display, image.Display);
}
bool WriteDisplay(Link& link, const ParameterImage& image) {
    return writeRecord(link, block::Display, image.Display);
}

bool ReadCircuitParameters(Link& link, ParameterImage& image, int circuit) {
    return ReadT_User(link, image, circuit) && ReadP_User(link, image, circuit) &&
           ReadFlow_User(link, image, circuit) && ReadDes_User(link, image, circuit) &&
           ReadMed_User(link, image, circuit) && ReadEG_User(link, image) &&
           ReadAus_User(link, image, 0) && ReadAus_User(link, image, 1) &&
           ReadAus_User(link, image, 2) && ReadAus_User(link, image, 3);
}

bool ReadAllParameters(Link& link, ParameterImage& image) {
    for (int i = 0; i < 2; ++i) {
        ReadT_User(link, image, i);
        ReadP_User(link, image, i);
        ReadFlow_User(link, image, i);
        ReadBez_User(link, image, i);
        ReadDes_User(link, image, i);
        ReadMed_User(link, image, i);
        ReadImp_User(link, image, i);
        ReadAlm_User(link, image, i);
        ReadFlowKorr(link, image, i);
    }
    for (int k = 0; k < 4; ++k) ReadAus_User(link, image, k);
    ReadBetrieb(link, image);
    if (link.session().Medium == medium::Gas) ReadEG_User(link, image);
    ReadGrenzwerte(link, image);
    ReadDis_User(link, image);
    if (image.Dis_User.Einheiten != 0) {
        for (int q = 0; q < 16; ++q) ReadUserEinheiten(link, image, q);
    }
    ReadTrend_User(link, image);
    ReadSystem(link, image);
    for (int k = 0; k < 8; ++k) ReadVorgaben(link, image, k);
    return ReadDisplay(link, image);
}

void WriteAllParameters(Link& link, ParameterImage& image) {
    UiHooks& ui = link.ui();
    const Session& session = link.session();
    auto wait = [&ui] { ui.waitMs(kWriteAllWaitMs); };
    auto step = [&ui] { ui.progressStep(); };

    ui.busyCursor(true);
    ui.progressStart(kWriteAllProgressMax);

    // The device decides which system kinds it allows.
    const SystemRec local = image.System;
    ReadSystem(link, image);
    const std::uint8_t deviceMask = image.System.KindMask;
    image.System = local;
    image.System.KindMask = deviceMask;
    image.System.Kind = static_cast<std::uint8_t>(local.Kind & deviceMask);
    step();
    wait();

    const bool circuit2 = image.circuit2Present();
    for (int i = 0; i < 2; ++i) {
        const bool present = i == 0 || circuit2;
        auto write = [&](bool (*command)(Link&, const ParameterImage&, int)) {
            if (!present) return;
            command(link, image, i);
            wait();
        };
        write(WriteT_User);
        step();
        write(WriteP_User);
        step();
        write(WriteFlow_User);
        step();
        write(WriteBez_User);
        write(WriteDes_User);
        step();
        write(WriteMed_User);
        step();
        write(WriteImp_User);
        step();
        WriteAlm_User(link, image, i);  // alarm relays exist in every level
        wait();
        step();
    }

    for (int k = 0; k < 4; ++k) {
        if (k == 0 || circuit2) WriteAus_User(link, image, k);
        wait();
        step();
    }

    if (session.Medium == medium::Gas) {
        WriteEG_User(link, image);
        wait();
    }

    WriteDis_User(link, image);
    step();
    wait();

    if (image.Dis_User.Einheiten != 0) {
        for (int q = 0; q < 16; ++q) {
            WriteUserEinheiten(link, image, q);
            wait();
        }
    }

    if (image.trendPresent()) {
        WriteTrend_User(link, image);
        wait();
    }
    step();

    for (int i = 0; i < 2; ++i) {
        if (i == 0 || circuit2) WriteFlowKorr(link, image, i);
        wait();
        step();
    }

    WriteGrenzwerte(link, image);
    wait();
    step();

    // The device takes over the program's baud-rate choice.
    WriteDeviceBaudRate(link, image, session.Baudrate);
    wait();
    step();

    WriteSystem(link, image);
    wait();
    step();

    for (int k = 0; k < 8; ++k) WriteVorgaben(link, image, k);
    wait();
    step();

    WriteDisplay(link, image);
    wait();
    step();

    wait();
    ui.progressHide();
    ui.busyCursor(false);
}

}  // namespace parvion
