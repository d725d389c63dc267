// A natural-gas value of the gas calculation (SGERG-88) typed beyond its
// limit on the gas computer's circuit page: the value is set to the limit,
// written to the device, and the status line says which value and to what
// it was set, in the window's language; an entry within the limits says
// nothing of the kind.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>

#include "core/link/parameter_blocks.h"
#include "support/page_window.h"

namespace parvion::test {
namespace {

TEST(GasValueClamped, TheStatusLineSaysWhichValueWasSetToWhichLimit) {
    struct Case {
        int sprache;
        int row;  // 0 Ho, 1 Rho, 2 CO2, 3 H2
        const char* entry;
        const char* status;  // empty: no word of a limit
        EG_UserRec written;
    };
    const EG_UserRec before{11.0f, 1.5f, 0.5f, 0.8f};
    auto with = [&before](float EG_UserRec::*field, float v) {
        EG_UserRec r = before;
        r.*field = v;
        return r;
    };
    const Case cases[] = {
        {0, 0, "99999", "Brennwert Ho: Maximum 13000 Wh/m³ übernommen, nicht 99999 Wh/m³",
         with(&EG_UserRec::Ho, 13.0f)},
        {1, 2, "45", "CO2 content: maximum 30 mol% taken, not 45 mol%",
         with(&EG_UserRec::CO2, 30.0f)},
        {1, 3, "-1", "H2 content: minimum 0 mol% taken, not -1 mol%", with(&EG_UserRec::H2, 0.0f)},
        {0, 2, "2.5", "", with(&EG_UserRec::CO2, 2.5f)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        WindowSetup setup;
        setup.sprache = c.sprache;
        Window win(setup);
        Med_UserRec med{};
        med.Kind = 6;  // natural gas, SGERG-88
        putRecord(win.h.device, block::Med_User(0), med);
        putRecord(win.h.device, block::EG_User, before);
        win.open(win.w().TabPar1);
        ASSERT_EQ(win.lines("ListePG1").size(), 5);
        win.w().StatusPanel0->clear();

        win.answer(QString::fromLatin1(c.entry));
        win.doubleClick(win.list("ListePG1"), c.row);
        EXPECT_EQ(win.w().StatusPanel0->text().toStdString(), c.status);
        // The device holds the value as set, and nothing else of the gas set
        // changed.
        EXPECT_EQ(deviceRecord<EG_UserRec>(win.h.device, block::EG_User), c.written);
        EXPECT_FALSE(win.w().Busy());
    }
}

}  // namespace
}  // namespace parvion::test
