#include "core/model/parameter_file.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <system_error>
#include <type_traits>

#include "core/model/parameter_walk.h"
#include "core/model/profile_file.h"
#include "core/model/units.h"
#include "core/model/value_format.h"
#include "core/model/variant.h"

namespace parvion {

namespace {

using parameter_walk::Range;
using parameter_walk::VisitRecords;

constexpr std::string_view kRemarkEnd = "@";

// Writes every field, whatever the expansion level.
class Writer {
  public:
    explicit Writer(ProfileFile& file) : file_(file) {}

    void section(std::string name) { section_ = std::move(name); }
    bool include(bool /*available*/) const { return true; }

    template <class T>
    void integer(std::string_view key, const T& field, std::string_view /*def*/,
                 bool /*available*/) {
        static_assert(std::is_integral_v<T>);
        file_.writeString(section_, key, std::to_string(static_cast<long long>(field)));
    }
    void real(std::string_view key, const float& field, std::string_view /*def*/,
              const std::optional<Range>& /*range*/, bool /*available*/) {
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
    void integer(std::string_view key, T& field, std::string_view def, bool available) {
        static_assert(std::is_integral_v<T>);
        if (!available) return;
        noteMissing(key);
        const std::string text = file_.readString(section_, key, def);
        const std::optional<double> number = ReadNumber(text);
        const std::optional<std::uint32_t> bits =
            number ? TruncateToBits(*number) : std::optional<std::uint32_t>();
        if (!bits) throw NotANumberError{section_, std::string(key), text};
        field = static_cast<T>(*bits);  // keeps the low bits of the field's width
    }
    void real(std::string_view key, float& field, std::string_view def,
              const std::optional<Range>& range, bool available) {
        if (!available) return;
        noteMissing(key);
        const std::string text = file_.readString(section_, key, def);
        const std::optional<double> number = ReadNumber(text);
        if (!number) throw NotANumberError{section_, std::string(key), text};
        field = ToSingle(*number);
        if (range && !(field >= range->lo && field <= range->hi)) field = range->fallback;
    }

    // "Section Key" of every key the file lacks, in file order.
    std::vector<std::string> missing;

  private:
    void noteMissing(std::string_view key) {
        if (!file_.hasKey(section_, key)) missing.push_back(section_ + " " + std::string(key));
    }

    const ProfileFile& file_;
    std::string section_;
};

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
    img.Display = DisplayRec{127, 127, VariantOf(medium).displayBox, 0};
}

std::string IdentOf(int medium) {
    const Variant* variant = FindVariant(medium);
    return variant != nullptr ? std::string(variant->fileMedium) : std::string();
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
        return ParameterFileResult{ParameterFileStatus::WrongVariant, {}, {}, {}, {}, {}};

    ProfileFile file(path);
    // An existing file that cannot be read is not replaced by a partial one.
    if (!file.loaded()) return FileError(ReasonOf(file.loadError(), file.loadErrorNumber()));

    file.writeString("Medium", "Ident", ident);
    Writer writer(file);
    VisitRecords(writer, image, medium);

    file.eraseSection(kRemarkSection);
    for (std::size_t i = 0; i < image.Bemerkung.size(); ++i) {
        file.writeString(kRemarkSection, RemarkKey(i + 1), StoredRemarkLine(image.Bemerkung[i]));
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
        return ParameterFileResult{ParameterFileStatus::WrongVariant, {}, {}, {}, {}, {}};
    }

    ParameterImage work = image;
    // The contents come from the file now, not from a device.
    work.marks.forgetAll();
    std::vector<std::string> missing;
    try {
        Reader reader(file);
        VisitRecords(reader, work, medium);
        missing = std::move(reader.missing);
    } catch (const NotANumberError& e) {
        return ParameterFileResult{
            ParameterFileStatus::NotANumber, e.section, e.key, e.value, {}, {}};
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

    work.Bemerkung = ReadRemarkLines(file);

    image = std::move(work);
    ParameterFileResult result;
    result.missingKeys = std::move(missing);
    return result;
}

std::string ListMissingKeys(const std::vector<std::string>& keys, std::size_t most) {
    std::string out;
    for (std::size_t i = 0; i < keys.size() && i < most; ++i) {
        out += (i == 0 ? "" : ", ") + keys[i];
    }
    if (keys.size() > most) out += ", \u2026 (+" + std::to_string(keys.size() - most) + ")";
    return out;
}

std::string RemarkKey(std::size_t line) {
    return "Zeile " + std::to_string(line);
}

std::vector<std::string> ReadRemarkLines(const ProfileFile& file) {
    std::vector<std::string> lines;
    for (std::size_t i = 1;; ++i) {
        std::string line = file.readString(kRemarkSection, RemarkKey(i), kRemarkEnd);
        if (line == kRemarkEnd) break;
        lines.push_back(std::move(line));
    }
    return lines;
}

bool RemarkReadsAsEnd(std::string_view line) {
    return ProfileValueAsRead(line) == kRemarkEnd;
}

std::string StoredRemarkLine(std::string_view line) {
    return std::string(RemarkReadsAsEnd(line) ? kEndMarkerLine : line);
}

bool IsParFile(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return ext == ".PAR";
}

std::string ParameterFileExtension(int medium) {
    return std::string(VariantOf(medium).extension);
}

std::filesystem::path WithParameterExtension(const std::filesystem::path& path, int medium) {
    std::filesystem::path out = path;
    std::string ext = ".";
    ext += ParameterFileExtension(medium);
    out.replace_extension(ext);
    return out;
}

std::vector<FileFilter> SaveDialogFilters(int medium) {
    const Variant& variant = VariantOf(medium);
    return {{std::string(variant.fileFilter), "*." + std::string(variant.extension)}};
}

std::vector<FileFilter> OpenDialogFilters(int medium) {
    std::vector<FileFilter> filters = SaveDialogFilters(medium);
    filters.push_back({"Parameter (*.PAR)", "*.PAR"});
    return filters;
}

std::string ShortenFileName(std::string_view name) {
    // Byte offsets of the characters of the UTF-8 name: positions count
    // characters, not bytes.
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (i == 0 || (static_cast<unsigned char>(name[i]) & 0xC0) != 0x80) starts.push_back(i);
    }
    const std::size_t length = starts.size();
    if (length <= 40) return std::string(name);
    auto isSeparator = [&](std::size_t c) {
        return name[starts[c]] == '\\' || name[starts[c]] == '/';
    };

    // Head: up to and including the first separator among characters 4..14
    // (1-based), or the first three characters when there is none.
    std::size_t head = 3;
    for (std::size_t i = 3; i < 14; ++i) {
        if (isSeparator(i)) {
            head = i + 1;
            break;
        }
    }
    // Tail: from the first separator among the 20 characters that start at
    // character length - 20, or the last 22 characters when there is none.
    std::size_t tail = length - 22;
    for (std::size_t i = length - 21; i < length - 1; ++i) {
        if (isSeparator(i)) {
            tail = i;
            break;
        }
    }
    std::string out(name.substr(0, starts[head]));
    out += " ... ";
    out += name.substr(starts[tail]);
    return out;
}

}  // namespace parvion
