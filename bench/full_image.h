#pragma once
// A gas parameter image with every section filled with distinct values, user
// units on and a few remark lines: the image the record and file benchmarks
// measure.

#include "core/model/defaults.h"
#include "core/model/parameter_image.h"
#include "core/model/units.h"

namespace parvion::bench {

inline ParameterImage FullImage() {
    ParameterImage img;
    ResetParameters(img, medium::Gas);
    float v = 0.1f;
    auto next = [&] { return v = v * 1.37f + 0.013f > 1e6f ? 0.1f : v * 1.37f + 0.013f; };
    for (std::size_t c = 0; c < 2; ++c) {
        img.T_User[c].Max = next();
        img.P_User[c].Max = next();
        img.Flow_User[c].KFak = next();
        img.Des_User[c].DesQN = next();
        img.Med_User[c].Rho = next();
        img.Alm_User[c].Max = next();
    }
    for (float& f : img.Vorgaben) f = next();
    img.Dis_User.Einheiten = 1;
    ApplyUnitRow(img.UserEinheiten[0], *FindUnitRow(medium::Gas, 0, 1));
    img.Bemerkung = {"Station Nord, Prüfstand 3", "Zähler geprüft", "", "Maß 150 °C"};
    return img;
}

}  // namespace parvion::bench
