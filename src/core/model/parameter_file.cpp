#include "core/model/parameter_file.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <system_error>
#include <type_traits>

#include "core/model/profile_file.h"
#include "core/model/units.h"
#include "core/model/value_format.h"

namespace parvion {

namespace {

constexpr std::string_view kRemarkSection = "Bemerkung";
constexpr std::string_view kRemarkEnd = "@";

std::string Indexed(std::string_view prefix, std::size_t index) {
    return std::string(prefix) + std::to_string(index);
}

std::string RemarkKey(std::size_t line) {
    std::string key = "Zeile ";
    key += std::to_string(line);
    return key;
}

// Accepted range of a float field and the value that replaces one outside it.
struct Range {
    float lo;
    float hi;
    float fallback;
};

// Writes every field, whatever the expansion level.
class Writer {
  public:
    explicit Writer(ProfileFile& file) : file_(file) {}

    void section(std::string name) { section_ = std::move(name); }
    bool include(bool /*available*/) const { return true; }

    template <class T>
    void integer(std::string_view key, const T& field, std::string_view /*def*/,
                 bool /*available*/ = true) {
        static_assert(std::is_integral_v<T>);
        file_.writeString(section_, key, std::to_string(static_cast<long long>(field)));
    }
    void real(std::string_view key, const float& field, std::string_view /*def*/,
              std::optional<Range> /*range*/ = std::nullopt) {
        file_.writeString(section_, key, FormatFileFloat(field));
    }

  private:
    ProfileFile& file_;
    std::string section_;
};

// Where a value failed to convert.
struct NotANumberError {
    std::string section;
    std::string key;
    std::string value;
};

// Reads the fields that are available; throws NotANumberError at the first
// value that is not a number.
class Reader {
  public:
    explicit Reader(const ProfileFile& file) : file_(file) {}

    void section(std::string name) { section_ = std::move(name); }
    bool include(bool available) const { return available; }

    template <class T>
    void integer(std::string_view key, T& field, std::string_view def, bool available = true) {
        static_assert(std::is_integral_v<T>);
        if (!available) return;
        const std::string text = file_.readString(section_, key, def);
        const std::optional<double> number = ReadNumber(text);
        const std::optional<std::uint32_t> bits =
            number ? TruncateToBits(*number) : std::optional<std::uint32_t>();
        if (!bits) throw NotANumberError{section_, std::string(key), text};
        field = static_cast<T>(*bits);  // keeps the low bits of the field's width
    }
    void real(std::string_view key, float& field, std::string_view def,
              std::optional<Range> range = std::nullopt) {
        const std::string text = file_.readString(section_, key, def);
        const std::optional<double> number = ReadNumber(text);
        if (!number) throw NotANumberError{section_, std::string(key), text};
        field = ToSingle(*number);
        if (range && !(field >= range->lo && field <= range->hi)) field = range->fallback;
    }

  private:
    const ProfileFile& file_;
    std::string section_;
};

// The sections from T_User to Vorgaben/Display, in writing order. Writer
// and Reader walk the same list, so keys, order and defaults cannot drift
// apart. Image is ParameterImage or const ParameterImage.
template <class V, class Image>
void VisitRecords(V& v, Image& img, int medium) {
    const bool c2 = img.circuit2Present();
    const bool energy = medium != medium::Gas;

    for (std::size_t n = 0; n < 2; ++n) {
        auto& r = img.T_User[n];
        v.section(Indexed("T_User", n));
        if (!v.include(n == 0 || c2)) continue;
        v.integer("Dummy1", r.Dummy1, "0");
        v.integer("Dummy2", r.Dummy2, "0");
        v.integer("Kind", r.Kind, "0");
        v.integer("Eq", r.Eq, "0");
        v.real("Min", r.Min, "0");
        v.real("Max", r.Max, "0");
        v.real("Dummy4", r.Dummy4, "0");
        v.real("Diff", r.Diff, "0");
        v.real("Toff", r.Toff, "0");
        v.real("Konst", r.Konst, "0");
        v.real("Dummy3", r.Dummy3, "0");
    }
    for (std::size_t n = 0; n < 2; ++n) {
        auto& r = img.P_User[n];
        v.section(Indexed("P_User", n));
        if (!v.include(n == 0 || c2)) continue;
        v.integer("Dummy1", r.Dummy1, "0");
        v.integer("Dummy2", r.Dummy2, "0");
        v.integer("Kind", r.Kind, "0");
        v.integer("Eq", r.Eq, "0");
        v.real("Min", r.Min, "0");
        v.real("Max", r.Max, "0");
        v.real("Hyd", r.Hyd, "100.0");
        v.real("Err", r.Err, "0");
        v.real("Konst", r.Konst, "100.0");
        v.real("Dummy3", r.Dummy3, "0");
        v.real("Dummy4", r.Dummy4, "0");
    }
    for (std::size_t n = 0; n < 2; ++n) {
        auto& r = img.Flow_User[n];
        v.section(Indexed("Flow_User", n));
        if (!v.include(n == 0 || c2)) continue;
        v.integer("Eq", r.Eq, "0");
        v.integer("Kind", r.Kind, "0");
        v.integer("MaxFreq", r.MaxFreq, "9999");
        v.real("Min", r.Min, "0");
        v.real("Max", r.Max, "0");
        v.real("KFak", r.KFak, "0");
        v.real("TKK", r.TKK, "0");
        v.real("BTemp", r.BTemp, "0");
        v.real("Schleich", r.Schleich, "0");
        v.real("Exp_zahl", r.Exp_zahl, "1.0");
    }
    for (std::size_t n = 0; n < 2; ++n) {
        auto& r = img.Des_User[n];
        v.section(Indexed("Des_User", n));
        if (!v.include(n == 0 || c2)) continue;
        v.real("DesQN", r.DesQN, "0");
        v.real("DesT", r.DesT, "0");
        v.real("Desp", r.Desp, "0");
        v.real("Desdp", r.Desdp, "0");
        v.real("DesRho", r.DesRho, "0");
        v.real("Desdp2", r.Desdp2, "0");
        v.real("Desdp3", r.Desdp3, "0");
        v.real("Desdp4", r.Desdp4, "0");
    }
    for (std::size_t n = 0; n < 2; ++n) {
        auto& r = img.Med_User[n];
        v.section(Indexed("Med_User", n));
        if (!v.include(n == 0 || c2)) continue;
        v.integer("Dummy1", r.Dummy1, "0");
        v.integer("Dummy2", r.Dummy2, "0");
        v.integer("Ready", r.Ready, "0");
        v.integer("Kind", r.Kind, "0");
        v.real("Rho", r.Rho, "0");
        v.real("RN", r.RN, "0");
        v.real("BT", r.BT, "0");
        v.real("Bp", r.Bp, "0");
        v.real("BRho", r.BRho, "0");
        v.real("WKapa", r.WKapa, "0");
        v.real("Satt_Tol", r.Satt_Tol, "0");
    }
    if (!energy) {
        auto& r = img.EG_User;
        v.section("EG_User");
        v.real("Ho", r.Ho, "10.0");
        v.real("CO2", r.CO2, "10.0");
        v.real("H2", r.H2, "5.0");
        v.real("Rho", r.Rho, "1.0");
    }
    for (std::size_t n = 0; n < 2; ++n) {
        auto& r = img.Bez_User[n];
        v.section(Indexed("Bez_User", n));
        if (!v.include(n == 0 || c2)) continue;
        v.real("T0", r.T0, "0");
        v.real("p0", r.p0, "0");
        v.real("h0", r.h0, "0");
        v.real("Faktor", r.Faktor, "1");
    }
    for (std::size_t n = 0; n < 2; ++n) {
        auto& r = img.Imp_User[n];
        v.section(Indexed("Imp_User", n));
        if (!v.include(n == 0 || c2)) continue;
        v.integer("Dummy1", r.Dummy1, "0");
        v.integer("Dummy2", r.Dummy2, "0");
        v.integer("Dummy3", r.Dummy3, "0");
        v.integer("Kind", r.Kind, "0");
        v.real("Compare", r.Compare, "0");
    }
    for (std::size_t n = 0; n < 2; ++n) {  // both relays, whatever the expansion level
        auto& r = img.Alm_User[n];
        v.section(Indexed("Alm_User", n));
        v.integer("Dummy1", r.Dummy1, "0");
        v.integer("Dummy2", r.Dummy2, "0");
        v.integer("Param", r.Param, "0");
        v.integer("Kind", r.Kind, "0");
        v.real("Min", r.Min, "0");
        v.real("Max", r.Max, "0");
        v.real("Dummy3", r.Dummy3, "0");
    }
    for (std::size_t n = 0; n < 4; ++n) {
        auto& r = img.Aus_User[n];
        v.section(Indexed("Aus_User", n));
        if (!v.include(n == 0 || c2)) continue;
        v.integer("Dummy1", r.Dummy1, "0");
        v.integer("Dummy2", r.Dummy2, "0");
        v.integer("Konstant", r.Konstant, "0");
        v.integer("Param", r.Param, "0");
        v.real("Min", r.Min, "0");
        v.real("Max", r.Max, "0");
        v.real("Err", r.Err, "0");
    }
    {
        auto& r = img.Dis_User;
        v.section("Dis_User");
        v.integer("Kind", r.Kind, "0", c2);
        v.integer("Einheiten", r.Einheiten, "0");
        v.integer("First", r.First, "0");
        v.integer("CalcError", r.CalcError, "0");
    }
    for (std::size_t n = 0; n < kQuantityCount; ++n) {
        v.section(Indexed("UserEinheiten", n));
        v.integer("Kind", img.UserEinheiten[n].Kind, "0");
    }
    {
        auto& r = img.Trend_User;
        v.section("Trend_User");
        if (v.include(img.trendPresent())) {
            v.integer("Dummy1", r.Dummy1, "0");
            v.integer("Dummy2", r.Dummy2, "0");
            v.integer("Param", r.Param, "0");
            v.integer("Time", r.Time, "60");
        }
    }
    for (std::size_t n = 0; n < 2; ++n) {
        v.section(Indexed("FlowKorr_", n + 1));
        if (!v.include(n == 0 || c2)) continue;
        for (std::size_t i = 0; i < 8; ++i) {
            v.real(Indexed("Stelle", i), img.FlowKorr[n].Stelle[i], "1", Range{0.25f, 10.0f, 1.0f});
        }
    }
    {
        auto& r = img.Grenzwerte;
        v.section("Grenzwerte");
        v.real("U_Max", r.U_Max, "1.31250", Range{1.25f, 1.5f, 1.3125f});
        v.real("U_Min", r.U_Min, "1.28125", Range{1.25f, 1.5f, 1.28125f});
        v.real("L_Max", r.L_Max, "0.24000", Range{0.125f, 0.25f, 0.24f});
        v.real("L_Min", r.L_Min, "0.22500", Range{0.125f, 0.25f, 0.225f});
    }
    {
        auto& r = img.System;
        v.section("System");
        v.integer("Anzahl", r.Anzahl, "0");
        v.integer("Kind", r.Kind, "0");
        v.integer("Lang", r.Lang, "0");
        v.integer("Dummy3", r.Dummy3, "0");
        v.integer("Dummy4", r.Dummy4, "0");
        v.real("Faktor", r.Faktor, "1");
        v.real("Dummy6", r.Dummy6, "0");
    }
    v.section("Vorgaben");
    for (std::size_t i = 0; i < img.Vorgaben.size(); ++i) {
        v.real(Indexed("Vorgabe", i + 1), img.Vorgaben[i], "0");
    }
    {
        auto& r = img.Display;
        v.section("Display");
        v.integer("Enable1", r.Enable1, "127");
        v.integer("Enable2", r.Enable2, "127");
        v.integer("Enable3", r.Enable3, energy ? "40" : "0");
        v.integer("Enable4", r.Enable4, "0");
    }
}

// Old alarm parameter codes and their present numbers.
std::uint8_t ConvertAlarmParam(std::uint8_t param) {
    switch (param) {
        case 3:
            return 4;
        case 4:
            return 9;
        case 5:
            return 10;
        case 6:
            return 12;
        case 7:
            return 17;
        case 8:
            return 18;
        case 9:
            return 20;
        default:
            return param;
    }
}

// Old output codes: 0..9 name a value (now with a 4..20 mA range, Konstant
// 40); 10..16 were constant currents, now coded in Konstant with Param 0.
void ConvertOutput(Aus_UserRec& out) {
    static constexpr std::uint8_t kParam[10] = {1, 9, 2, 10, 4, 12, 5, 13, 3, 11};
    static constexpr std::uint8_t kKonstant[7] = {36, 40, 80, 120, 160, 200, 220};
    if (out.Param <= 9) {
        out.Param = kParam[out.Param];
        out.Konstant = 40;
    } else {
        if (out.Param <= 16) out.Konstant = kKonstant[out.Param - 10];
        out.Param = 0;
    }
}

void ConvertParFile(ParameterImage& img, int medium) {
    for (Alm_UserRec& alm : img.Alm_User) alm.Param = ConvertAlarmParam(alm.Param);
    for (Aus_UserRec& out : img.Aus_User) ConvertOutput(out);  // also outputs not read
    if (img.Dis_User.First > 7) ++img.Dis_User.First;
    img.Display =
        DisplayRec{127, 127, static_cast<std::uint8_t>(medium != medium::Gas ? 40 : 0), 0};
}

std::string IdentOf(int medium) {
    if (medium == medium::Gas) return "GAS";
    if (medium == medium::Energy) return "STEAM";
    return {};
}

ParameterFileResult FileError(std::string reason) {
    ParameterFileResult r;
    r.status = ParameterFileStatus::FileError;
    r.reason = std::move(reason);
    return r;
}

// The system's wording of an errno value.
std::string SystemMessage(int err) {
    return std::generic_category().message(err);
}

// The reason part of a profile-file error text ("cannot read <path>: reason").
std::string ReasonOf(const std::string& error, int err) {
    if (err != 0) return SystemMessage(err);
    const std::size_t colon = error.rfind(": ");
    return colon == std::string::npos ? error : error.substr(colon + 2);
}

// UTF-8 text as code points and back (for character positions).
std::u32string Decode(std::string_view s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        if (b >= 0x80 && b < 0xC0) len = 1;  // stray continuation byte
        if (i + len > s.size()) len = s.size() - i;
        char32_t cp = len == 1 ? b : b & (0x7Fu >> len);
        for (std::size_t k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3Fu);
        out.push_back(cp);
        i += len;
    }
    return out;
}

std::string Encode(std::u32string_view s) {
    std::string out;
    for (char32_t cp : s) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

}  // namespace

std::string ParameterFileResult::detail(const std::filesystem::path& file) const {
    switch (status) {
        case ParameterFileStatus::NotANumber:
            return " [" + section + "] " + key;
        case ParameterFileStatus::FileError: {
            std::string text = " ";
            text += file.string();
            text += ": ";
            text += reason;
            return text;
        }
        default:
            return {};
    }
}

ParameterFileResult SaveParameterFile(const std::filesystem::path& path,
                                      const ParameterImage& image, int medium) {
    const std::string ident = IdentOf(medium);
    if (ident.empty())
        return ParameterFileResult{ParameterFileStatus::WrongVariant, {}, {}, {}, {}};

    ProfileFile file(path);
    // An existing file that cannot be read is not replaced by a partial one.
    if (!file.loaded()) return FileError(ReasonOf(file.loadError(), file.loadErrorNumber()));

    file.writeString("Medium", "Ident", ident);
    Writer writer(file);
    VisitRecords(writer, image, medium);

    file.eraseSection(kRemarkSection);
    for (std::size_t i = 0; i < image.Bemerkung.size(); ++i) {
        file.writeString(kRemarkSection, RemarkKey(i + 1), image.Bemerkung[i]);
    }

    std::string error;
    int err = 0;
    if (!file.save(&error, &err)) return FileError(ReasonOf(error, err));
    return {};
}

ParameterFileResult LoadParameterFile(const std::filesystem::path& path, ParameterImage& image,
                                      int medium) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) {
        return FileError(SystemMessage(ec ? ec.value() : ENOENT));
    }
    const ProfileFile file(path);
    if (!file.loaded()) return FileError(ReasonOf(file.loadError(), file.loadErrorNumber()));

    const std::string ident = file.readString("Medium", "Ident", "");
    if (ident.empty() || ident != IdentOf(medium)) {
        return ParameterFileResult{ParameterFileStatus::WrongVariant, {}, {}, {}, {}};
    }

    ParameterImage work = image;
    try {
        Reader reader(file);
        VisitRecords(reader, work, medium);
    } catch (const NotANumberError& e) {
        return ParameterFileResult{ParameterFileStatus::NotANumber, e.section, e.key, e.value, {}};
    }

    // Each unit choice brings the fields of its table row along.
    for (std::size_t q = 0; q < kQuantityCount; ++q) {
        UserEinheitRec& unit = work.UserEinheiten[q];
        if (const UnitRow* row = FindUnitRow(medium, static_cast<std::uint8_t>(q), unit.Kind)) {
            ApplyUnitRow(unit, *row);
        }
    }
    work.System.Kind &= work.System.KindMask;
    if (IsParFile(path)) ConvertParFile(work, medium);

    work.Bemerkung.clear();
    for (std::size_t i = 1;; ++i) {
        std::string line = file.readString(kRemarkSection, RemarkKey(i), kRemarkEnd);
        if (line == kRemarkEnd) break;
        work.Bemerkung.push_back(std::move(line));
    }

    image = std::move(work);
    return {};
}

bool IsParFile(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return ext == ".PAR";
}

std::string ParameterFileExtension(int medium) {
    return medium == medium::Gas ? "PGA" : "PEG";
}

std::filesystem::path WithParameterExtension(const std::filesystem::path& path, int medium) {
    std::filesystem::path out = path;
    std::string ext = ".";
    ext += ParameterFileExtension(medium);
    out.replace_extension(ext);
    return out;
}

std::vector<FileFilter> SaveDialogFilters(int medium) {
    if (medium == medium::Gas) return {{"Gas Parameter (*.PGA)", "*.PGA"}};
    return {{"Energy Parameter (*.PEG)", "*.PEG"}};
}

std::vector<FileFilter> OpenDialogFilters(int medium) {
    std::vector<FileFilter> filters = SaveDialogFilters(medium);
    filters.push_back({"Parameter (*.PAR)", "*.PAR"});
    return filters;
}

std::string ShortenFileName(std::string_view name) {
    const std::u32string s = Decode(name);
    const std::size_t length = s.size();
    if (length <= 40) return std::string(name);
    auto isSeparator = [](char32_t c) { return c == U'\\' || c == U'/'; };

    // Head: up to and including the first separator among characters 4..14
    // (1-based), or the first three characters when there is none.
    std::size_t head = 3;
    for (std::size_t i = 3; i < 14; ++i) {
        if (isSeparator(s[i])) {
            head = i + 1;
            break;
        }
    }
    // Tail: from the first separator among the 20 characters that start at
    // character length - 20, or the last 22 characters when there is none.
    std::size_t tail = length - 22;
    for (std::size_t i = length - 21; i < length - 1; ++i) {
        if (isSeparator(s[i])) {
            tail = i;
            break;
        }
    }
    return Encode(std::u32string_view(s).substr(0, head)) + " ... " +
           Encode(std::u32string_view(s).substr(tail));
}

}  // namespace parvion
