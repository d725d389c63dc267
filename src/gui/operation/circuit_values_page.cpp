#include "gui/operation/circuit_values_page.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "core/link/data_commands.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/device_records.h"
#include "core/views/circuit_values.h"
#include "gui/app/widgets.h"

namespace parvion::gui {

CircuitValuesPage::CircuitValuesPage(PageContext& context, int circuit, QWidget* parent)
    : Page(context, circuit == 0 ? QStringLiteral("TabKreis1") : QStringLiteral("TabKreis2"),
           parent),
      circuit_(circuit == 1 ? 1 : 0) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    list_ = valueList(this, circuit_ == 0 ? QStringLiteral("ListeK1") : QStringLiteral("ListeK2"));
    layout->addWidget(list_);
}

void CircuitValuesPage::ReadCircuitValues() {
    const auto ci = static_cast<std::size_t>(circuit_);
    UiHooks& ui = ctx_.ui;
    Link& link = ctx_.link;
    DeviceState& dev = ctx_.device;
    ParameterImage& image = ctx_.image;
    ui.progressStart(8);
    [&] {
        if (!ReadDeviceClock(link, dev.DeviceDateTime, dev.ClockOffset)) return;
        ui.progressStep();
        ReadSystem(link, image);
        ui.progressStep();
        ctx_.host.showDeviceClock();
        if (!ReadOperatingValues(link, circuit_, dev.OperatingValues[ci])) return;
        ui.progressStep();
        if (!ReadCircuitParameters(link, image, circuit_)) return;
        ui.progressStep();
        if (!ReadOutputCurrents(link, dev.OutputCurrents)) return;
        ui.progressStep();
        if (!ReadDis_User(link, image)) return;
        ui.progressStep();
        if (image.Dis_User.Einheiten != 0) {
            for (int q = 0; q < 16; ++q) ReadUserEinheiten(link, image, q);
        }
        ui.progressStep();
        list_->clear();
        if (ctx_.host.formReady()) ShowCircuitValues();
        ui.progressStep();
    }();
    ui.progressHide();
}

void CircuitValuesPage::ShowCircuitValues() {
    std::uint8_t bits = 0;
    errorNumber_ = ReadErrorState(ctx_.link, bits);
    errorBits_ = bits;
    shown_ = true;
    showLines();
}

void CircuitValuesPage::redisplay() {
    // Only lines that were read from a device are shown again.
    if (shown_ && list_->count() > 0) showLines();
}

void CircuitValuesPage::showLines() {
    const auto ci = static_cast<std::size_t>(circuit_);
    const views::CircuitValuesInput in{ctx_.image,
                                       ctx_.medium(),
                                       circuit_,
                                       ctx_.device.OperatingValues[ci],
                                       ctx_.device.OutputCurrents,
                                       errorNumber_,
                                       errorBits_};
    refill(list_, views::BuildCircuitLines(in, ctx_.blocks(), ctx_.values()));
}

}  // namespace parvion::gui
