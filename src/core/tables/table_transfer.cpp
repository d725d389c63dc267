#include "core/tables/table_transfer.h"

#include "core/link/data_commands.h"

namespace parvion::tables {

namespace {

bool Confirmed(const std::vector<std::string>& missing, const ConfirmMissing& confirm) {
    return missing.empty() || (confirm && confirm(missing));
}

}  // namespace

TransmitResult TransmitPropertyGrid(Link& link, int selector, const PropertyGrid& grid,
                                    PropertyTableBuffer& buffer, const ConfirmMissing& confirm) {
    PropertyTableBuffer converted;
    if (std::optional<BadCell> bad = PropertyGridToBuffer(grid, converted)) {
        return {TransmitStatus::BadCell, std::move(bad)};
    }
    if (std::optional<AxisOrderFault> fault = FirstAxisOrderFault(grid)) {
        return {TransmitStatus::AxisOrder, std::nullopt, std::move(fault)};
    }
    if (!Confirmed(MissingKeys(grid), confirm)) return {TransmitStatus::Declined, std::nullopt};
    buffer = converted;
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
                                      SaturationTableBuffer& buffer,
                                      const ConfirmMissing& confirm) {
    SaturationTableBuffer converted;
    if (std::optional<BadCell> bad = SaturationGridToBuffer(grid, converted)) {
        return {TransmitStatus::BadCell, std::move(bad)};
    }
    if (!Confirmed(MissingKeys(grid), confirm)) return {TransmitStatus::Declined, std::nullopt};
    buffer = converted;
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
