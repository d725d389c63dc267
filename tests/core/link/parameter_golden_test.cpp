// Pins the parameter records' wire blocks, their decoding, the parameter
// files written and read back, the field list and the differences, for the
// default sets, the fixture files and seeded random images, against the
// fingerprints in tests/fixtures/golden/parameter_records.txt. A change of
// any byte of a block, of a decoded field, of a saved file (key order,
// formats) or of a reader rule (defaults, clamps, availability) fails here.
//
// PARVION_WRITE_GOLDEN=1 writes the fingerprints anew (after a change that
// is meant to change behaviour); PARVION_GOLDEN_DUMP=<folder> writes the
// full texts behind each fingerprint, for comparing two versions.

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <concepts>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <type_traits>

#include "core/link/parameter_blocks.h"
#include "core/model/defaults.h"
#include "core/model/parameter_diff.h"
#include "core/model/parameter_file.h"
#include "support/temp_dir.h"

namespace parvion {
namespace {

namespace fs = std::filesystem;
using test::FixturePath;

// --- every member of a record, found by structured binding, so that the
// dumps and the random images need no field list of their own (a record that
// gains or loses a member stops compiling here).

template <class Fn, class... M>
void Each(Fn& fn, M&... m) {
    (fn(m), ...);
}

// ForMembers(record, fn) calls fn with each member of the record in turn.
#define PARVION_MEMBERS(Rec, ...)                      \
    template <class R, class Fn>                       \
    requires std::same_as<std::remove_const_t<R>, Rec> \
    void ForMembers(R& r, Fn&& fn) {                   \
        auto& [__VA_ARGS__] = r;                       \
        Each(fn, __VA_ARGS__);                         \
    }
PARVION_MEMBERS(T_UserRec, a, b, c, d, e, f, g, h, i, j, k)
PARVION_MEMBERS(P_UserRec, a, b, c, d, e, f, g, h, i, j, k)
PARVION_MEMBERS(Flow_UserRec, a, b, c, d, e, f, g, h, i, j)
PARVION_MEMBERS(Des_UserRec, a, b, c, d, e, f, g, h)
PARVION_MEMBERS(Med_UserRec, a, b, c, d, e, f, g, h, i, j, k)
PARVION_MEMBERS(EG_UserRec, a, b, c, d)
PARVION_MEMBERS(Bez_UserRec, a, b, c, d)
PARVION_MEMBERS(Imp_UserRec, a, b, c, d, e)
PARVION_MEMBERS(Alm_UserRec, a, b, c, d, e, f, g)
PARVION_MEMBERS(Aus_UserRec, a, b, c, d, e, f, g)
PARVION_MEMBERS(Dis_UserRec, a, b, c, d)
PARVION_MEMBERS(UserEinheitRec, a, b, c, d, e, f)
PARVION_MEMBERS(Trend_UserRec, a, b, c, d)
PARVION_MEMBERS(FlowKorrRec, a)
PARVION_MEMBERS(GrenzwerteRec, a, b, c, d)
PARVION_MEMBERS(SystemRec, a, b, c, d, e, f, g, h, i)
PARVION_MEMBERS(DisplayRec, a, b, c, d)
PARVION_MEMBERS(BetriebRec, a)
#undef PARVION_MEMBERS

std::string Hex(const std::uint8_t* p, std::size_t n) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        s += kDigits[p[i] >> 4];
        s += kDigits[p[i] & 15];
    }
    return s;
}
std::string Hex(const wire::Bytes& b) {
    return Hex(b.data(), b.size());
}

// One member as exact text: integers in decimal, floats as their bits.
struct DumpMember {
    std::string& out;
    template <class T>
    void operator()(const T& v) {
        out += ' ';
        if constexpr (std::is_same_v<T, float>) {
            char buf[12];
            std::snprintf(buf, sizeof buf, "%08x", std::bit_cast<std::uint32_t>(v));
            out += buf;
        } else if constexpr (std::is_integral_v<T>) {
            out += std::to_string(static_cast<long long>(v));
        } else if constexpr (std::is_same_v<T, std::string>) {
            out += '"' + Hex(reinterpret_cast<const std::uint8_t*>(v.data()), v.size()) + '"';
        } else {
            out += '[';
            for (const auto& e : v) (*this)(e);
            out += " ]";
        }
    }
};

template <class Rec>
std::string Dump(const Rec& r) {
    std::string out;
    ForMembers(r, DumpMember{out});
    return out;
}

// Fills every member with seeded random values. Tame values are finite
// and mostly within a device's ranges (so that a saved file loads again);
// wild ones take any bit pattern, erased memory and infinities included.
struct RandomFill {
    std::mt19937& rng;
    bool wild;
    std::uint32_t bits() { return static_cast<std::uint32_t>(rng()); }
    float real() {
        static constexpr std::uint32_t kSpecial[] = {0xFFFFFFFFu, 0x7F800000u, 0xFF800000u,
                                                     0x7FC00000u, 0x00000001u, 0x80000000u};
        static constexpr float kEdges[] = {0.0f,  1e-10f, -1e-10f,    1e-9f,       2e10f, -2e10f,
                                           0.25f, 10.0f,  0.24f,      1.25f,       1.5f,  0.125f,
                                           1e-6f, 1e-5f,  1234567.0f, 12345678.0f, -0.5f, 100.0f};
        const std::uint32_t pick = bits() % 8;
        if (wild && pick == 0) return std::bit_cast<float>(kSpecial[bits() % std::size(kSpecial)]);
        if (wild && pick == 1) return std::bit_cast<float>(bits());
        if (pick <= 3) return kEdges[bits() % std::size(kEdges)];
        const float mantissa = static_cast<float>(bits() % 2000001) / 1000.0f - 1000.0f;
        const int exponent = static_cast<int>(bits() % 13) - 6;
        return mantissa * std::pow(10.0f, static_cast<float>(exponent));
    }
    template <class T>
    void operator()(T& v) {
        if constexpr (std::is_same_v<T, float>) {
            v = real();
        } else if constexpr (std::is_same_v<T, std::int32_t>) {
            v = static_cast<std::int32_t>(wild ? bits() : bits() % 2001) - (wild ? 0 : 1000);
        } else if constexpr (std::is_integral_v<T>) {
            v = static_cast<T>(bits());
        } else if constexpr (std::is_same_v<T, std::string>) {
            v.clear();
            for (std::uint32_t n = bits() % 8; n > 0; --n)
                v += static_cast<char>(' ' + bits() % 95);
        } else {
            for (auto& e : v) (*this)(e);
        }
    }
};

// --- the blocks of an image: every record instance with its name.
template <class Image, class Fn>
void ForEachBlock(Image& img, Fn&& fn) {
    auto each = [&](const char* name, auto& records) {
        for (std::size_t i = 0; i < records.size(); ++i) fn(name + std::to_string(i), records[i]);
    };
    each("T_User", img.T_User);
    each("P_User", img.P_User);
    each("Flow_User", img.Flow_User);
    each("Des_User", img.Des_User);
    each("Med_User", img.Med_User);
    fn(std::string("EG_User"), img.EG_User);
    each("Bez_User", img.Bez_User);
    each("Imp_User", img.Imp_User);
    each("Alm_User", img.Alm_User);
    each("Aus_User", img.Aus_User);
    fn(std::string("Dis_User"), img.Dis_User);
    each("UserEinheiten", img.UserEinheiten);
    fn(std::string("Trend_User"), img.Trend_User);
    each("FlowKorr", img.FlowKorr);
    fn(std::string("Grenzwerte"), img.Grenzwerte);
    fn(std::string("System"), img.System);
    fn(std::string("Display"), img.Display);
    fn(std::string("Betrieb"), img.Betrieb);
}

std::string DumpImage(const ParameterImage& img) {
    std::string out;
    ForEachBlock(img, [&](const std::string& name, const auto& rec) {
        out += name + ':' + Dump(rec) + '\n';
    });
    out += "Vorgaben:";
    for (const float v : img.Vorgaben) DumpMember{out}(v);
    out += "\nBemerkung:";
    for (const auto& line : img.Bemerkung) DumpMember{out}(line);
    return out + '\n';
}

ParameterImage RandomImage(unsigned seed, bool wild, int medium) {
    std::mt19937 rng(seed);
    ParameterImage img;
    ResetParameters(img, medium);
    RandomFill fill{rng, wild};
    ForEachBlock(img, [&](const std::string&, auto& rec) { ForMembers(rec, fill); });
    for (float& v : img.Vorgaben) fill(v);
    static constexpr std::uint8_t kLevels[] = {ausbaustufe::HighEnd, ausbaustufe::BasicA2,
                                               ausbaustufe::BasicA1, ausbaustufe::Basic};
    if (!wild) img.System.Ausbaustufe = kLevels[rng() % 4];
    img.Bemerkung = {"Zeile mit Umlaut \xC3\xA4", "", "zweite"};
    return img;
}

// --- what is pinned of one image.

// Every block as sent, and the record decoded from it (over the image's own
// record, as a read does).
std::string Blocks(const ParameterImage& img, std::string& decoded) {
    std::string out;
    ForEachBlock(img, [&](const std::string& name, const auto& rec) {
        const wire::Bytes b = codec::Encode(rec);
        out += name + ' ' + Hex(b) + '\n';
        auto back = rec;
        const bool ok = codec::Decode(b, back);
        decoded += name + (ok ? " ok" : " refused") + Dump(back) + '\n';
    });
    for (std::size_t k = 0; k < img.Vorgaben.size(); ++k) {
        const wire::Bytes b = codec::EncodeVorgabe(img.Vorgaben[k]);
        out += "Vorgaben" + std::to_string(k) + ' ' + Hex(b) + '\n';
        float back = img.Vorgaben[k];
        const bool ok = codec::DecodeVorgabe(b, back);
        decoded += "Vorgaben" + std::to_string(k) + (ok ? " ok" : " refused");
        DumpMember{decoded}(back);
        decoded += '\n';
    }
    return out;
}

std::string Fields(const std::vector<ParameterField>& fields) {
    std::string out;
    for (const auto& f : fields) out += '[' + f.section + "] " + f.key + '=' + f.value + '\n';
    return out;
}

std::string Diff(const std::vector<ParameterDifference>& diff) {
    std::string out;
    for (const auto& d : diff) {
        out += '[' + d.section + "] " + d.key + ' ' + d.left + " | " + d.right + '\n';
    }
    return out;
}

std::string Status(const ParameterFileResult& r) {
    return std::to_string(static_cast<int>(r.status)) + ' ' + r.section + ' ' + r.key + ' ' +
           r.value + '\n';
}

std::uint64_t Fnv1a(const std::string& text) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ull;
    }
    return h;
}

fs::path GoldenFile() {
    return FixturePath("golden", "parameter_records.txt");
}

// Name -> text; the texts are compared by fingerprint.
using Pins = std::map<std::string, std::string>;

ParameterImage Defaults(int medium) {
    ParameterImage img;
    ResetParameters(img, medium);
    return img;
}

void PinImage(Pins& pins, const test::TempDir& dir, const std::string& name,
              const ParameterImage& img, int medium) {
    std::string decoded;
    pins[name + ".blocks"] = Blocks(img, decoded);
    pins[name + ".decoded"] = decoded;

    const fs::path file = dir / (name + (medium == medium::Gas ? ".PGA" : ".PEG"));
    const ParameterFileResult saved = SaveParameterFile(file, img, medium);
    pins[name + ".file"] = Status(saved) + test::readFileBytes(file);

    // Read back into the defaults at the image's expansion level, and at
    // the smallest one.
    for (const std::uint8_t level : {img.System.Ausbaustufe, ausbaustufe::Basic}) {
        ParameterImage back;
        back.System.Ausbaustufe = level;
        ResetParameters(back, medium);
        const ParameterFileResult r = LoadParameterFile(file, back, medium);
        pins[name + ".reload" + std::to_string(level)] = Status(r) + DumpImage(back);
    }

    pins[name + ".fields"] = Fields(ListParameterFields(img, medium, false));
    pins[name + ".present"] = Fields(ListParameterFields(img, medium, true));
    const ParameterImage defaults = Defaults(medium);
    pins[name + ".diff"] = Diff(DiffParameterImages(defaults, img, medium, true)) + "--\n" +
                           Diff(DiffParameterImages(img, defaults, medium, false));
}

// Decoding of arbitrary device bytes (erased memory and infinities among
// them) over a record that holds other values; short blocks are refused.
template <class Rec>
void PinRawDecode(std::string& out, std::mt19937& rng, const std::string& name) {
    const std::size_t size = codec::Encode(Rec{}).size();
    RandomFill fill{rng, true};
    for (int round = 0; round < 4; ++round) {
        wire::Bytes b(size);
        for (auto& x : b) x = static_cast<std::uint8_t>(rng());
        for (std::size_t at = 0; at + 4 <= size; at += 4) {
            const std::uint32_t pick = static_cast<std::uint32_t>(rng()) % 6;
            const std::uint32_t special = pick == 0   ? 0xFFFFFFFFu
                                          : pick == 1 ? 0x7F800000u
                                          : pick == 2 ? 0xFF800000u
                                                      : 0;
            if (special != 0) wire::PutLong(b, at, special);
        }
        Rec r;
        ForMembers(r, fill);
        const bool ok = codec::Decode(b, r);
        out += name + ' ' + Hex(b) + (ok ? " ok" : " refused") + Dump(r) + '\n';
    }
    Rec r;
    ForMembers(r, fill);
    const std::string before = Dump(r);
    const bool ok = codec::Decode(wire::Bytes(size - 1, 0), r);
    out += name + " short " + (ok ? "ok" : "refused") +
           (Dump(r) == before ? " unchanged" : " changed") + '\n';
}

Pins Collect() {
    Pins pins;
    test::TempDir dir;
    PinImage(pins, dir, "defaults_gas", Defaults(medium::Gas), medium::Gas);
    PinImage(pins, dir, "defaults_energy", Defaults(medium::Energy), medium::Energy);

    struct FixtureCase {
        const char* file;
        int medium;
        std::uint8_t level;
    };
    for (const FixtureCase c :
         {FixtureCase{"gas_full.PGA", medium::Gas, ausbaustufe::HighEnd},
          FixtureCase{"gas_full.PGA", medium::Gas, ausbaustufe::BasicA2},
          FixtureCase{"gas_full.PGA", medium::Gas, ausbaustufe::BasicA1},
          FixtureCase{"energy_full.PEG", medium::Energy, ausbaustufe::Basic},
          FixtureCase{"energy_full.PEG", medium::Energy, 0},
          FixtureCase{"edited.PGA", medium::Gas, 0}, FixtureCase{"old_gas.PAR", medium::Gas, 0},
          FixtureCase{"old_gas.PAR", medium::Gas, ausbaustufe::Basic},
          FixtureCase{"not_a_number.PGA", medium::Gas, 0}}) {
        ParameterImage img;
        img.System.Ausbaustufe = c.level;
        ResetParameters(img, c.medium);
        const ParameterFileResult r =
            LoadParameterFile(FixturePath("params", c.file), img, c.medium);
        const std::string name = std::string(c.file) + '@' + std::to_string(c.level);
        pins[name + ".load"] = Status(r) + DumpImage(img);
        if (r.ok()) PinImage(pins, dir, name, img, c.medium);
    }

    // Files with nothing but the variant: every key takes its reader default.
    for (const int medium : {medium::Gas, medium::Energy}) {
        const fs::path file = dir / (medium == medium::Gas ? "empty.PGA" : "empty.PEG");
        test::writeFileBytes(file, medium == medium::Gas ? "[Medium]\r\nIdent=GAS\r\n"
                                                         : "[Medium]\r\nIdent=STEAM\r\n");
        ParameterImage img = RandomImage(31, false, medium);
        img.System.Ausbaustufe = ausbaustufe::HighEnd;
        const ParameterFileResult r = LoadParameterFile(file, img, medium);
        pins[file.filename().string() + ".load"] = Status(r) + DumpImage(img);
    }

    PinImage(pins, dir, "random_tame_gas", RandomImage(11, false, medium::Gas), medium::Gas);
    PinImage(pins, dir, "random_tame_energy", RandomImage(12, false, medium::Energy),
             medium::Energy);
    PinImage(pins, dir, "random_wild_gas", RandomImage(13, true, medium::Gas), medium::Gas);

    std::mt19937 rng(21);
    std::string raw;
    ParameterImage kinds;  // one of each record kind, in the order of the blocks
    ForEachBlock(kinds, [&](const std::string& name, auto& rec) {
        const std::string kind = name.substr(0, name.find_last_not_of("0123456789") + 1);
        if (name == kind || name == kind + '0') {
            PinRawDecode<std::remove_cvref_t<decltype(rec)>>(raw, rng, kind);
        }
    });
    pins["raw.decode"] = raw;
    return pins;
}

std::map<std::string, std::string> ReadGolden() {
    std::map<std::string, std::string> golden;
    std::ifstream in(GoldenFile());
    std::string name, hash;
    while (in >> name >> hash) golden[name] = hash;
    return golden;
}

std::string Fingerprint(const std::string& text) {
    char buf[20];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(Fnv1a(text)));
    return buf;
}

TEST(ParameterRecordsGolden, BlocksFilesFieldsAndDiffsAreAsPinned) {
    const Pins pins = Collect();
    if (const char* dump = std::getenv("PARVION_GOLDEN_DUMP")) {
        fs::create_directories(dump);
        for (const auto& [name, text] : pins) {
            std::ofstream(fs::path(dump) / name, std::ios::binary) << text;
        }
    }
    if (std::getenv("PARVION_WRITE_GOLDEN") != nullptr) {
        fs::create_directories(GoldenFile().parent_path());
        std::ofstream out(GoldenFile(), std::ios::binary);
        for (const auto& [name, text] : pins) out << name << ' ' << Fingerprint(text) << '\n';
        GTEST_SKIP() << "wrote " << GoldenFile();
    }
    const auto golden = ReadGolden();
    ASSERT_FALSE(golden.empty()) << "no fingerprints in " << GoldenFile();
    EXPECT_EQ(golden.size(), pins.size());
    for (const auto& [name, text] : pins) {
        const auto it = golden.find(name);
        ASSERT_NE(it, golden.end()) << "no fingerprint for " << name;
        EXPECT_EQ(it->second, Fingerprint(text)) << name << " differs; it is now:\n" << text;
    }
}

}  // namespace
}  // namespace parvion
