// The write-back of every change against the in-process simulator: the
// frames, waits and progress steps in the device's order, and the device's
// own memory holding the new bytes afterwards.

#include <gtest/gtest.h>

#include <functional>

#include "core/edit/circuit_page.h"
#include "core/edit/units_page.h"
#include "edit_rig.h"

namespace parvion::edit {
namespace {

using test::EditRig;

// Write, step, 50 ms, read back, step: the common write-back of one record.
std::string TwoSteps(const std::string& block) {
    return "start 2, W " + block + ", step, wait 50, R " + block + ", step, hide";
}

const std::string kFlowSteps =
    "start 4, W Des_User0, step, wait 50, W Flow_User0, step, wait 50, "
    "R Des_User0, step, R Flow_User0, step, hide";
const std::string kUnitsOff = "start 2, W Dis_User, wait 50, step, R Dis_User, step, hide";

std::string UnitsOn() {
    std::string log = "start 17";
    for (int q = 0; q < 16; ++q) log += ", R UserEinheiten" + std::to_string(q) + ", step";
    return log + ", wait 50, W Dis_User, wait 50, step, R Dis_User, step, hide";
}

TEST(WriteBack, EachChangeIsWrittenWaitedForAndReadBackInTheDevicesOrder) {
    using G = CircuitGroup;
    using Change = std::function<void(EditRig&)>;
    auto enter = [](const char* setting, float v) -> Change {
        return [=](EditRig& r) { r.enter(setting, v); };
    };
    auto choose = [](int circuit, G g, int index) -> Change {
        return [=](EditRig& r) { ApplyChoice(*r.link, r.image, circuit, g, index); };
    };
    struct Case {
        int medium;
        const char* setup;  // the image and the device alike
        Change change;
        std::string log;
        const char* device;  // the device's memory afterwards
    };
    const int gas = medium::Gas;
    const Case cases[] = {
        {gas, "", enter("T_User0 Max", 120), TwoSteps("T_User0"), "T_User0 Max=120"},
        // The fourth choice on circuit 2 writes circuit 1 at once.
        {gas, "", choose(1, G::Temperature, 3), "W T_User0, wait 50, " + TwoSteps("T_User1"),
         "T_User0 Eq=1 T_User1 Eq=2"},
        {gas, "", enter("Flow_User0 Max", 500), kFlowSteps, "Flow_User0 Max=500"},
        {gas, "Flow_User0 Kind=1 System Kind=2 Anzahl=4", enter("Des_User0 Desdp", 30), kFlowSteps,
         "Des_User0 Desdp=30 Desdp2=30 Desdp3=30 Desdp4=30"},
        {gas, "", choose(0, G::Flow, 5), TwoSteps("Flow_User0"), "Flow_User0 Kind=5"},
        {gas, "Med_User0 Kind=6 Ready=1", enter("EG_User CO2", 2.5f),
         "start 4, W Med_User0, step, wait 50, W EG_User, step, wait 50, R EG_User, step, "
         "wait 50, R Med_User0, step, hide",
         "EG_User CO2=2.5 Med_User0 Ready=0"},
        {medium::Energy, "Med_User0 Kind=3", enter("Med_User0 Rho", 900),
         "start 4, W Med_User0, step, wait 50, R Med_User0, step, hide", "Med_User0 Rho=900"},
        // The medium choice of the gas calculation reads the input set.
        {gas, "", choose(1, G::Medium, 6),
         "start 3, W Med_User1, step, wait 50, R Med_User1, step, R EG_User, step, hide",
         "Med_User1 Kind=6"},
        // A double click on a pulse output of a kind without a line.
        {gas, "",
         [](EditRig& r) {
             r.image.Imp_User[0].Kind = 7;
             ApplyWithoutValue(*r.link, r.image, 0, G::Pulse);
         },
         TwoSteps("Imp_User0"), "Imp_User0 Kind=7"},
        {gas, "System Kind=0", enter("Bez_User0 T0", 15), TwoSteps("Bez_User0"), "Bez_User0 T0=15"},
        {gas, "", [](EditRig& r) { ReadCircuitPage(*r.link, r.image, 1); },
         "start 3, R T_User1, R P_User1, R Flow_User1, R Des_User1, R Med_User1, R EG_User, "
         "R Aus_User0, R Aus_User1, R Aus_User2, R Aus_User3, step, R Bez_User1, step, "
         "R Imp_User1, step, hide",
         ""},
        {gas, "", [](EditRig& r) { SelectUnit(*r.link, r.image, 3, 2); },
         // Unit selections are read with the user units only: read first.
         "R UserEinheiten3, start 2, W UserEinheiten3, step, wait 50, step, hide",
         "UserEinheiten3 Kind=2"},
        {gas, "", [](EditRig& r) { SwitchUserUnits(*r.link, r.image, true); }, UnitsOn(),
         "Dis_User Einheiten=1"},
        // Off: the unit selections stay as they are.
        {gas, "Dis_User Einheiten=1 UserEinheiten0 Kind=1",
         [](EditRig& r) { SwitchUserUnits(*r.link, r.image, false); }, kUnitsOff,
         "Dis_User Einheiten=0 UserEinheiten0 Kind=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.log);
        EditRig rig(c.medium);
        rig.store(c.setup);
        c.change(rig);
        EXPECT_EQ(test::Joined(rig.log), c.log);
        rig.expectDevice(c.device);
        EXPECT_EQ(rig.device.writesRejected(), 0u);
        EXPECT_EQ(rig.link->failedTransactions(), 0);
    }
}

TEST(WriteBack, FillingTheUnitsPageActsAsAClickWhenTheShownStateDiffers) {
    struct Case {
        const char* device;
        bool shown;
        bool result;
        std::string log;  // after reading Dis_User
    };
    const Case cases[] = {
        {"Dis_User Einheiten=1", false, true, "wait 50, " + UnitsOn() + ", wait 50, hide"},
        {"Dis_User Einheiten=1", true, true, "wait 50, wait 50, hide"},
        {"Dis_User Einheiten=0", true, false, kUnitsOff + ", hide"},
        {"Dis_User Einheiten=0", false, false, "hide"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.device) + (c.shown ? ", shown on" : ", shown off"));
        EditRig rig;
        rig.store(c.device);
        EXPECT_EQ(FillUnitsPage(*rig.link, rig.image, c.shown), c.result);
        EXPECT_EQ(test::Joined(rig.log), "start 16, R Dis_User, step, " + c.log);
        rig.expectDevice("");
    }
}

TEST(WriteBack, RecordsNotReadInThisConnectionAreReadBeforeTheChange) {
    // The device's circuit 2 holds its own temperature input; the program
    // has connected anew and read nothing but the page of circuit 1.
    const char* circuit2 = "T_User1 Kind=1 Eq=0 Min=-20 Max=60 Konst=15 Dummy3=7";
    for (const bool readFails : {false, true}) {
        SCOPED_TRACE(readFails ? "the read fails" : "the read succeeds");
        EditRig rig;
        rig.device.poke(block::T_User(1).address, std::vector<std::uint8_t>(32, 0));
        rig.store(circuit2);
        rig.image.T_User[1] = T_UserRec{};  // what the program would hold without the read
        ASSERT_TRUE(rig.link->OpenComPort(1, rig.device.baudIndex()));
        ReadCircuitPage(*rig.link, rig.image, 0);
        const ParameterImage before = rig.image;
        rig.mark();
        if (readFails) rig.device.injectFault(sim::Fault::BadChecksum, 4);

        // "Same as circuit 2" on circuit 1.
        ApplyChoice(*rig.link, rig.image, 0, CircuitGroup::Temperature, 3);
        if (readFails) {
            // Four tries of the read; then the user is told, and that is all.
            EXPECT_EQ(test::Joined(rig.log),
                      "R T_User1, wait 50, R T_User1, wait 50, R T_User1, wait 50, R T_User1, "
                      "hide, not sent checksum");
            EXPECT_EQ(rig.image, before);
            EXPECT_EQ(rig.device.framesServed(cmd::Write), 0u);
            rig.expectDevice("");
        } else {
            EXPECT_EQ(test::Joined(rig.log),
                      "R T_User1, W T_User1, wait 50, " + TwoSteps("T_User0"));
            const char* after = "T_User0 Eq=2 T_User1 Kind=1 Eq=1 Min=-20 Max=60 Konst=15 Dummy3=7";
            rig.expectDevice(after);
            EXPECT_EQ(test::FieldValues(rig.image, after), after);
        }
    }
}

TEST(WriteBack, AFailedReadBackLeavesTheImageAsEdited) {
    EditRig rig;
    rig.device.injectFault(sim::Fault::None, 1);         // the write
    rig.device.injectFault(sim::Fault::BadChecksum, 4);  // every try of the read-back
    rig.enter("T_User0 Max", 99);
    EXPECT_EQ(rig.image.T_User[0].Max, 99);
    rig.expectDevice("T_User0 Max=99");
    EXPECT_EQ(rig.link->failedTransactions(), 1);
    EXPECT_EQ(rig.log.back(), "hide");
}

}  // namespace
}  // namespace parvion::edit
