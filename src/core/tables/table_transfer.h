#pragma once
// Reading a table from the device into a grid and transmitting a grid to the
// device, over the device commands (which show and step the progress bar).
// The table window and the command line both go through these.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/tables/table_cells.h"
#include "core/tables/table_grid.h"

namespace parvion {
class Link;
}

namespace parvion::tables {

enum class TransmitStatus : std::uint8_t { Sent, Failed, BadCell, AxisOrder, Declined };

// Asked, with the keys of the grid's missing cells (MissingKeys), before a
// grid that has any is sent: true sends them as 0. Without it nothing is
// sent.
using ConfirmMissing = std::function<bool(const std::vector<std::string>& keys)>;

struct TransmitResult {
    TransmitStatus status = TransmitStatus::Sent;
    std::optional<BadCell> bad;            // the cell that stopped it (BadCell)
    std::optional<AxisOrderFault> axis{};  // the axis point out of order (AxisOrder)
};

// Converts the grid into the buffer and sends it as table `selector`. A value
// cell that is not a number the device holds stops it before anything is
// sent (BadCell); so does an axis that does not ascend (AxisOrder: the
// device would interpolate between points out of order), and a No to the
// question about missing cells (Declined), which comes only after both.
TransmitResult TransmitPropertyGrid(Link& link, int selector, const PropertyGrid& grid,
                                    PropertyTableBuffer& buffer, const ConfirmMissing& confirm);
// Reads table `selector` into the buffer and, on success, the grid.
bool ReceivePropertyGrid(Link& link, int selector, PropertyTableBuffer& buffer, PropertyGrid& grid);

TransmitResult TransmitSaturationGrid(Link& link, const SaturationGrid& grid,
                                      SaturationTableBuffer& buffer, const ConfirmMissing& confirm);
// Empties the grid's data cells, reads the table and, on success, fills them.
bool ReceiveSaturationGrid(Link& link, SaturationTableBuffer& buffer, SaturationGrid& grid);

}  // namespace parvion::tables
