#include "gui/operation/integrator_page.h"

#include <QGroupBox>
#include <QListWidget>
#include <QVBoxLayout>

#include "core/link/data_commands.h"
#include "core/link/ui_hooks.h"
#include "core/model/device_records.h"
#include "core/model/parameter_image.h"
#include "core/views/integrator_lines.h"
#include "core/views/page_rules.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

namespace {
constexpr std::uint16_t kGroupTexts = 30720;
// ReadIntegrators steps after each of its 16 entries.
constexpr int kReadSteps = 16;
}  // namespace

IntegratorPage::IntegratorPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabIntegrator"), parent) {
    auto* layout = new QVBoxLayout(this);
    for (int c = 0; c < 2; ++c) {
        const QString n = QString::number(c + 1);
        auto* group = named(new QGroupBox(QStringLiteral("Kreis ") + n, this), "GroupInteg" + n);
        auto* gl = new QVBoxLayout(group);
        QListWidget* list = fixedList(group, "ListeIntegrator" + n);
        gl->addWidget(list);
        layout->addWidget(group);
        GroupInteg_[c] = group;
        ListeIntegrator_[c] = list;
    }
}

void IntegratorPage::updateTexts() {
    views::TextBlock t;
    if (!ctx_.textBlock(kGroupTexts, 1, t)) return;
    setCaption(GroupInteg_[0], t[0]);
    setCaption(GroupInteg_[1], t[1]);
}

void IntegratorPage::applyPageRules() {
    GroupInteg_[1]->setVisible(views::AllOutputsPresent(ctx_.image.System));
}

void IntegratorPage::FillIntegrators() {
    UiHooks& ui = ctx_.ui;
    for (QListWidget* list : ListeIntegrator_) list->clear();
    ui.progressStart(kReadSteps);
    read_ = ReadIntegrators(ctx_.link, ctx_.device.Integrators);
    if (read_) showLines();
    ui.progressHide();
}

void IntegratorPage::redisplay() {
    if (read_) showLines();
}

void IntegratorPage::showLines() {
    for (int c = 0; c < 2; ++c) {
        refill(ListeIntegrator_[c], views::BuildIntegratorLines(ctx_.device.Integrators, c,
                                                                ctx_.blocks(), ctx_.values()));
    }
}

}  // namespace parvion::gui
