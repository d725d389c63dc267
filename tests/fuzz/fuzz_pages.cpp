// The page line builders over arbitrary device records: the input is decoded
// block by block into a parameter image and a device state, as the device's
// replies would be, and every page, list and export is built from them with
// the real string libraries.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/app/texts.h"
#include "core/edit/alarm_output_page.h"
#include "core/edit/circuit_page.h"
#include "core/edit/display_settings.h"
#include "core/edit/page_commands.h"
#include "core/edit/system_commands.h"
#include "core/edit/system_page.h"
#include "core/link/data_commands.h"
#include "core/link/parameter_blocks.h"
#include "core/model/session.h"
#include "core/model/value_format.h"
#include "core/views/about_lines.h"
#include "core/views/circuit_values.h"
#include "core/views/error_protocol_lines.h"
#include "core/views/integrator_lines.h"
#include "core/views/trend_export.h"
#include "core/views/trend_series.h"
#include "fuzz_support.h"

using namespace parvion;

namespace {

// Every parameter block, kind by kind, as the device would send it.
void FillImage(fuzz::ByteReader& in, ParameterImage& im) {
    for (int k = 0; k < kBlockKinds; ++k) {
        const auto kind = static_cast<BlockKind>(k);
        for (int i = 0; i < BlockCount(kind); ++i) {
            (void)codec::DecodeBlock(in.bytes(block::Of({kind, i}).count), im, {kind, i});
        }
    }
}

void FillDevice(fuzz::ByteReader& in, DeviceState& d) {
    for (auto& values : d.OperatingValues) values = data::DecodeOperatingValues(in.bytes(80));
    d.OutputCurrents = data::DecodeOutputCurrents(in.bytes(16));
    const auto ring = in.bytes(ErrorProtocolRec::kGroups);
    std::copy(ring.begin(), ring.end(), d.ErrorProtocol.RingPos.begin());
    for (auto& group : d.ErrorProtocol.Entry) group = data::DecodeErrorPage(in.bytes(128));
    const auto ringPos = in.byte();
    for (auto& circuit : d.Integrators.Entry) {
        for (const std::uint8_t slot : data::IntegratorSlotOrder(ringPos)) {
            circuit[slot % circuit.size()] = data::DecodeIntegratorEntry(in.bytes(32));
        }
    }
    TrendStore& store = d.TrendStore;
    store.Directory = data::DecodeTrendDirectory(in.bytes(36));
    // A few blocks from the input (each: header, validity, then its values).
    for (int n = 0; n < 4 && !in.empty(); ++n) {
        TrendBlock& b = store.Block[in.byte() % TrendStore::kBlocks];
        b.Header = data::DecodeTrendHeader(in.bytes(8));
        b.Valid = data::IsPlausibleTrendHeader(b.Header) || (in.byte() & 1);
        for (auto& series : b.Series) {
            for (float& v : series) {
                const auto raw = in.bytes(4);
                std::memcpy(&v, raw.data(), sizeof v);
            }
        }
    }
    d.DeviceSerialNo = std::string(in.rest().substr(0, 16));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader in(data, size);
    const std::uint8_t how = in.byte();
    Session session;
    session.Medium = how & 1;
    session.Sprache = (how >> 1) & 1;
    const int medium = session.Medium;

    auto image = std::make_unique<ParameterImage>();
    auto device = std::make_unique<DeviceState>();
    FillImage(in, *image);
    const std::uint8_t errorBits = in.byte();
    const int errorNumber = static_cast<int>(in.byte()) - 1;
    FillDevice(in, *device);

    static const TextLibrary* texts = nullptr;
    static Session textSession;
    if (texts == nullptr) texts = new TextLibrary(PARVION_TEXTS_DIR, textSession);
    textSession = session;
    const views::BlockLoader blocks = [](std::uint16_t first, std::uint8_t width,
                                         views::TextBlock& t) {
        t.fill({});
        return texts->LoadTextBlock(first, width, t);
    };
    const views::TextLoader text = [](std::uint16_t n) { return texts->LoadText(n); };
    const ParameterImage& im = *image;
    const views::ValueFormatter format = [&im, medium](std::uint8_t q, bool withUnit, bool trim,
                                                       float v) {
        return FormatValue(im, medium, q, withUnit, trim, v);
    };
    const edit::PageTexts pageTexts{blocks, text, format};

    for (int circuit = 0; circuit < 2; ++circuit) {
        for (const edit::PageName page :
             {edit::PageName::Circuit, edit::PageName::Units, edit::PageName::Remarks,
              edit::PageName::Relays, edit::PageName::Outputs, edit::PageName::Display,
              edit::PageName::System, edit::PageName::TrendRecording, edit::PageName::Correction}) {
            (void)edit::PrintPage(page, im, medium, circuit, pageTexts);
        }
        for (const edit::CircuitGroup group : edit::kCircuitGroups) {
            (void)edit::GroupListTexts(im, medium, circuit, group, blocks, format);
        }
        const views::CircuitValuesInput values{
            im,
            medium,
            circuit,
            device->OperatingValues[static_cast<std::size_t>(circuit)],
            device->OutputCurrents,
            errorNumber,
            errorBits};
        (void)views::BuildCircuitLines(values, blocks, format);
        (void)views::BuildIntegratorLines(device->Integrators, circuit, blocks, format);
        (void)views::TrendCircuitInstants(device->TrendStore, circuit,
                                          views::TrendDisplayUnits(im, medium));
    }
    for (int alarm = 0; alarm < 2; ++alarm)
        (void)edit::AlarmListTexts(im, medium, alarm, blocks, format);
    for (int output = 0; output < 4; ++output) {
        (void)edit::OutputListTexts(im, medium, output, blocks, format);
    }
    (void)edit::RelaySettings(im);
    (void)edit::OutputSettings(im);
    (void)edit::DisplaySettings(im);
    (void)edit::SystemPageSettings(im, pageTexts);
    (void)views::BuildErrorProtocolLines(device->ErrorProtocol, im.System, text, blocks);
    (void)views::BuildAboutLines(
        text, views::AboutDeviceInfo{im.System.Ausbaustufe, device->DeviceSerialNo,
                                     device->DeviceSerialNo});
    const auto header = views::TrendGridHeader(blocks, [&](std::uint8_t q) {
        return FormatValue(im, medium, q, true, true, 0).substr(0, 8);
    });
    (void)views::BuildTrendExport(device->TrendStore, device->DeviceSerialNo, header, format);
    return 0;
}
