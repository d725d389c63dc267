#include "core/link/parameter_blocks.h"

#include <algorithm>
#include <vector>

#include "core/link/transport.h"

namespace parvion {

namespace codec {

namespace {

// Builds a block field by field in block order.
class Out {
  public:
    Out& b(std::uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    Out& w(std::uint16_t v) {
        wire::appendWord(bytes, v);
        return *this;
    }
    Out& f(float v) {
        wire::appendFloat(bytes, v);
        return *this;
    }
    wire::Bytes bytes;
};

// Takes a block apart field by field in block order.
class In {
  public:
    explicit In(std::span<const std::uint8_t> block) : b_(block) {}
    std::uint8_t b() { return b_[at_++]; }
    std::uint16_t w() {
        const auto v = wire::getWord(b_, at_);
        at_ += 2;
        return v;
    }
    float f() {
        const float v = wire::getFloat(b_, at_);
        at_ += 4;
        return v;
    }
    void skip(std::size_t n) { at_ += n; }

  private:
    std::span<const std::uint8_t> b_;
    std::size_t at_ = 0;
};

}  // namespace

wire::Bytes encode(const T_UserRec& r) {
    return Out()
        .b(r.Dummy1)
        .b(r.Dummy2)
        .b(r.Kind)
        .b(r.Eq)
        .f(r.Min)
        .f(r.Max)
        .f(r.Dummy4)
        .f(r.Diff)
        .f(r.Toff)
        .f(r.Konst)
        .f(r.Dummy3)
        .bytes;
}

bool decode(std::span<const std::uint8_t> b, T_UserRec& r) {
    if (b.size() < 32) return false;
    In in(b);
    r.Dummy1 = in.b();
    r.Dummy2 = in.b();
    r.Kind = in.b();
    r.Eq = in.b();
    r.Min = in.f();
    r.Max = in.f();
    r.Dummy4 = in.f();
    r.Diff = in.f();
    r.Toff = in.f();
    r.Konst = in.f();
    r.Dummy3 = in.f();
    return true;
}

wire::Bytes encode(const P_UserRec& r) {
    return Out()
        .b(r.Dummy1)
        .b(r.Dummy2)
        .b(r.Kind)
        .b(r.Eq)
        .f(r.Hyd)
        .f(r.Min)
        .f(r.Max)
        .f(r.Err)
        .f(r.Konst)
        .f(r.Dummy3)
        .f(r.Dummy4)
        .bytes;
}

bool decode(std::span<const std::uint8_t> b, P_UserRec& r) {
    if (b.size() < 32) return false;
    In in(b);
    r.Dummy1 = in.b();
    r.Dummy2 = in.b();
    r.Kind = in.b();
    r.Eq = in.b();
    r.Hyd = in.f();
    r.Min = in.f();
    r.Max = in.f();
    r.Err = in.f();
    r.Konst = in.f();
    r.Dummy3 = in.f();
    r.Dummy4 = in.f();
    return true;
}

wire::Bytes encode(const Flow_UserRec& r) {
    return Out()
        .b(r.Eq)
        .b(r.Kind)
        .w(r.MaxFreq)
        .f(r.Min)
        .f(r.Max)
        .f(r.KFak)
        .f(r.TKK)
        .f(r.BTemp)
        .f(r.Schleich)
        .f(r.Exp_zahl)
        .bytes;
}

bool decode(std::span<const std::uint8_t> b, Flow_UserRec& r) {
    if (b.size() < 32) return false;
    In in(b);
    r.Eq = in.b();
    r.Kind = in.b();
    r.MaxFreq = in.w();
    r.Min = in.f();
    r.Max = in.f();
    r.KFak = in.f();
    r.TKK = in.f();
    r.BTemp = in.f();
    r.Schleich = in.f();
    r.Exp_zahl = in.f();
    return true;
}

wire::Bytes encode(const Des_UserRec& r) {
    return Out()
        .f(r.DesQN)
        .f(r.DesT)
        .f(r.Desp)
        .f(r.Desdp)
        .f(r.DesRho)
        .f(r.Desdp2)
        .f(r.Desdp3)
        .f(r.Desdp4)
        .bytes;
}

bool decode(std::span<const std::uint8_t> b, Des_UserRec& r) {
    if (b.size() < 32) return false;
    In in(b);
    r.DesQN = in.f();
    r.DesT = in.f();
    r.Desp = in.f();
    r.Desdp = in.f();
    r.DesRho = in.f();
    r.Desdp2 = in.f();
    r.Desdp3 = in.f();
    r.Desdp4 = in.f();
    return true;
}

wire::Bytes encode(const Med_UserRec& r) {
    return Out()
        .b(r.Dummy1)
        .b(r.Dummy2)
        .b(r.Ready)
        .b(r.Kind)
        .f(r.Rho)
        .f(r.RN)
        .f(r.BT)
        .f(r.Bp)
        .f(r.BRho)
        .f(r.WKapa)
        .f(r.Satt_Tol)
        .bytes;
}

bool decode(std::span<const std::uint8_t> b, Med_UserRec& r) {
    if (b.size() < 32) return false;
    In in(b);
    r.Dummy1 = in.b();
    r.Dummy2 = in.b();
    r.Ready = in.b();
    r.Kind = in.b();
    r.Rho = in.f();
    r.RN = in.f();
    r.BT = in.f();
    r.Bp = in.f();
    r.BRho = in.f();
    r.WKapa = in.f();
    r.Satt_Tol = in.f();
    return true;
}

wire::Bytes encode(const Bez_UserRec& r) {
    return Out().f(r.T0).f(r.p0).f(r.h0).f(r.Faktor).bytes;
}

bool decode(std::span<const std::uint8_t> b, Bez_UserRec& r) {
    if (b.size() < 16) return false;
    In in(b);
    r.T0 = in.f();
    r.p0 = in.f();
    r.h0 = in.f();
    r.Faktor = in.f();
    return true;
}

wire::Bytes encode(const Imp_UserRec& r) {
    return Out().b(r.Dummy1).b(r.Dummy2).b(r.Dummy3).b(r.Kind).f(r.Compare).bytes;
}

bool decode(std::span<const std::uint8_t> b, Imp_UserRec& r) {
    if (b.size() < 8) return false;
    In in(b);
    r.Dummy1 = in.b();
    r.Dummy2 = in.b();
    r.Dummy3 = in.b();
    r.Kind = in.b();
    r.Compare = in.f();
    return true;
}

wire::Bytes encode(const Alm_UserRec& r) {
    return Out().b(r.Dummy1).b(r.Dummy2).b(r.Param).b(r.Kind).f(r.Min).f(r.Max).f(r.Dummy3).bytes;
}

bool decode(std::span<const std::uint8_t> b, Alm_UserRec& r) {
    if (b.size() < 16) return false;
    In in(b);
    r.Dummy1 = in.b();
    r.Dummy2 = in.b();
    r.Param = in.b();
    r.Kind = in.b();
    r.Min = in.f();
    r.Max = in.f();
    r.Dummy3 = in.f();
    return true;
}

wire::Bytes encode(const Aus_UserRec& r) {
    return Out().b(r.Dummy1).b(r.Dummy2).b(r.Konstant).b(r.Param).f(r.Min).f(r.Max).f(r.Err).bytes;
}

bool decode(std::span<const std::uint8_t> b, Aus_UserRec& r) {
    if (b.size() < 16) return false;
    In in(b);
    r.Dummy1 = in.b();
    r.Dummy2 = in.b();
    r.Konstant = in.b();
    r.Param = in.b();
    r.Min = in.f();
    r.Max = in.f();
    r.Err = in.f();
    return true;
}

wire::Bytes encode(const FlowKorrRec& r) {
    Out out;
    for (const float v : r.Stelle) out.f(v);
    return out.bytes;
}

bool decode(std::span<const std::uint8_t> b, FlowKorrRec& r) {
    if (b.size() < 32) return false;
    In in(b);
    for (float& v : r.Stelle) v = in.f();
    return true;
}

wire::Bytes encode(const EG_UserRec& r) {
    return Out().f(r.Ho).f(r.CO2).f(r.H2).f(r.Rho).bytes;
}

bool decode(std::span<const std::uint8_t> b, EG_UserRec& r) {
    if (b.size() < 16) return false;
    In in(b);
    r.Ho = in.f();
    r.CO2 = in.f();
    r.H2 = in.f();
    r.Rho = in.f();
    return true;
}

wire::Bytes encode(const GrenzwerteRec& r) {
    return Out().f(r.U_Max).f(r.U_Min).f(r.L_Max).f(r.L_Min).bytes;
}

bool decode(std::span<const std::uint8_t> b, GrenzwerteRec& r) {
    if (b.size() < 16) return false;
    In in(b);
    r.U_Max = in.f();
    r.U_Min = in.f();
    r.L_Max = in.f();
    r.L_Min = in.f();
    return true;
}

wire::Bytes encode(const SystemRec& r) {
    return Out()
        .b(r.Ausbaustufe)
        .b(r.Anzahl)
        .b(r.KindMask)
        .b(r.Kind)
        .b(r.Lang)
        .b(0)
        .b(0)
        .b(0)
        .f(r.Faktor)
        .f(r.Dummy6)
        .bytes;
}

bool decode(std::span<const std::uint8_t> b, SystemRec& r) {
    if (b.size() < 16) return false;
    In in(b);
    r.Ausbaustufe = in.b();
    r.Anzahl = in.b();
    r.KindMask = in.b();
    r.Kind = in.b();
    r.Lang = in.b();
    in.skip(3);
    r.Dummy3 = 0;
    r.Dummy4 = 0;
    r.Faktor = in.f();
    r.Dummy6 = in.f();
    return true;
}

wire::Bytes encode(const BetriebRec& r) {
    return {r.Bytes.begin(), r.Bytes.end()};
}

bool decode(std::span<const std::uint8_t> b, BetriebRec& r) {
    if (b.size() < 4) return false;
    std::copy_n(b.begin(), 4, r.Bytes.begin());
    return true;
}

wire::Bytes encode(const Dis_UserRec& r) {
    return Out().b(r.Kind).b(r.Einheiten).b(r.First).b(r.CalcError).bytes;
}

bool decode(std::span<const std::uint8_t> b, Dis_UserRec& r) {
    if (b.size() < 4) return false;
    In in(b);
    r.Kind = in.b();
    r.Einheiten = in.b();
    r.First = in.b();
    r.CalcError = in.b();
    return true;
}

wire::Bytes encode(const Trend_UserRec& r) {
    return Out().b(r.Dummy1).b(r.Dummy2).b(r.Param).b(r.Time).bytes;
}

bool decode(std::span<const std::uint8_t> b, Trend_UserRec& r) {
    if (b.size() < 4) return false;
    In in(b);
    r.Dummy1 = in.b();
    r.Dummy2 = in.b();
    r.Param = in.b();
    r.Time = in.b();
    return true;
}

wire::Bytes encode(const UserEinheitRec& r) {
    // The device text is five characters, right-aligned with blanks.
    std::string text = r.Text.substr(0, 5);
    text.insert(0, 5 - text.size(), ' ');
    Out out;
    out.b(r.Kind).b(r.Length).b(r.Code);
    for (const char c : text) out.b(static_cast<std::uint8_t>(c));
    return out.f(r.Factor).f(r.Offset).bytes;
}

bool decode(std::span<const std::uint8_t> b, UserEinheitRec& r) {
    if (b.size() < 16) return false;
    In in(b);
    r.Kind = in.b();
    r.Length = in.b();
    r.Code = in.b();
    r.Text.clear();
    for (int i = 0; i < 5; ++i) r.Text += static_cast<char>(in.b());
    r.Factor = in.f();
    r.Offset = in.f();
    return true;
}

wire::Bytes encode(const DisplayRec& r) {
    return Out().b(r.Enable1).b(r.Enable2).b(r.Enable3).b(r.Enable4).bytes;
}

bool decode(std::span<const std::uint8_t> b, DisplayRec& r) {
    if (b.size() < 4) return false;
    In in(b);
    r.Enable1 = in.b();
    r.Enable2 = in.b();
    r.Enable3 = in.b();
    r.Enable4 = in.b();
    return true;
}

wire::Bytes encodeVorgabe(float value) {
    return Out().f(value).bytes;
}

bool decodeVorgabe(std::span<const std::uint8_t> b, float& value) {
    if (b.size() < 4) return false;
    value = wire::getFloat(b, 0);
    return true;
}

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
