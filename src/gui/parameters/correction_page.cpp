#include "gui/parameters/correction_page.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/model/parameter_image.h"
#include "core/views/page_rules.h"
#include "gui/app/widgets.h"

namespace parvion::gui {

CorrectionPage::CorrectionPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabParKorrektur"), parent) {
    auto* layout = new QHBoxLayout(this);
    for (int c = 0; c < 2; ++c) {
        const QString n = QString::number(c + 1);
        GroupFaktor_[c] = named(new QGroupBox(this), "GroupFaktor" + n);
        auto* gl = new QVBoxLayout(GroupFaktor_[c]);
        FlowKorr_[c] = named(new QTableWidget(8, 2, GroupFaktor_[c]), "FlowKorr" + n);
        FlowKorr_[c]->horizontalHeader()->hide();
        FlowKorr_[c]->verticalHeader()->hide();
        FlowKorr_[c]->setEnabled(false);
        gl->addWidget(FlowKorr_[c]);
        layout->addWidget(GroupFaktor_[c]);
    }
}

void CorrectionPage::updateTexts() {
    views::TextBlock t;
    if (!ctx_.textBlock(12288, 1, t)) return;
    for (int c = 0; c < 2; ++c) {
        GroupFaktor_[c]->setTitle(qs(t[0]) + (c == 0 ? " 1" : " 2"));
        for (int row = 0; row < FlowKorr_[c]->rowCount(); ++row) {
            const std::string& s = t[static_cast<std::size_t>(row) + 1];
            FlowKorr_[c]->setItem(row, 0, new QTableWidgetItem(qs(s)));
        }
    }
}

void CorrectionPage::applyPageRules() {
    GroupFaktor_[1]->setVisible(!views::Circuit2Unavailable(ctx_.image.System));
}

}  // namespace parvion::gui
