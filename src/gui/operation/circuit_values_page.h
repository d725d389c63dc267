#pragma once
// The live-value pages TabKreis1 and TabKreis2: the operating values of one
// circuit in the list ListeK1 / ListeK2, read from the device on entry, on
// the refresh timer and after a text reload. Lines that a refresh could not
// renew stay, greyed, under a note (StaleNote1 / StaleNote2) with the time
// of the last good read and why the link failed, until a read succeeds.

#include <cstdint>

#include "core/link/link_failure.h"
#include "core/model/device_time.h"
#include "gui/shared/page.h"

class QLabel;
class QListWidget;

namespace parvion::gui {

class CircuitValuesPage : public Page {
    Q_OBJECT
  public:
    // circuit: 0 (TabKreis1) or 1 (TabKreis2).
    CircuitValuesPage(PageContext& context, int circuit, QWidget* parent = nullptr);

    int circuit() const { return circuit_; }

    // Reads clock, system, live values, circuit parameters, output currents
    // and display units; every step needs the one before, and a failure
    // keeps the lines shown so far.
    void ReadCircuitValues();
    // Reads the device's error state and shows the lines.
    void ShowCircuitValues();

    void fill() override { ReadCircuitValues(); }
    void updateTexts() override { showStale(); }
    void redisplay() override;

    // The lines on show are from an earlier read that a refresh could not
    // renew.
    bool stale() const { return stale_; }

  private:
    void showLines();
    // Marks the lines as not current (or as current again) and writes the note.
    void setStale(bool stale);
    void showStale();

    int circuit_;
    QListWidget* list_;
    QLabel* staleNote_;
    bool stale_ = false;
    // The computer's time of the last complete read, and why the link
    // failed since.
    DeviceDateTime lastRead_;
    LinkFailure failure_;
    // The error state of the last read, for showing the lines again.
    int errorNumber_ = -1;
    std::uint8_t errorBits_ = 0;
    bool shown_ = false;
};

}  // namespace parvion::gui
