// The fields of a parameter image as its file holds them, and the
// differences between two images.

#include "core/model/parameter_diff.h"

#include <gtest/gtest.h>

#include "core/model/defaults.h"
#include "core/model/parameter_file.h"
#include "core/model/profile_file.h"
#include "support/temp_dir.h"

namespace parvion {
namespace {

ParameterImage Varied(int medium) {
    ParameterImage img;
    ResetParameters(img, medium, false);
    img.T_User[1].Max = 123.25f;
    img.P_User[0].Hyd = 1e-6f;
    img.Flow_User[1].MaxFreq = 4321;
    img.Aus_User[3].Param = 17;
    img.System.Dummy4 = -5;
    img.Vorgaben[7] = 1.234568e10f;
    img.Bemerkung = {"first", "second"};
    return img;
}

// Every listed field is in the saved file under the same section and key
// with the same text, and the file holds no other field of those sections.
TEST(ParameterFields, AreExactlyWhatTheParameterFileStores) {
    test::TempDir dir;
    for (int medium : {medium::Gas, medium::Energy}) {
        const ParameterImage img = Varied(medium);
        const auto file = dir / (medium == medium::Gas ? "a.PGA" : "a.PEG");
        ASSERT_TRUE(SaveParameterFile(file, img, medium).ok());
        const ProfileFile saved(file);
        const auto fields = ListParameterFields(img, medium, false);
        std::size_t keysInFile = 0;
        for (const auto& section : saved.sections()) {
            if (section == "Medium" || section == "Bemerkung") continue;
            keysInFile += saved.keys(section).size();
        }
        EXPECT_EQ(fields.size(), keysInFile);
        for (const auto& f : fields) {
            EXPECT_EQ(saved.readString(f.section, f.key, "<missing>"), f.value)
                << "[" << f.section << "] " << f.key;
        }
        EXPECT_EQ(saved.hasSection("EG_User"), medium == medium::Gas);
    }
}

TEST(ParameterFields, PresentOnlyFollowsTheExpansionLevel) {
    ParameterImage img = Varied(medium::Gas);
    img.System.Ausbaustufe = ausbaustufe::Basic;  // no circuit 2, no trend recording
    const auto fields = ListParameterFields(img, medium::Gas, true);
    auto has = [&](const std::string& section, const std::string& key) {
        for (const auto& f : fields) {
            if (f.section == section && f.key == key) return true;
        }
        return false;
    };
    EXPECT_TRUE(has("T_User0", "Max"));
    EXPECT_FALSE(has("T_User1", "Max"));
    EXPECT_FALSE(has("Med_User1", "Ready"));
    EXPECT_TRUE(has("Alm_User1", "Param"));  // the second relay is always there
    EXPECT_TRUE(has("Aus_User0", "Param"));
    EXPECT_FALSE(has("Aus_User1", "Param"));
    EXPECT_FALSE(has("Dis_User", "Kind"));
    EXPECT_TRUE(has("Dis_User", "First"));
    EXPECT_FALSE(has("FlowKorr_2", "Stelle0"));
    EXPECT_FALSE(has("Trend_User", "Time"));
    EXPECT_TRUE(has("System", "Faktor"));
}

TEST(ParameterDiff, ListsChangedFieldsByTheLeftImagesLevel) {
    const ParameterImage a = Varied(medium::Gas);
    ParameterImage b = a;
    EXPECT_TRUE(DiffParameterImages(a, b, medium::Gas, true).empty());

    b.T_User[0].Min = -40.5f;
    b.EG_User.Ho = 11.5f;
    b.Bemerkung.clear();     // remarks are not compared
    b.Betrieb.Bytes[0] = 3;  // nor is the operating block
    auto d = DiffParameterImages(a, b, medium::Gas, true);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0], (ParameterDifference{"T_User0", "Min", "0", "-40.5"}));
    EXPECT_EQ(d[1].section, "EG_User");
    EXPECT_EQ(d[1].right, "11.5");

    // A field of circuit 2 counts only when the left image has circuit 2.
    b = a;
    b.T_User[1].Max = 1;
    b.System.Ausbaustufe = ausbaustufe::BasicA2;
    EXPECT_EQ(DiffParameterImages(a, b, medium::Gas, true).size(), 1u);
    ParameterImage basic = a;
    basic.System.Ausbaustufe = ausbaustufe::BasicA2;
    b.System.Ausbaustufe = 0;
    EXPECT_TRUE(DiffParameterImages(basic, b, medium::Gas, true).empty());
    EXPECT_EQ(DiffParameterImages(basic, b, medium::Gas, false).size(), 1u);
}

}  // namespace
}  // namespace parvion
