#include "gui/shared/radio_group.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace parvion::gui {

RadioGroup::RadioGroup(QWidget* parent)
    : QGroupBox(parent), buttons_(new QButtonGroup(this)), grid_(new QGridLayout(this)) {
    connect(buttons_, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
}

void RadioGroup::setItems(const QStringList& items) {
    const int selected = itemIndex();
    for (QAbstractButton* b : buttons_->buttons()) {
        buttons_->removeButton(b);
        delete b;
    }
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        buttons_->addButton(b, i);
    }
    if (selected >= 0 && selected < items.size()) setItemIndex(selected);
    relayout();
}

QStringList RadioGroup::items() const {
    QStringList out;
    for (int i = 0; i < count(); ++i) out << buttons_->button(i)->text();
    return out;
}

int RadioGroup::count() const {
    return static_cast<int>(buttons_->buttons().size());
}

void RadioGroup::setColumns(int columns) {
    columns_ = columns < 1 ? 1 : columns;
    relayout();
}

int RadioGroup::itemIndex() const {
    return buttons_->checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (QAbstractButton* b = buttons_->button(index)) {
        b->setChecked(true);
    } else if (QAbstractButton* checked = buttons_->checkedButton()) {
        buttons_->setExclusive(false);
        checked->setChecked(false);
        buttons_->setExclusive(true);
    }
}

void RadioGroup::relayout() {
    const int n = count();
    const int rows = (n + columns_ - 1) / columns_;
    for (int i = 0; i < n; ++i) {
        QAbstractButton* b = buttons_->button(i);
        grid_->removeWidget(b);
        grid_->addWidget(b, rows == 0 ? 0 : i % rows, rows == 0 ? 0 : i / rows);
    }
}

}  // namespace parvion::gui
