#include "core/edit/correction.h"

#include "core/edit/write_back.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/link/ui_hooks.h"

namespace parvion::edit {

void SetCorrectionFactor(Link& link, ParameterImage& image, int circuit, std::size_t point,
                         float factor) {
    const int c = circuit == 1 ? 1 : 0;
    if (point >= kSupportPoints) return;
    if (!ReadBeforeEdit(link, image, {{BlockKind::FlowKorr, c}})) return;
    image.FlowKorr[static_cast<std::size_t>(c)].Stelle[point] = factor;
    if (!link.session().Online) return;
    WriteFlowKorr(link, image, c);
    link.PauseMs(kWriteWaitMs);
}

void ReadCorrectionPage(Link& link, ParameterImage& image) {
    UiHooks& ui = link.ui();
    ui.progressStart(2);
    for (int c : {0, 1}) {
        if (link.session().Online && ReadFlowKorr(link, image, c)) ui.progressStep();
    }
    ui.progressHide();
}

}  // namespace parvion::edit
