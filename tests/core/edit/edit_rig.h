#pragma once
// The edit layer against the in-process simulator, with one log of what
// reaches the line and the window: "W T_User0" and "R EG_User" for each
// block written or read, "start 4", "step", "wait 50" and "hide" for the
// progress bar and the waits. Also the real string library of the build and
// the value format of the image, as the pages use them.

#include <memory>
#include <string>
#include <vector>

#include "core/app/session.h"
#include "core/app/texts.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/defaults.h"
#include "core/model/parameter_image.h"
#include "core/model/value_format.h"
#include "core/views/text_source.h"
#include "sim/lib/device.h"
#include "sim/lib/sim_line.h"
#include "support/line_decorator.h"
#include "support/temp_dir.h"

namespace parvion::test {

using Log = std::vector<std::string>;

// The parameter block at an address, by its parameter-file name.
inline std::string BlockName(std::uint16_t address) {
    struct Named {
        const char* name;
        block::Place (*place)(int);
        int count;
    };
    static const Named indexed[] = {{"T_User", block::T_User, 2},
                                    {"P_User", block::P_User, 2},
                                    {"Flow_User", block::Flow_User, 2},
                                    {"Des_User", block::Des_User, 2},
                                    {"Med_User", block::Med_User, 2},
                                    {"Bez_User", block::Bez_User, 2},
                                    {"Imp_User", block::Imp_User, 2},
                                    {"Aus_User", block::Aus_User, 4},
                                    {"UserEinheiten", block::UserEinheiten, 16}};
    for (const Named& n : indexed) {
        for (int i = 0; i < n.count; ++i) {
            if (n.place(i).address == address) return n.name + std::to_string(i);
        }
    }
    if (address == block::EG_User.address) return "EG_User";
    if (address == block::Dis_User.address) return "Dis_User";
    if (address == block::System.address) return "System";
    return "0x" + std::to_string(address);
}

// Passes everything to the simulator's line and logs each frame sent.
class LoggingLine : public LineDecorator {
  public:
    LoggingLine(SerialLine& inner, Log& log) : LineDecorator(inner), log_(log) {}
    bool write(const std::uint8_t* d, std::size_t n) override {
        if (n >= 4 && (d[0] == cmd::Read || d[0] == cmd::Write)) {
            const auto address = static_cast<std::uint16_t>((d[1] << 8) | d[2]);
            log_.push_back((d[0] == cmd::Write ? "W " : "R ") + BlockName(address));
        }
        return inner_.write(d, n);
    }

  private:
    Log& log_;
};

// Logs progress and waits into the same log; waits are not spent.
class LoggingUi : public UiHooks {
  public:
    explicit LoggingUi(Log& log) : log_(log) {}
    void progressStart(int maximum) override { log_.push_back("start " + std::to_string(maximum)); }
    void progressStep() override { log_.push_back("step"); }
    void progressHide() override { log_.push_back("hide"); }
    void waitMs(int ms) override { log_.push_back("wait " + std::to_string(ms)); }

  private:
    Log& log_;
};

// A device, the link to it and an image read from it.
struct EditRig {
    explicit EditRig(int medium = medium::Gas, std::uint8_t ausbaustufe = 0)
        : device(Options(medium, ausbaustufe)),
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
        link = std::make_unique<Link>(line, ui, session, dir.path());
        link->setPortResolver([](int) { return std::string("sim"); });
        EXPECT_TRUE(link->OpenComPort(1, device.baudIndex()));
        ReadAllParameters(*link, image);
        log.clear();
    }

    static sim::DeviceOptions Options(int medium, std::uint8_t ausbaustufe) {
        sim::DeviceOptions o;
        o.medium = medium;
        o.ausbaustufe = ausbaustufe;
        return o;
    }

    // The link stays made, but the session is offline: nothing may be sent.
    void goOffline() { session.Online = false; }

    // A record as the simulator's memory holds it.
    template <class Rec>
    Rec deviceRecord(block::Place place) const {
        Rec r{};
        EXPECT_TRUE(codec::decode(device.peek(place.address, place.count), r));
        return r;
    }
    // Writes a record into the simulator's memory and the image alike.
    template <class Rec>
    void put(block::Place place, Rec& inImage, const Rec& value) {
        inImage = value;
        device.poke(place.address, codec::encode(value));
    }

    test::TempDir dir;
    Log log;
    sim::Device device;
    sim::SimLine simLine{device};
    LoggingLine line{simLine, log};
    LoggingUi ui{log};
    Session session;
    TextLibrary texts;
    std::unique_ptr<Link> link;
    ParameterImage image;
    views::ValueFormatter format;
    views::BlockLoader blocks;
};

}  // namespace parvion::test
