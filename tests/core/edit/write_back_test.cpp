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
using test::Log;

CircuitLine LineOf(const ParameterImage& image, int medium, int circuit, CircuitGroup group,
                   std::string_view key) {
    for (const CircuitLine& line : GroupLines(image, medium, circuit, group)) {
        if (line.field.key == key) return line;
    }
    ADD_FAILURE() << "no line " << key;
    return {};
}

// Write, step, 50 ms, read back, step: the common write-back of one record.
Log TwoSteps(const std::string& block) {
    return {"start 2", "W " + block, "step", "wait 50", "R " + block, "step", "hide"};
}

Log Concat(std::initializer_list<Log> parts) {
    Log all;
    for (const Log& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

Log SwitchOn() {
    Log log = {"start 17"};
    for (int q = 0; q < 16; ++q) {
        log.push_back("R UserEinheiten" + std::to_string(q));
        log.push_back("step");
    }
    return Concat(
        {log, {"wait 50", "W Dis_User", "wait 50", "step", "R Dis_User", "step", "hide"}});
}

struct WriteBackCase {
    const char* name;
    int medium;
    std::function<void(EditRig&)> setup;  // device and image alike
    std::function<void(EditRig&)> change;
    Log expected;
    std::function<void(EditRig&)> check;  // the device's memory afterwards
};

TEST(WriteBack, EachChangeIsWrittenWaitedForAndReadBackInTheDevicesOrder) {
    using G = CircuitGroup;
    const int gas = medium::Gas;
    const int energy = medium::Energy;
    auto none = [](EditRig&) {};
    auto gasCalculation = [](EditRig& r) {
        r.put(block::Med_User(0), r.image.Med_User[0], Med_UserRec{0, '0', 1, 6});
    };
    const std::vector<WriteBackCase> cases = {
        {"temperature Max", gas, none,
         [](EditRig& r) {
             ApplyLineValue(*r.link, r.image, 0, G::Temperature,
                            LineOf(r.image, gas, 0, G::Temperature, "Max"), 120);
         },
         TwoSteps("T_User0"),
         [](EditRig& r) { EXPECT_EQ(r.deviceRecord<T_UserRec>(block::T_User(0)).Max, 120); }},
        {"fourth temperature choice on circuit 2: circuit 1 written at once", gas, none,
         [](EditRig& r) { ApplyChoice(*r.link, r.image, 1, G::Temperature, 3); },
         Concat({{"W T_User0", "wait 50"}, TwoSteps("T_User1")}),
         [](EditRig& r) {
             EXPECT_EQ(r.deviceRecord<T_UserRec>(block::T_User(0)).Eq, 1);
             EXPECT_EQ(r.deviceRecord<T_UserRec>(block::T_User(1)).Eq, 2);
         }},
        {"flow value: design values and flow input, 4 steps",
         gas,
         none,
         [](EditRig& r) {
             ApplyLineValue(*r.link, r.image, 0, G::Flow, LineOf(r.image, gas, 0, G::Flow, "Max"),
                            500);
         },
         {"start 4", "W Des_User0", "step", "wait 50", "W Flow_User0", "step", "wait 50",
          "R Des_User0", "step", "R Flow_User0", "step", "hide"},
         [](EditRig& r) { EXPECT_EQ(r.deviceRecord<Flow_UserRec>(block::Flow_User(0)).Max, 500); }},
        {"Desdp copies reach the device",
         gas,
         [](EditRig& r) {
             r.put(block::Flow_User(0), r.image.Flow_User[0], Flow_UserRec{0, 1});
             r.image.System.Kind = 2;
             r.image.System.Anzahl = 4;
         },
         [](EditRig& r) {
             ApplyLineValue(*r.link, r.image, 0, G::Flow, LineOf(r.image, gas, 0, G::Flow, "Desdp"),
                            30);
         },
         {"start 4", "W Des_User0", "step", "wait 50", "W Flow_User0", "step", "wait 50",
          "R Des_User0", "step", "R Flow_User0", "step", "hide"},
         [](EditRig& r) {
             const auto d = r.deviceRecord<Des_UserRec>(block::Des_User(0));
             EXPECT_EQ(d.Desdp, 30);
             EXPECT_EQ(d.Desdp2, 30);
             EXPECT_EQ(d.Desdp4, 30);
         }},
        {"flow choice", gas, none, [](EditRig& r) { ApplyChoice(*r.link, r.image, 0, G::Flow, 5); },
         TwoSteps("Flow_User0"),
         [](EditRig& r) { EXPECT_EQ(r.deviceRecord<Flow_UserRec>(block::Flow_User(0)).Kind, 5); }},
        {"natural-gas input set",
         gas,
         gasCalculation,
         [](EditRig& r) {
             ApplyLineValue(*r.link, r.image, 0, G::Medium,
                            LineOf(r.image, gas, 0, G::Medium, "CO2"), 2.5f);
         },
         {"start 4", "W Med_User0", "step", "wait 50", "W EG_User", "step", "wait 50", "R EG_User",
          "step", "wait 50", "R Med_User0", "step", "hide"},
         [](EditRig& r) {
             EXPECT_EQ(r.deviceRecord<EG_UserRec>(block::EG_User).CO2, 2.5f);
             EXPECT_EQ(r.deviceRecord<Med_UserRec>(block::Med_User(0)).Ready, 0);
         }},
        {"energy medium value",
         energy,
         [](EditRig& r) {
             r.put(block::Med_User(0), r.image.Med_User[0], Med_UserRec{0, 0, 1, 3});
         },
         [](EditRig& r) {
             ApplyLineValue(*r.link, r.image, 0, G::Medium,
                            LineOf(r.image, energy, 0, G::Medium, "Rho"), 900);
         },
         {"start 4", "W Med_User0", "step", "wait 50", "R Med_User0", "step", "hide"},
         [](EditRig& r) { EXPECT_EQ(r.deviceRecord<Med_UserRec>(block::Med_User(0)).Rho, 900); }},
        {"medium choice of the gas calculation reads the input set",
         gas,
         none,
         [](EditRig& r) { ApplyChoice(*r.link, r.image, 1, G::Medium, 6); },
         {"start 3", "W Med_User1", "step", "wait 50", "R Med_User1", "step", "R EG_User", "step",
          "hide"},
         [](EditRig& r) { EXPECT_EQ(r.deviceRecord<Med_UserRec>(block::Med_User(1)).Kind, 6); }},
        {"after the table editor",
         energy,
         [](EditRig& r) {
             r.put(block::Med_User(0), r.image.Med_User[0], Med_UserRec{0, 0, 1, 5});
         },
         [](EditRig& r) { ApplyWithoutValue(*r.link, r.image, 0, G::Medium); },
         {"start 4", "W Med_User0", "step", "wait 50", "R Med_User0", "step", "hide"},
         none},
        {"pulse output of a kind without a line", gas,
         [](EditRig& r) {
             r.put(block::Imp_User(0), r.image.Imp_User[0], Imp_UserRec{0, 0, 0, 0, 7});
         },
         [](EditRig& r) { ApplyWithoutValue(*r.link, r.image, 0, G::Pulse); },
         TwoSteps("Imp_User0"), none},
        {"reference value", gas, [](EditRig& r) { r.image.System.Kind = 0; },
         [](EditRig& r) {
             ApplyLineValue(*r.link, r.image, 0, G::Reference,
                            LineOf(r.image, gas, 0, G::Reference, "T0"), 15);
         },
         TwoSteps("Bez_User0"),
         [](EditRig& r) { EXPECT_EQ(r.deviceRecord<Bez_UserRec>(block::Bez_User(0)).T0, 15); }},
        {"filling the page of circuit 2",
         gas,
         none,
         [](EditRig& r) { ReadCircuitPage(*r.link, r.image, 1); },
         {"start 3", "R T_User1", "R P_User1", "R Flow_User1", "R Des_User1", "R Med_User1",
          "R EG_User", "R Aus_User0", "R Aus_User1", "R Aus_User2", "R Aus_User3", "step",
          "R Bez_User1", "step", "R Imp_User1", "step", "hide"},
         none},
        {"a unit",
         gas,
         none,
         [](EditRig& r) { SelectUnit(*r.link, r.image, 3, 2); },
         {"start 2", "W UserEinheiten3", "step", "wait 50", "step", "hide"},
         [](EditRig& r) {
             const auto u = r.deviceRecord<UserEinheitRec>(block::UserEinheiten(3));
             EXPECT_EQ(u.Kind, 2);
             EXPECT_EQ(u.Text, "Nm3/s");
         }},
        {"user units on", gas, none, [](EditRig& r) { SwitchUserUnits(*r.link, r.image, true); },
         SwitchOn(),
         [](EditRig& r) { EXPECT_EQ(r.deviceRecord<Dis_UserRec>(block::Dis_User).Einheiten, 1); }},
        {"user units off",
         gas,
         [](EditRig& r) {
             r.put(block::Dis_User, r.image.Dis_User, Dis_UserRec{0, 1});
             SelectUnit(*r.link, r.image, 0, 1);
         },
         [](EditRig& r) { SwitchUserUnits(*r.link, r.image, false); },
         {"start 2", "W Dis_User", "wait 50", "step", "R Dis_User", "step", "hide"},
         [](EditRig& r) {
             EXPECT_EQ(r.deviceRecord<Dis_UserRec>(block::Dis_User).Einheiten, 0);
             // The unit selections stay as they were, in the device and the image.
             EXPECT_EQ(r.deviceRecord<UserEinheitRec>(block::UserEinheiten(0)).Kind, 1);
             EXPECT_EQ(r.image.UserEinheiten[0].Kind, 1);
         }},
    };
    for (const WriteBackCase& c : cases) {
        SCOPED_TRACE(c.name);
        EditRig rig(c.medium);
        c.setup(rig);
        rig.log.clear();
        c.change(rig);
        EXPECT_EQ(rig.log, c.expected);
        c.check(rig);
        EXPECT_EQ(rig.device.writesRejected(), 0u);
        EXPECT_EQ(rig.link->FailedTransactions(), 0);
    }
}

TEST(WriteBack, FillingTheUnitsPageActsAsAClickWhenTheShownStateDiffers) {
    struct Case {
        std::uint8_t device;
        bool shown;
        bool result;
        Log expected;
    };
    const Log head = {"start 16", "R Dis_User", "step"};
    const Log off = {"start 2", "W Dis_User", "wait 50", "step", "R Dis_User", "step", "hide"};
    const std::vector<Case> cases = {
        {1, false, true, Concat({head, {"wait 50"}, SwitchOn(), {"wait 50", "hide"}})},
        {1, true, true, Concat({head, {"wait 50", "wait 50", "hide"}})},
        {0, true, false, Concat({head, off, {"hide"}})},
        {0, false, false, Concat({head, {"hide"}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.device) + (c.shown ? " shown on" : " shown off"));
        EditRig rig;
        rig.device.poke(block::Dis_User.address, std::vector<std::uint8_t>{0, c.device, 0, 0});
        rig.log.clear();
        EXPECT_EQ(FillUnitsPage(*rig.link, rig.image, c.shown), c.result);
        EXPECT_EQ(rig.log, c.expected);
        EXPECT_EQ(rig.deviceRecord<Dis_UserRec>(block::Dis_User).Einheiten, c.device);
    }
}

TEST(WriteBack, AFailedReadBackLeavesTheImageAsEdited) {
    EditRig rig;
    rig.device.injectFault(sim::Fault::None, 1);         // the write
    rig.device.injectFault(sim::Fault::BadChecksum, 4);  // every try of the read-back
    const CircuitLine max = LineOf(rig.image, medium::Gas, 0, CircuitGroup::Temperature, "Max");
    ApplyLineValue(*rig.link, rig.image, 0, CircuitGroup::Temperature, max, 99);
    EXPECT_EQ(rig.image.T_User[0].Max, 99);
    EXPECT_EQ(rig.deviceRecord<T_UserRec>(block::T_User(0)).Max, 99);
    EXPECT_EQ(rig.link->FailedTransactions(), 1);
    EXPECT_EQ(rig.log.back(), "hide");
}

}  // namespace
}  // namespace parvion::edit
