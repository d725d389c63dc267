// Transmitting and receiving grids against the in-process device simulator,
// checked in the simulator's memory.
#include "core/tables/table_transfer.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/link/data_commands.h"
#include "core/link/encoding.h"
#include "core/link/transport.h"
#include "core/tables/table_file.h"
#include "sim/lib/device.h"
#include "sim/lib/memory_map.h"
#include "sim/lib/sim_line.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace parvion::tables {
namespace {

namespace fs = std::filesystem;

fs::path Fixture(const char* name) {
    return fs::path(PARVION_FIXTURES_DIR) / "tables" / name;
}

sim::DeviceOptions EnergyDevice() {
    sim::DeviceOptions o;
    o.medium = 1;
    return o;
}

class TableTransfer : public ::testing::Test {
  protected:
    void SetUp() override {
        session.Online = true;
        ASSERT_TRUE(link.OpenComPort(1, 7));
    }
    std::uint16_t word(std::uint16_t address) const {
        return wire::GetWord(device.peek(address, 2), 0);
    }
    float real(std::uint16_t address) const { return wire::GetFloat(device.peek(address, 4), 0); }

    sim::Device device{EnergyDevice()};
    sim::SimLine line{device};
    test::RecordingUi ui;
    Session session;
    test::TempDir dir;
    Link link{line, ui, session, dir.path()};
    DeviceState state;
};

TEST_F(TableTransfer, PropertyFileReachesTheDeviceMemory) {
    PropertyGrid g;
    ASSERT_TRUE(LoadPropertyFile(Fixture("erdgas.KTB"), g).ok());
    for (int table : {0, 1}) {
        const TransmitResult r = TransmitPropertyGrid(link, table, g, state.PropertyTable, {});
        ASSERT_EQ(r.status, TransmitStatus::Sent);
        const sim::addr::PropertyTableAddresses& a = sim::addr::PropertyTable[table];
        EXPECT_EQ(word(a.columns), 100);
        EXPECT_EQ(word(static_cast<std::uint16_t>(a.columns + 13 * 2)), 6600);
        EXPECT_EQ(word(static_cast<std::uint16_t>(a.rows + 17 * 2)), 338);
        EXPECT_EQ(real(a.values), 0.99F);
        EXPECT_EQ(real(static_cast<std::uint16_t>(a.values + 17 * 56 + 13 * 4)), 0.991713F);
    }
    // Reading back gives the grid in the device's own format.
    PropertyGrid read;
    ASSERT_TRUE(ReceivePropertyGrid(link, 1, state.PropertyTable, read));
    EXPECT_EQ(read.at(1, 1), "0.99");
    EXPECT_EQ(read.at(0, 18), "338");
}

TEST_F(TableTransfer, CellsTheDeviceCannotTakeSendNothing) {
    const auto tables = [&] {
        return std::pair{device.peek(sim::addr::PropertyTable[1].columns, 1072),
                         device.peek(sim::addr::SaturationTable, 512)};
    };
    const auto before = tables();
    const std::uint64_t frames = device.framesServed();

    PropertyGrid hand;
    ASSERT_TRUE(LoadPropertyFile(Fixture("hand_edited.ETB"), hand).ok());
    TransmitResult r = TransmitPropertyGrid(link, 1, hand, state.PropertyTable, {});
    ASSERT_EQ(r.status, TransmitStatus::BadCell);
    EXPECT_EQ(r.bad->text, "abc");
    EXPECT_EQ(r.bad->key, "[Werte] 0 - 1");

    // Files of both kinds, each with one value a device float cannot hold.
    for (const char* text : {"NAN", "-INF", "INF", "-1e300", "1e300"}) {
        test::writeFileBytes(dir / "t.DTB", std::string("[Werte]\r\n2 - 3=") + text + "\r\n");
        PropertyGrid g;
        ASSERT_TRUE(LoadPropertyFile(dir / "t.DTB", g).ok());
        r = TransmitPropertyGrid(link, 0, g, state.PropertyTable, {});
        ASSERT_EQ(r.status, TransmitStatus::BadCell) << text;
        EXPECT_EQ(r.bad->key, "[Werte] 2 - 3");

        test::writeFileBytes(dir / "t.STB", std::string("[Row_07]\r\nT=400\r\nh=") + text + "\r\n");
        SaturationGrid sat;
        ASSERT_TRUE(LoadSaturationFile(dir / "t.STB", sat).ok());
        r = TransmitSaturationGrid(link, sat, state.SaturationTable, {});
        ASSERT_EQ(r.status, TransmitStatus::BadCell) << text;
        EXPECT_EQ(r.bad->key, "[Row_07] h");
    }
    // An axis that falls (a file edited by hand): refused, naming the point.
    PropertyGrid falling;
    ClearPropertyGrid(falling);
    falling.at(1, 0) = "200";
    falling.at(2, 0) = "150";
    r = TransmitPropertyGrid(link, 1, falling, state.PropertyTable, {});
    ASSERT_EQ(r.status, TransmitStatus::AxisOrder);
    EXPECT_EQ(std::tuple(r.axis->temperature, r.axis->index, r.axis->value),
              std::tuple(false, 2, std::uint16_t{150}));
    EXPECT_EQ(device.framesServed(), frames);
    EXPECT_EQ(tables(), before);
}

TEST_F(TableTransfer, FailuresAreReportedAndLeaveTheGrid) {
    PropertyGrid g;
    ClearPropertyGrid(g);
    device.injectFault(sim::Fault::RejectWrite, kTransactionAttempts);
    EXPECT_EQ(TransmitPropertyGrid(link, 0, g, state.PropertyTable, {}).status,
              TransmitStatus::Failed);
    EXPECT_EQ(TransmitPropertyGrid(link, 2, g, state.PropertyTable, {}).status,
              TransmitStatus::Failed);
    g.at(1, 1) = "5";
    const PropertyGrid before = g;
    EXPECT_FALSE(ReceivePropertyGrid(link, 2, state.PropertyTable, g));
    EXPECT_EQ(g, before);
}

TEST_F(TableTransfer, TenRowSaturationFileSendsZerosBelow) {
    // Fill the device's table first, so that the zeros are seen to arrive.
    SaturationTableBuffer full;
    for (auto& row : full.Rows) row = {1, 2, 3, 4};
    ASSERT_TRUE(WriteSaturationTable(link, full));

    SaturationGrid g;
    ASSERT_TRUE(LoadSaturationFile(Fixture("ten_rows.STB"), g).ok());
    // Rows 11..32 are missing: not sent unasked, nor after a No.
    const std::uint64_t frames = device.framesServed();
    std::vector<std::string> asked;
    const auto answer = [&](bool yes) {
        return [&asked, yes](const std::vector<std::string>& keys) {
            asked = keys;
            return yes;
        };
    };
    EXPECT_EQ(TransmitSaturationGrid(link, g, state.SaturationTable, {}).status,
              TransmitStatus::Declined);
    EXPECT_EQ(TransmitSaturationGrid(link, g, state.SaturationTable, answer(false)).status,
              TransmitStatus::Declined);
    EXPECT_EQ(device.framesServed(), frames);
    ASSERT_EQ(asked.size(), 88u);
    EXPECT_EQ(asked.front(), "[Row_11] T");
    ASSERT_EQ(TransmitSaturationGrid(link, g, state.SaturationTable, answer(true)).status,
              TransmitStatus::Sent);
    const std::uint16_t base = sim::addr::SaturationTable;
    EXPECT_EQ(real(base), 283.0F);
    EXPECT_EQ(real(base + 9 * 16 + 4), 1000.5F);
    EXPECT_EQ(real(base + 9 * 16 + 8), 10.25F);
    for (std::uint16_t row = 10; row < 32; ++row) {
        for (std::uint16_t k = 0; k < 4; ++k) {
            ASSERT_EQ(real(static_cast<std::uint16_t>(base + row * 16 + k * 4)), 0.0F) << row;
        }
    }
    SaturationGrid read;
    read.at(0, 20) = "stale";
    ASSERT_TRUE(ReceiveSaturationGrid(link, state.SaturationTable, read));
    EXPECT_EQ(read.at(1, 10), "1000.5");
    EXPECT_EQ(read.at(0, 20), "0");

    // A failed read leaves an empty grid.
    device.injectFault(sim::Fault::BadChecksum, kTransactionAttempts);
    EXPECT_FALSE(ReceiveSaturationGrid(link, state.SaturationTable, read));
    EXPECT_EQ(read, SaturationGrid());
}

}  // namespace
}  // namespace parvion::tables
