// The live-value pages of circuit 1 and circuit 2 and the device clock.

#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>

#include "core/link/data_commands.h"
#include "core/link/parameter_blocks.h"
#include "core/model/value_format.h"
#include "core/views/circuit_values.h"
#include "gui/app/main_window.h"

namespace parvion::gui {

void Tfrm_Main::ReadCircuitValues(int circuit) {
    const int c = circuit == 1 ? 1 : 0;
    const auto ci = static_cast<std::size_t>(c);
    progressStart(8);
    DeviceState& dev = *device_;
    // Every step needs the one before; a failure keeps the old lines.
    [&] {
        if (!ReadDeviceClock(*link_, dev.DeviceDateTime, dev.ClockOffset)) return;
        progressStep();
        ReadSystem(*link_, image_);
        progressStep();
        showDeviceClock();
        if (!ReadOperatingValues(*link_, c, dev.OperatingValues[ci])) return;
        progressStep();
        if (!ReadCircuitParameters(*link_, image_, c)) return;
        progressStep();
        if (!ReadOutputCurrents(*link_, dev.OutputCurrents)) return;
        progressStep();
        if (!ReadDis_User(*link_, image_)) return;
        progressStep();
        if (image_.Dis_User.Einheiten != 0) {
            for (int q = 0; q < 16; ++q) ReadUserEinheiten(*link_, image_, q);
        }
        progressStep();
        (c == 0 ? ListeK1 : ListeK2)->clear();
        if (formReady_) ShowCircuitValues();
        progressStep();
    }();
    progressHide();
}

void Tfrm_Main::ShowCircuitValues() {
    const int c = NBBetrieb->currentWidget() == TabKreis2 ? 1 : 0;
    QListWidget* list = c == 0 ? ListeK1 : ListeK2;
    std::uint8_t bits = 0;
    const int number = ReadErrorState(*link_, bits);
    const views::CircuitValuesInput in{image_,
                                       session_.Medium,
                                       c,
                                       device_->OperatingValues[static_cast<std::size_t>(c)],
                                       device_->OutputCurrents,
                                       number,
                                       bits};
    const auto lines = views::BuildCircuitLines(
        in,
        [this](std::uint16_t first, std::uint8_t width, views::TextBlock& t) {
            return LoadTextBlock(first, width, t);
        },
        [this](std::uint8_t q, bool withUnit, bool trim, float v) {
            return FormatValue(image_, session_.Medium, q, withUnit, trim, v);
        });
    list->clear();
    for (const std::string& line : lines) list->addItem(QString::fromStdString(line));
}

void Tfrm_Main::showDeviceClock() {
    Ed_DateTime->setText(QString::fromStdString(FormatDeviceDateTime(device_->DeviceDateTime)));
}

void Tfrm_Main::cmd_SetDateTimeClick() {
    if (busy_) return;
    setBusy(true);
    if (WriteDeviceClock(*link_)) {
        ReadDeviceClock(*link_, device_->DeviceDateTime, device_->ClockOffset);
        showDeviceClock();
    }
    setBusy(false);
}

}  // namespace parvion::gui
