#pragma once
// The edit layer against the in-process simulator, with one log of what
// reaches the line and the window: "W T_User0" and "R EG_User" for each
// block written or read, "start 4", "step", "wait 50" and "hide" for the
// progress bar and the waits. Also the real string library of the build and
// the value format of the image, as the pages use them, and fields named as
// in a parameter file in one short text, "T_User0 Kind=1 Min=0 System
// Kind=2": a word without "=" names the section of the keys after it.

#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/app/texts.h"
#include "core/edit/circuit_page.h"
#include "core/edit/page_commands.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/parameter_walk.h"
#include "core/model/session.h"
#include "core/model/value_format.h"
#include "core/views/text_source.h"
#include "sim/lib/device.h"
#include "sim/lib/sim_line.h"
#include "support/line_decorator.h"
#include "support/temp_dir.h"

namespace parvion::test {

using Log = std::vector<std::string>;

// "start 2, W T_User0, step, ..."
inline std::string Joined(const Log& log, const char* separator = ", ") {
    std::string all;
    for (const std::string& entry : log) all += (all.empty() ? "" : separator) + entry;
    return all;
}

// Write, step, 50 ms, read back, step: the common write-back of one record.
inline std::string TwoSteps(const std::string& block) {
    return "start 2, W " + block + ", step, wait 50, R " + block + ", step, hide";
}

// A switch of Dis_User: written, 50 ms, a step, read back.
inline const std::string kDisUserSteps =
    "start 2, W Dis_User, wait 50, step, R Dis_User, step, hide";

// The records the pages read and write, each with its parameter-file
// section name and its place in the device.
template <class Fn>
void EachRecord(ParameterImage& im, Fn fn) {
    fn("EG_User", block::EG_User, im.EG_User);
    fn("Dis_User", block::Dis_User, im.Dis_User);
    fn("System", block::System, im.System);
    fn("Grenzwerte", block::Grenzwerte, im.Grenzwerte);
    fn("Trend_User", block::Trend_User, im.Trend_User);
    fn("Display", block::Display, im.Display);
    for (std::size_t i = 0; i < 16; ++i) {
        const int n = static_cast<int>(i);
        const std::string s = std::to_string(i);
        fn("UserEinheiten" + s, block::UserEinheiten(n), im.UserEinheiten[i]);
        if (i < 4) fn("Aus_User" + s, block::Aus_User(n), im.Aus_User[i]);
        if (i >= 2) continue;
        fn("Alm_User" + s, block::Alm_User(n), im.Alm_User[i]);
        fn("FlowKorr_" + std::to_string(i + 1), block::FlowKorr(n), im.FlowKorr[i]);
        fn("T_User" + s, block::T_User(n), im.T_User[i]);
        fn("P_User" + s, block::P_User(n), im.P_User[i]);
        fn("Flow_User" + s, block::Flow_User(n), im.Flow_User[i]);
        fn("Des_User" + s, block::Des_User(n), im.Des_User[i]);
        fn("Med_User" + s, block::Med_User(n), im.Med_User[i]);
        fn("Bez_User" + s, block::Bez_User(n), im.Bez_User[i]);
        fn("Imp_User" + s, block::Imp_User(n), im.Imp_User[i]);
    }
}

// The parameter block at an address, by its section name.
inline std::string BlockName(std::uint16_t address) {
    ParameterImage im;
    std::string name = "0x" + std::to_string(address);
    EachRecord(im, [&](const std::string& n, block::Place p, auto&) {
        if (p.address == address) name = n;
    });
    for (int k = 0; k < 8; ++k) {
        if (block::Vorgaben(k).address == address) name = "Vorgabe" + std::to_string(k + 1);
    }
    return name;
}

// Passes everything to the simulator's line and logs each frame sent, and
// progress and waits into the same log; waits are not spent.
class Logger : public LineDecorator, public UiHooks {
  public:
    Logger(SerialLine& inner, Log& log) : LineDecorator(inner), log_(log) {}
    bool write(const std::uint8_t* d, std::size_t n) override {
        if (n >= 4 && (d[0] == cmd::Read || d[0] == cmd::Write)) {
            const auto address = static_cast<std::uint16_t>((d[1] << 8) | d[2]);
            log_.push_back((d[0] == cmd::Write ? "W " : "R ") + BlockName(address));
        }
        return inner_.write(d, n);
    }
    void progressStart(int maximum) override { log_.push_back("start " + std::to_string(maximum)); }
    void progressStep() override { log_.push_back("step"); }
    void progressHide() override { log_.push_back("hide"); }
    void waitMs(int ms) override { log_.push_back("wait " + std::to_string(ms)); }
    void editNotSent(const LinkFailure& failure) override {
        log_.push_back(std::string("not sent ") + LinkCauseName(failure.cause));
    }

  private:
    Log& log_;
};

// One field of an image, "T_User0 Kind", found in the parameter file's own
// table of sections and keys.
struct FieldBinder {
    FieldBinder(ParameterImage& image, std::string field) : name(std::move(field)) {
        parameter_walk::VisitRecords(*this, image, medium::Gas);
        if (!get) ADD_FAILURE() << "no field " << name;
    }
    void section(std::string s) { at = std::move(s); }
    bool include(bool) const { return true; }
    template <class T, class... Ignored>
    void integer(std::string_view key, T& field, const Ignored&...) {
        if (at + " " + std::string(key) != name) return;
        get = [&field] { return static_cast<double>(field); };
        set = [&field](double v) { field = static_cast<T>(v); };
    }
    template <class... Ignored>
    void real(std::string_view key, float& field, const Ignored&... ignored) {
        integer(key, field, ignored...);
    }
    std::string name, at;
    std::function<double()> get;
    std::function<void(double)> set;
};

// Sets the fields of the text in the image; gives the text back with the
// image's own values.
inline std::string Fields(ParameterImage& image, std::string_view text, bool set) {
    std::istringstream words{std::string(text)};
    std::string word, section, out;
    while (words >> word) {
        const auto eq = word.find('=');
        if (eq == std::string::npos) {
            section = word;
        } else if (FieldBinder f(image, section + " " + word.substr(0, eq)); f.get) {
            if (set) f.set(std::stod(word.substr(eq + 1)));
            word = word.substr(0, eq + 1) + FormatGeneral(f.get(), 7);
        }
        out += (out.empty() ? "" : " ") + word;
    }
    return out;
}
inline void SetFields(ParameterImage& image, std::string_view text) {
    Fields(image, text, true);
}
inline std::string FieldValues(ParameterImage image, std::string_view text) {
    return Fields(image, text, false);
}
// The image holds the fields of the text.
inline void ExpectFields(const ParameterImage& image, std::string_view text) {
    EXPECT_EQ(FieldValues(image, text), text);
}

// A device, the link to it and an image read from it.
struct EditRig {
    explicit EditRig(int medium = medium::Gas)
        : device([medium] {
              sim::DeviceOptions o;
              o.medium = medium;
              return o;
          }()),
          texts(PARVION_BIN_DIR, session),
          format([this](std::uint8_t q, bool withUnit, bool trim, float v) {
              return FormatValue(image, session.Medium, q, withUnit, trim, v);
          }),
          blocks([this](std::uint16_t first, std::uint8_t width, views::TextBlock& t) {
              t.fill({});
              return texts.LoadTextBlock(first, width, t);
          }) {
        session.Medium = medium;
        session.Sprache = 1;
        session.Baudrate = device.baudIndex();
        link = std::make_unique<Link>(logger, logger, session, dir.path());
        link->setPortResolver([](int) { return std::string("sim"); });
        EXPECT_TRUE(link->OpenComPort(1, device.baudIndex()));
        ReadAllParameters(*link, image);
        mark();
    }

    // The link stays made, but the session is offline: nothing may be sent.
    void goOffline() { session.Online = false; }

    // What the simulator's memory holds, as an image.
    ParameterImage deviceImage() const {
        ParameterImage im;
        EachRecord(im, [this](const std::string&, block::Place p, auto& r) {
            EXPECT_TRUE(codec::Decode(device.peek(p.address, p.count), r));
        });
        return im;
    }
    // Sets fields in the image and in the simulator's memory alike; mark
    // clears the log and keeps the memory for expectDevice.
    void store(std::string_view fields) {
        SetFields(image, fields);
        EachRecord(image, [this](const std::string&, block::Place p, const auto& r) {
            device.poke(p.address, codec::Encode(r));
        });
        mark();
    }
    void mark() {
        log.clear();
        stored = deviceImage();
    }
    // The simulator's memory holds the fields, the records they name as the
    // image holds them, and every other record as at the last mark: a write
    // changes nothing it should not.
    void expectDevice(std::string_view fields) {
        ParameterImage held = deviceImage();
        ExpectFields(held, fields);
        const std::string named = " " + std::string(fields) + " ";
        std::map<std::string, std::vector<std::uint8_t>> bytes;
        EachRecord(stored, [&](const std::string& name, block::Place, const auto& r) {
            bytes[name] = codec::Encode(r);
        });
        EachRecord(image, [&](const std::string& name, block::Place, const auto& r) {
            if (named.find(" " + name + " ") != std::string::npos) bytes[name] = codec::Encode(r);
        });
        EachRecord(held, [&](const std::string& name, block::Place, const auto& r) {
            EXPECT_EQ(codec::Encode(r), bytes[name]) << name << " is not as stored with " << fields;
        });
    }

    // A setting as the parameter file names it, through the page rules.
    edit::SettingOutcome apply(const edit::Setting& setting) {
        return edit::ApplySetting(*link, image, setting, pageTexts());
    }
    // The page texts of the rig: its string library and value format.
    edit::PageTexts pageTexts() {
        return {blocks, [this](std::uint16_t n) { return texts.LoadText(n); }, format};
    }

    // A value accepted on the line that edits the setting "T_User0 Max", as
    // the dialog hands it over: on the page of the circuit, or else on the
    // first page that has the line.
    edit::GroupSet enter(std::string_view setting, float value, int circuit = -1) {
        for (int c : {0, 1}) {
            for (edit::CircuitGroup g : edit::kCircuitGroups) {
                for (const auto& l : edit::GroupLines(image, session.Medium, c, g)) {
                    if ((circuit < 0 || c == circuit) && edit::SettingName(l.field) == setting) {
                        return edit::ApplyLineValue(*link, image, c, g, l, value);
                    }
                }
            }
        }
        ADD_FAILURE() << "no line edits " << setting;
        return {};
    }

    test::TempDir dir;
    Log log;
    sim::Device device;
    sim::SimLine simLine{device};
    Logger logger{simLine, log};
    Session session;
    TextLibrary texts;
    std::unique_ptr<Link> link;
    ParameterImage image;
    ParameterImage stored;  // the device's memory at the last store
    views::ValueFormatter format;
    views::BlockLoader blocks;
};

// "[first|second]"
inline std::string Listed(const std::vector<std::string>& items) {
    return "[" + Joined(items, "|") + "]";
}

// A setting refused with its status, a message and a list of valid ones
// that hold the texts given; the image, the device and the log stay.
struct Refusal {
    edit::Setting setting;
    edit::SettingOutcome::Status status;
    const char* message;
    const char* valid;  // in the valid ones, Listed
};
inline void ExpectRefused(EditRig& rig, const Refusal& r) {
    SCOPED_TRACE(r.setting.section + " " + r.setting.key + " " + r.setting.value);
    const ParameterImage before = rig.image;
    rig.mark();
    const edit::SettingOutcome out = rig.apply(r.setting);
    EXPECT_EQ(out.status, r.status);
    EXPECT_NE(out.message.find(r.message), std::string::npos) << out.message;
    EXPECT_NE(Listed(out.valid).find(r.valid), std::string::npos) << Listed(out.valid);
    EXPECT_EQ(rig.image, before);
    EXPECT_EQ(Joined(rig.log), "");
    rig.expectDevice("");
}

}  // namespace parvion::test
