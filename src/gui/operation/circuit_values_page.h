#pragma once
// The live-value pages TabKreis1 and TabKreis2: the operating values of one
// circuit in the list ListeK1 / ListeK2, read from the device on entry, on
// the refresh timer and after a text reload.

#include <cstdint>

#include "gui/app/page.h"

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
    void redisplay() override;

  private:
    void showLines();

    int circuit_;
    QListWidget* list_;
    // The error state of the last read, for showing the lines again.
    int errorNumber_ = -1;
    std::uint8_t errorBits_ = 0;
    bool shown_ = false;
};

}  // namespace parvion::gui
