#include "gui/parameters/relay_page.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "gui/app/widgets.h"

namespace parvion::gui {

RelayPage::RelayPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabParRelais"), parent) {
    auto* layout = new QHBoxLayout(this);
    for (int c = 0; c < 2; ++c) {
        const QString n = QString::number(c + 1);
        GroupAlm_[c] = named(new QGroupBox(this), "GroupAlm" + n);
        auto* gl = new QVBoxLayout(GroupAlm_[c]);
        ComboAlm_[c] = named(new QComboBox(GroupAlm_[c]), "ComboAlm" + n);
        ComboAlmKind_[c] = named(new QComboBox(GroupAlm_[c]), "ComboAlmKind" + n);
        for (QComboBox* combo : {ComboAlm_[c], ComboAlmKind_[c]}) {
            combo->setEnabled(false);
            gl->addWidget(combo);
        }
        gl->addStretch();
        layout->addWidget(GroupAlm_[c]);
    }
}

void RelayPage::updateTexts() {
    views::TextBlock head;
    views::TextBlock more;
    if (ctx_.textBlock(7168, 1, head)) {
        ctx_.textBlock(7184, 1, more);
        const QStringList items = choices(head) + choices(more, 0);
        for (int c = 0; c < 2; ++c) {
            GroupAlm_[c]->setTitle(qs(head[0]) + (c == 0 ? " 1" : " 2"));
            refill(ComboAlm_[c], items);
        }
    }
    views::TextBlock kinds;
    if (ctx_.textBlock(7200, 1, kinds)) {
        QStringList items;
        for (const std::string& s : kinds) items << qs(s);
        for (QComboBox* combo : ComboAlmKind_) refill(combo, items);
    }
}

}  // namespace parvion::gui
