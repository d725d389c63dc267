#include "gui/operation/integrator_page.h"

#include <QGroupBox>
#include <QListWidget>
#include <QVBoxLayout>

#include "core/model/parameter_image.h"
#include "core/views/page_rules.h"
#include "gui/app/widgets.h"

namespace parvion::gui {

namespace {
constexpr std::uint16_t kGroupTexts = 30720;
}

IntegratorPage::IntegratorPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabIntegrator"), parent) {
    auto* layout = new QVBoxLayout(this);
    for (int c = 0; c < 2; ++c) {
        const QString n = QString::number(c + 1);
        auto* group = named(new QGroupBox(QStringLiteral("Kreis ") + n, this), "GroupInteg" + n);
        auto* gl = new QVBoxLayout(group);
        QListWidget* list = fixedList(group, "ListeIntegrator" + n);
        list->setEnabled(false);
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

}  // namespace parvion::gui
