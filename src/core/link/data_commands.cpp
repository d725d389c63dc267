#include "core/link/data_commands.h"

#include <cmath>
#include <ctime>
#include <vector>

#include "core/link/encoding.h"
#include "core/link/record_watch.h"
#include "core/link/transport.h"
#include "core/model/variant.h"

namespace parvion {

namespace {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::duration_cast;

// Text of n bytes with every control character (below 32) as a blank.
std::string PrintableText(const Bytes& d) {
    std::string s(d.begin(), d.end());
    for (char& c : s) {
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    }
    return s;
}

std::uint8_t Digit(std::uint8_t b) {
    return static_cast<std::uint8_t>(b & 0x0F);
}

std::uint16_t TwoDigits(std::span<const std::uint8_t> d, std::size_t units) {
    return static_cast<std::uint16_t>(Digit(d[units + 1]) * 10 + Digit(d[units]));
}

const std::array<std::uint16_t, 3>* PropertyAddresses(int table) {
    if (table == 0) return &address::PropertyTable0;
    if (table == 1) return &address::PropertyTable1;
    return nullptr;
}

std::uint16_t Offset(std::uint16_t base, std::size_t plus) {
    return static_cast<std::uint16_t>((base + plus) & 0xFFFF);
}

}  // namespace

LocalTime SystemLocalNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t secs = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&secs, &tm);
    const auto ms = duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) -
                    duration_cast<std::chrono::seconds>(now.time_since_epoch());
    const auto day =
        std::chrono::local_days{std::chrono::year{tm.tm_year + 1900} /
                                std::chrono::month{static_cast<unsigned>(tm.tm_mon + 1)} /
                                std::chrono::day{static_cast<unsigned>(tm.tm_mday)}};
    return std::chrono::time_point_cast<std::chrono::milliseconds>(day) +
           std::chrono::hours{tm.tm_hour} + std::chrono::minutes{tm.tm_min} +
           std::chrono::seconds{tm.tm_sec} + ms;
}

// --- pure decoders ----------------------------------------------------------

namespace data {

std::uint16_t FourDigitYear(unsigned twoDigits) {
    unsigned y = 1900 + twoDigits;
    if (y < 1980) y += 100;
    return static_cast<std::uint16_t>(y);
}

DeviceDateTime DecodeClockDigits(std::span<const std::uint8_t> d) {
    DeviceDateTime t;
    t.second = TwoDigits(d, 0);
    t.minute = TwoDigits(d, 2);
    t.hour = TwoDigits(d, 4);
    t.day = TwoDigits(d, 6);
    t.month = TwoDigits(d, 8);
    t.year = FourDigitYear(TwoDigits(d, 10));
    return t;
}

std::array<std::uint8_t, 12> EncodeClockDigits(const DeviceDateTime& t) {
    const std::uint16_t fields[6] = {t.second, t.minute, t.hour,
                                     t.day,    t.month,  static_cast<std::uint16_t>(t.year % 100)};
    std::array<std::uint8_t, 12> d{};
    for (std::size_t i = 0; i < 6; ++i) {
        d[2 * i] = static_cast<std::uint8_t>(fields[i] % 10);
        d[2 * i + 1] = static_cast<std::uint8_t>((fields[i] / 10) % 10);
    }
    return d;
}

bool IsValidDeviceDateTime(const DeviceDateTime& t) {
    if (t.second > 59 || t.minute > 59 || t.hour > 23) return false;
    if (t.day == 0 || t.day > 31 || t.month == 0 || t.month > 12) return false;
    const std::chrono::year_month_day ymd{std::chrono::year{t.year}, std::chrono::month{t.month},
                                          std::chrono::day{t.day}};
    return ymd.ok();
}

LocalTime ToLocalTime(const DeviceDateTime& t) {
    const std::chrono::local_days day{std::chrono::year{t.year} / std::chrono::month{t.month} /
                                      std::chrono::day{t.day}};
    return std::chrono::time_point_cast<std::chrono::milliseconds>(day) +
           std::chrono::hours{t.hour} + std::chrono::minutes{t.minute} +
           std::chrono::seconds{t.second};
}

DeviceDateTime ToDeviceDateTime(LocalTime t) {
    const auto day = std::chrono::floor<std::chrono::days>(t);
    const std::chrono::year_month_day ymd{day};
    const std::chrono::hh_mm_ss hms{std::chrono::floor<std::chrono::seconds>(t - day)};
    DeviceDateTime r;
    r.year = static_cast<std::uint16_t>(static_cast<int>(ymd.year()));
    r.month = static_cast<std::uint16_t>(static_cast<unsigned>(ymd.month()));
    r.day = static_cast<std::uint16_t>(static_cast<unsigned>(ymd.day()));
    r.hour = static_cast<std::uint16_t>(hms.hours().count());
    r.minute = static_cast<std::uint16_t>(hms.minutes().count());
    r.second = static_cast<std::uint16_t>(hms.seconds().count());
    return r;
}

double DaysBetween(LocalTime a, LocalTime b) {
    return std::chrono::duration<double, std::ratio<86400>>(a - b).count();
}

double ClockOffsetDays(const DeviceDateTime& device, LocalTime pcNow) {
    return IsValidDeviceDateTime(device) ? DaysBetween(ToLocalTime(device), pcNow) : 0.0;
}

DeviceDateTime DecodeLogTime(std::span<const std::uint8_t> d, std::size_t at) {
    DeviceDateTime t;
    t.year = FourDigitYear(d[at]);
    t.month = d[at + 1];
    t.day = d[at + 2];
    t.hour = d[at + 3];
    t.minute = d[at + 4];
    t.second = d[at + 5];
    return t;
}

OperatingValuesRec DecodeOperatingValues(std::span<const std::uint8_t> d) {
    OperatingValuesRec v;
    for (std::size_t i = 0; i < OperatingValuesRec::kCount; ++i) {
        if (i == OperatingValuesRec::kOperatingTime) {
            v.OperatingTime = static_cast<std::int32_t>(wire::GetLong(d, 4 * i));
            v.Field[i] = static_cast<float>(v.OperatingTime);
        } else {
            v.Field[i] = wire::GetFloat(d, 4 * i);
        }
    }
    // The device sends the temperature in kelvin.
    const double celsius = static_cast<double>(v.Field[OperatingValuesRec::kTemperature]) - 273.15;
    v.Field[OperatingValuesRec::kTemperature] =
        std::fabs(celsius) < 0.001 ? 0.0f : static_cast<float>(celsius);
    return v;
}

OutputCurrentsRec DecodeOutputCurrents(std::span<const std::uint8_t> d) {
    OutputCurrentsRec c;
    for (std::size_t k = 0; k < 4; ++k) c.Current[k] = wire::GetFloat(d, 4 * k);
    return c;
}

std::array<ErrorEntry, 8> DecodeErrorPage(std::span<const std::uint8_t> d) {
    std::array<ErrorEntry, 8> page{};
    for (std::size_t e = 0; e < page.size(); ++e) {
        const std::size_t at = 16 * e;
        page[e].Active = d[at];
        page[e].Second = d[at + 1];
        page[e].Byte2 = d[at + 2];
        page[e].Byte3 = d[at + 3];
        page[e].Start = DecodeLogTime(d, at + 4);
        page[e].End = DecodeLogTime(d, at + 10);
    }
    return page;
}

IntegratorEntry DecodeIntegratorEntry(std::span<const std::uint8_t> d) {
    IntegratorEntry e;
    e.Time1 = DecodeLogTime(d, 0);
    e.Time2 = DecodeLogTime(d, 6);
    e.Value1 = wire::GetFloat(d, 12);
    e.Value2 = wire::GetFloat(d, 16);
    e.Count = wire::GetLong(d, 20);
    return e;
}

std::array<std::uint8_t, 8> IntegratorSlotOrder(std::uint8_t ringPos) {
    // The position names the slot the next record goes to; a position beyond
    // the ring is taken modulo its size so that no read leaves the ring.
    std::array<std::uint8_t, 8> order{};
    unsigned slot = (ringPos + 7u) % 8u;
    for (auto& s : order) {
        s = static_cast<std::uint8_t>(slot);
        slot = (slot + 7u) % 8u;
    }
    return order;
}

TrendDirectory DecodeTrendDirectory(std::span<const std::uint8_t> d) {
    TrendDirectory dir;
    dir.State = d[0];
    dir.Newest = d[1];
    for (std::size_t i = 0; i < 3; ++i) dir.FloatsA[i] = wire::GetFloat(d, 2 + 4 * i);
    for (std::size_t i = 0; i < 5; ++i) dir.FloatsB[i] = wire::GetFloat(d, 14 + 4 * i);
    dir.Word = wire::GetWord(d, 34);
    return dir;
}

TrendHeader DecodeTrendHeader(std::span<const std::uint8_t> d) {
    TrendHeader h;
    h.Circuit = d[0];
    h.Interval = d[1];
    h.Year = FourDigitYear(d[2]);
    h.Month = d[3];
    h.Day = d[4];
    h.Hour = d[5];
    h.Minute = d[6];
    h.Count = d[7];
    return h;
}

bool IsPlausibleTrendHeader(const TrendHeader& h) {
    return h.Month >= 1 && h.Month <= 12 && h.Day >= 1 && h.Day <= 31 && h.Hour <= 23 &&
           h.Minute <= 59 && h.Circuit <= 2 && h.Interval >= 1 && h.Interval <= 100 &&
           h.Count <= TrendBlock::kValues;
}

}  // namespace data

DeviceDateTime RunningDeviceClock(double clockOffset, LocalTime pcNow) {
    // Rounded to the millisecond: an offset of whole seconds must not lose
    // one to the binary fraction of a day.
    const auto offset = std::chrono::duration<double, std::milli>(clockOffset * 86400000.0);
    return data::ToDeviceDateTime(pcNow + std::chrono::round<std::chrono::milliseconds>(offset));
}

// --- commands -------------------------------------------------------------

int MediumOfIdent(std::string_view ident) {
    const Variant* variant = VariantOfIdentity(ident);
    return variant != nullptr ? variant->medium : medium::Unknown;
}

bool ReadDeviceIdent(Link& link, std::string& ident) {
    Bytes d;
    if (!link.readBlock(cmd::Read, address::DeviceIdent, 8, d)) return false;
    ident.assign(d.begin(), d.end());
    return true;
}

bool ReadDeviceAccess(Link& link, DeviceAccessRec& access) {
    Bytes d;
    if (!link.readBlock(cmd::Read, address::DeviceAccess, 13, d)) return false;
    for (std::size_t i = 0; i < 4; ++i) access.Flags[i] = d[i];
    access.Password.assign(d.begin() + 4, d.begin() + 12);
    return true;
}

std::string ReadProgramText(Link& link) {
    Bytes d;
    if (!link.readBlock(cmd::ReadSecond, address::ProgramText, 16, d)) return {};
    return PrintableText(d);
}

bool ReadDeviceSerialNo(Link& link, std::string& serialNo) {
    Bytes d;
    if (!link.readBlock(cmd::Read, address::DeviceSerialNo, 16, d)) return false;
    serialNo = PrintableText(d);
    return true;
}

bool ReadDeviceClock(Link& link, DeviceDateTime& clock, double& clockOffset, const PcClock& now) {
    Bytes d;
    if (!link.readBlock(cmd::Read, address::Clock, 16, d)) {
        clock = DeviceDateTime{};
        return false;
    }
    clock = data::DecodeClockDigits(d);
    clockOffset = data::ClockOffsetDays(clock, now());
    if (RecordWatch* watch = link.recordWatch()) watch->clockRead(link, clock);
    return true;
}

bool WriteDeviceClock(Link& link, const PcClock& now) {
    const DeviceDateTime time = data::ToDeviceDateTime(now());
    const bool ok = link.writeBlock(address::Clock, data::EncodeClockDigits(time));
    if (RecordWatch* watch = link.recordWatch()) watch->clockWritten(link, time, ok);
    return ok;
}

bool ReadOperatingValues(Link& link, int circuit, OperatingValuesRec& values) {
    if (circuit < 0 || circuit > 1) return false;
    Bytes d;
    const auto at = Offset(address::OperatingValues, 80u * static_cast<unsigned>(circuit));
    if (!link.readBlock(cmd::Read, at, 80, d)) return false;
    values = data::DecodeOperatingValues(d);
    return true;
}

bool ReadOutputCurrents(Link& link, OutputCurrentsRec& currents) {
    Bytes d;
    if (!link.readBlock(cmd::Read, address::OutputCurrents, 16, d)) return false;
    currents = data::DecodeOutputCurrents(d);
    return true;
}

int ReadErrorState(Link& link, std::uint8_t& stateBits) {
    Bytes d;
    if (!link.readBlock(cmd::Read, address::ErrorState, 16, d)) return -1;
    stateBits = d[13];
    return d[15];
}

bool ReadErrorProtocol(Link& link, ErrorProtocolRec& protocol) {
    UiHooks& ui = link.ui();
    ErrorProtocolRec read;
    Bytes d;
    if (!link.readBlock(cmd::Read, address::ErrorState, 32, d)) return false;
    for (std::size_t g = 0; g < ErrorProtocolRec::kGroups; ++g) read.RingPos[g] = d[16 + g];
    ui.progressStep();
    for (std::size_t p = 0; p < ErrorProtocolRec::kGroups; ++p) {
        if (!link.readBlock(cmd::Read, Offset(address::ErrorPages, 128 * p), 128, d)) return false;
        read.Entry[p] = data::DecodeErrorPage(d);
        ui.progressStep();
    }
    protocol = read;
    return true;
}

bool ReadIntegrators(Link& link, IntegratorsRec& integrators) {
    UiHooks& ui = link.ui();
    Bytes ring;
    if (!link.readBlock(cmd::Read, address::IntegratorRing, 2, ring)) return false;
    IntegratorsRec read;
    Bytes d;
    for (std::size_t c = 0; c < 2; ++c) {
        const auto order = data::IntegratorSlotOrder(ring[c]);
        for (std::size_t e = 0; e < order.size(); ++e) {
            const auto at = Offset(address::Integrators, 256 * c + 32u * order[e]);
            if (!link.readBlock(cmd::Read, at, 32, d)) return false;
            read.Entry[c][e] = data::DecodeIntegratorEntry(d);
            ui.progressStep();
        }
    }
    integrators = read;
    return true;
}

bool ReadTrendDirectory(Link& link, TrendStore& store) {
    Bytes d;
    if (!link.readBlock(cmd::Read, address::TrendDirectory, 36, d)) return false;
    store.Directory = data::DecodeTrendDirectory(d);
    return true;
}

bool ReadTrendBlock(Link& link, int block, TrendStore& store) {
    if (block < 0 || block >= static_cast<int>(TrendStore::kBlocks)) return false;
    TrendBlock& cached = store.Block[static_cast<std::size_t>(block)];
    const auto base = Offset(address::TrendBlocks, std::size_t{address::TrendBlockSize} *
                                                       static_cast<std::size_t>(block));

    Bytes d;
    if (!link.readBlock(cmd::Read, base, 8, d)) return false;
    const TrendHeader header = data::DecodeTrendHeader(d);
    if (cached.Valid && cached.Header == header) return true;

    cached.Header = header;
    cached.Valid = false;
    if (!data::IsPlausibleTrendHeader(header)) {
        cached.Header = TrendHeader{};
        cached.Series = {};
        return true;
    }

    struct Part {
        std::uint16_t offset;
        std::uint8_t count;
        bool words;
    };
    static constexpr Part kParts[4] = {
        {8, 120, true}, {128, 120, true}, {248, 240, false}, {488, 240, false}};
    std::array<std::array<float, TrendBlock::kValues>, 4> series{};
    for (std::size_t s = 0; s < 4; ++s) {
        if (!link.readBlock(cmd::Read, Offset(base, kParts[s].offset), kParts[s].count, d)) {
            return false;
        }
        for (std::size_t j = 0; j < TrendBlock::kValues; ++j) {
            series[s][j] = kParts[s].words ? static_cast<float>(wire::GetWord(d, 2 * j))
                                           : wire::GetFloat(d, 4 * j);
        }
    }
    cached.Series = series;
    cached.Valid = true;
    return true;
}

TrendRead ReadTrendMemory(Link& link, TrendStore& store) {
    if (!ReadTrendDirectory(link, store)) return TrendRead::DirectoryFailed;
    UiHooks& ui = link.ui();
    ui.processEvents();
    for (int b = 0; b < static_cast<int>(TrendStore::kBlocks); ++b) {
        if (!ReadTrendBlock(link, b, store)) return TrendRead::BlockFailed;
        ui.progressStep();
    }
    return TrendRead::Complete;
}

namespace {

// The 20 transfers of a property table: column heads, row heads, 18 rows.
struct TableTransfer {
    std::uint16_t address;
    std::uint8_t count;
};

std::array<TableTransfer, 20> PropertyTransfers(const std::array<std::uint16_t, 3>& a) {
    std::array<TableTransfer, 20> t{};
    t[0] = {a[0], 28};
    t[1] = {a[1], 36};
    for (std::size_t r = 0; r < PropertyTableBuffer::kRows; ++r)
        t[2 + r] = {Offset(a[2], 56 * r), 56};
    return t;
}

void DecodePropertyPart(std::size_t i, const Bytes& d, PropertyTableBuffer& b) {
    if (i == 0) {
        for (std::size_t c = 0; c < PropertyTableBuffer::kColumns; ++c)
            b.PressureAxis[c] = wire::GetWord(d, 2 * c);
    } else if (i == 1) {
        for (std::size_t r = 0; r < PropertyTableBuffer::kRows; ++r)
            b.TemperatureAxis[r] = wire::GetWord(d, 2 * r);
    } else {
        for (std::size_t c = 0; c < PropertyTableBuffer::kColumns; ++c)
            b.Values[i - 2][c] = wire::GetFloat(d, 4 * c);
    }
}

Bytes EncodePropertyPart(std::size_t i, const PropertyTableBuffer& b) {
    Bytes d;
    if (i == 0) {
        for (auto w : b.PressureAxis) wire::AppendWord(d, w);
    } else if (i == 1) {
        for (auto w : b.TemperatureAxis) wire::AppendWord(d, w);
    } else {
        for (auto f : b.Values[i - 2]) wire::AppendFloat(d, f);
    }
    return d;
}

}  // namespace

// Every table transfer hides the progress bar when it ends, also after a
// failure, so that no half-full bar stays behind.
bool ReadPropertyTable(Link& link, int table, PropertyTableBuffer& buffer) {
    const auto* addresses = PropertyAddresses(table);
    if (addresses == nullptr) return false;
    UiHooks& ui = link.ui();
    ui.progressStart(20);
    PropertyTableBuffer read;
    const auto transfers = PropertyTransfers(*addresses);
    Bytes d;
    for (std::size_t i = 0; i < transfers.size(); ++i) {
        if (!link.readBlock(cmd::Read, transfers[i].address, transfers[i].count, d)) {
            ui.progressHide();
            return false;
        }
        DecodePropertyPart(i, d, read);
        ui.progressStep();
        link.PauseMs(50);
    }
    buffer = read;
    ui.progressHide();
    if (RecordWatch* watch = link.recordWatch()) watch->propertyTableRead(link, table, buffer);
    return true;
}

namespace {

bool SendPropertyTable(Link& link, int table, const PropertyTableBuffer& buffer) {
    const auto* addresses = PropertyAddresses(table);
    if (addresses == nullptr) return false;
    UiHooks& ui = link.ui();
    ui.progressStart(20);
    const auto transfers = PropertyTransfers(*addresses);
    for (std::size_t i = 0; i < transfers.size(); ++i) {
        if (!link.writeBlock(transfers[i].address, EncodePropertyPart(i, buffer))) {
            ui.progressHide();
            return false;
        }
        ui.progressStep();
        link.PauseMs(50);
    }
    ui.progressHide();
    return true;
}

bool SendSaturationTable(Link& link, const SaturationTableBuffer& buffer) {
    UiHooks& ui = link.ui();
    ui.progressStart(16);
    for (std::size_t k = 0; k < 16; ++k) {
        Bytes d;
        for (std::size_t r = 2 * k; r < 2 * k + 2; ++r) {
            const SaturationRow& row = buffer.Rows[r];
            for (float f : {row.T, row.p, row.rho, row.h}) wire::AppendFloat(d, f);
        }
        if (!link.writeBlock(Offset(address::SaturationTable, 32 * k), d)) {
            ui.progressHide();
            return false;
        }
        ui.progressStep();
        link.PauseMs(20);
    }
    ui.progressHide();
    return true;
}

}  // namespace

bool WritePropertyTable(Link& link, int table, const PropertyTableBuffer& buffer) {
    if (PropertyAddresses(table) == nullptr) return false;
    const bool ok = SendPropertyTable(link, table, buffer);
    if (RecordWatch* watch = link.recordWatch()) {
        watch->propertyTableWritten(link, table, buffer, ok);
    }
    return ok;
}

bool ReadSaturationTable(Link& link, SaturationTableBuffer& buffer) {
    UiHooks& ui = link.ui();
    ui.progressStart(4);
    SaturationTableBuffer read;
    Bytes d;
    for (std::size_t k = 0; k < 4; ++k) {
        if (!link.readBlock(cmd::Read, Offset(address::SaturationTable, 128 * k), 128, d)) {
            ui.progressHide();
            return false;
        }
        for (std::size_t r = 0; r < 8; ++r) {
            SaturationRow& row = read.Rows[8 * k + r];
            row.T = wire::GetFloat(d, 16 * r);
            row.p = wire::GetFloat(d, 16 * r + 4);
            row.rho = wire::GetFloat(d, 16 * r + 8);
            row.h = wire::GetFloat(d, 16 * r + 12);
        }
        ui.progressStep();
        link.PauseMs(50);
    }
    buffer = read;
    ui.progressHide();
    if (RecordWatch* watch = link.recordWatch()) watch->saturationTableRead(link, buffer);
    return true;
}

bool WriteSaturationTable(Link& link, const SaturationTableBuffer& buffer) {
    const bool ok = SendSaturationTable(link, buffer);
    if (RecordWatch* watch = link.recordWatch()) watch->saturationTableWritten(link, buffer, ok);
    return ok;
}

}  // namespace parvion
