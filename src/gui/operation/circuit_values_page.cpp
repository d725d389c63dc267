#include "gui/operation/circuit_values_page.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "core/link/data_commands.h"
#include "core/link/live_read.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/device_records.h"
#include "core/views/circuit_values.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

namespace {
// Why the page is empty offline.
constexpr std::uint16_t kOfflineNoteText = 22806;
}  // namespace

CircuitValuesPage::CircuitValuesPage(PageContext& context, int circuit, QWidget* parent)
    : Page(context, circuit == 0 ? QStringLiteral("TabKreis1") : QStringLiteral("TabKreis2"),
           parent),
      circuit_(circuit == 1 ? 1 : 0) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    staleNote_ = new QLabel(this);
    staleNote_->setObjectName(circuit_ == 0 ? QStringLiteral("StaleNote1")
                                            : QStringLiteral("StaleNote2"));
    staleNote_->setWordWrap(true);
    staleNote_->setStyleSheet(QStringLiteral("QLabel { color: #a00000; font-weight: bold; }"));
    staleNote_->hide();
    layout->addWidget(staleNote_);
    list_ = valueList(this, circuit_ == 0 ? QStringLiteral("ListeK1") : QStringLiteral("ListeK2"));
    layout->addWidget(list_);
}

void CircuitValuesPage::ReadCircuitValues() {
    UiHooks& ui = ctx_.ui;
    ui.progressStart(kLiveReadSteps + 1);
    if (ReadLiveValues(ctx_.link, ctx_.image, ctx_.device, circuit_,
                       [this] { ctx_.host.showDeviceClock(); }) == LiveRead::Complete) {
        lastRead_ = RunningDeviceClock(0.0, SystemLocalNow());
        list_->clear();
        if (ctx_.host.formReady()) ShowCircuitValues();
        setStale(false);
        ui.progressStep();
    } else if (list_->count() > 0) {
        // The lines of the last good read stay, marked as not current.
        failure_ = ctx_.link.lastFailure();
        setStale(true);
    }
    ui.progressHide();
}

void CircuitValuesPage::setStale(bool stale) {
    if (stale == stale_) {
        showStale();
        return;
    }
    stale_ = stale;
    setValueListStale(list_, stale);
    showStale();
}

void CircuitValuesPage::showStale() {
    if (!stale_ && !ctx_.online() && list_->count() == 0) {
        // Offline with nothing read: the note says why the page is empty.
        staleNote_->setText(QString::fromStdString(ctx_.text(kOfflineNoteText)));
        staleNote_->show();
        return;
    }
    if (!stale_) {
        staleNote_->hide();
        staleNote_->clear();
        return;
    }
    const views::TextLoader text = [this](std::uint16_t n) { return ctx_.text(n); };
    staleNote_->setText(QString::fromStdString(
        views::StaleValuesNote(lastRead_, LinkFailureText(failure_, text), text)));
    staleNote_->show();
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
    showStale();
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
