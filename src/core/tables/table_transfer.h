#pragma once
// Reading a table from the device into a grid and transmitting a grid to the
// device, over the device commands (which show and step the progress bar).
// The table window and the command line both go through these.

#include <optional>

#include "core/tables/table_grid.h"

namespace parvion {
class Link;
}

namespace parvion::tables {

enum class TransmitStatus : std::uint8_t { Sent, Failed, BadCell };

struct TransmitResult {
    TransmitStatus status = TransmitStatus::Sent;
    std::optional<BadCell> bad;  // the cell that stopped it (BadCell)
};

// Converts the grid into the buffer and sends it as table `selector`. A value
// cell that is not a number stops it before anything is sent.
TransmitResult TransmitPropertyGrid(Link& link, int selector, const PropertyGrid& grid,
                                    PropertyTableBuffer& buffer);
// Reads table `selector` into the buffer and, on success, the grid.
bool ReceivePropertyGrid(Link& link, int selector, PropertyTableBuffer& buffer, PropertyGrid& grid);

TransmitResult TransmitSaturationGrid(Link& link, const SaturationGrid& grid,
                                      SaturationTableBuffer& buffer);
// Empties the grid's data cells, reads the table and, on success, fills them.
bool ReceiveSaturationGrid(Link& link, SaturationTableBuffer& buffer, SaturationGrid& grid);

}  // namespace parvion::tables
