#include "core/tables/table_transfer.h"

#include "core/link/data_commands.h"

namespace parvion::tables {

TransmitResult TransmitPropertyGrid(Link& link, int selector, const PropertyGrid& grid,
                                    PropertyTableBuffer& buffer) {
    if (std::optional<BadCell> bad = PropertyGridToBuffer(grid, buffer)) {
        return {TransmitStatus::BadCell, std::move(bad)};
    }
    return {
        WritePropertyTable(link, selector, buffer) ? TransmitStatus::Sent : TransmitStatus::Failed,
        std::nullopt};
}

bool ReceivePropertyGrid(Link& link, int selector, PropertyTableBuffer& buffer,
                         PropertyGrid& grid) {
    if (!ReadPropertyTable(link, selector, buffer)) return false;
    FillPropertyGrid(buffer, grid);
    return true;
}

TransmitResult TransmitSaturationGrid(Link& link, const SaturationGrid& grid,
                                      SaturationTableBuffer& buffer) {
    SaturationGridToBuffer(grid, buffer);
    return {WriteSaturationTable(link, buffer) ? TransmitStatus::Sent : TransmitStatus::Failed,
            std::nullopt};
}

bool ReceiveSaturationGrid(Link& link, SaturationTableBuffer& buffer, SaturationGrid& grid) {
    grid.clearData();
    if (!ReadSaturationTable(link, buffer)) return false;
    FillSaturationGrid(buffer, grid);
    return true;
}

}  // namespace parvion::tables
