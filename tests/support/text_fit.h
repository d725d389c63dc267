#pragma once
// Finds the texts of a window that do not fit their controls: every visible
// label, button, check box, radio button, group title, tab, line edit,
// combo box item, list line, table cell and header section is measured
// with the font it is drawn in and compared with the room its control
// gives it, as the style lays the control out. Also finds sibling controls
// that overlap and controls smaller than their size hint.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "gui/shared/multi_row_tab_bar.h"

namespace parvion::test {

// "Tfrm_Main/TabPar1/TBox1/ComboPT1": the named ancestors of a widget.
inline QString WidgetPath(const QWidget* w) {
    QStringList parts;
    for (const QObject* o = w; o != nullptr; o = o->parent()) {
        if (!o->objectName().isEmpty()) parts.prepend(o->objectName());
    }
    if (w->objectName().isEmpty()) parts << QString::fromLatin1(w->metaObject()->className());
    return parts.join(QLatin1Char('/'));
}

namespace text_fit_detail {

inline QString Fault(const QWidget* w, const QString& text, int needed, int room,
                     const char* what = "wide") {
    return QStringLiteral("%1 \"%2\": needs %3 px %4, has %5")
        .arg(WidgetPath(w), text)
        .arg(needed)
        .arg(QString::fromLatin1(what))
        .arg(room);
}

// Width of a caption as drawn: without the mnemonic ampersand.
inline int CaptionWidth(const QFontMetrics& fm, const QString& text) {
    return fm.size(Qt::TextShowMnemonic, text).width();
}

// Room an item view leaves around a cell's text on each side.
inline int ItemTextMargin(const QWidget* view) {
    return view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
}

inline QFont ItemFont(const QAbstractItemView* view, const QModelIndex& index) {
    const QVariant f = index.data(Qt::FontRole);
    return f.isValid() ? f.value<QFont>() : view->font();
}

inline void CheckLabel(const QLabel* label, QStringList& out) {
    if (label->text().isEmpty() || label->textFormat() == Qt::RichText) return;
    const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                      -label->margin(), -label->margin());
    if (label->wordWrap()) {
        const int h = label->heightForWidth(label->width());
        if (h > label->height()) out << Fault(label, label->text(), h, label->height(), "high");
        return;
    }
    const QSize need = label->fontMetrics().size(Qt::TextShowMnemonic, label->text());
    if (need.width() > room.width()) out << Fault(label, label->text(), need.width(), room.width());
    if (need.height() > room.height())
        out << Fault(label, label->text(), need.height(), room.height(), "high");
}

inline void CheckButton(const QAbstractButton* b, QStringList& out) {
    if (b->text().isEmpty()) return;
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(b) != nullptr) contents = QStyle::SE_CheckBoxContents;
    if (qobject_cast<const QRadioButton*>(b) != nullptr) contents = QStyle::SE_RadioButtonContents;
    if (const auto* push = qobject_cast<const QPushButton*>(b); push && push->autoDefault())
        opt.features |= QStyleOptionButton::AutoDefaultButton;
    const QRect room = b->style()->subElementRect(contents, &opt, b);
    const QFontMetrics fm(b->font());
    const int w = CaptionWidth(fm, b->text());
    if (w > room.width()) out << Fault(b, b->text(), w, room.width());
    if (fm.height() > b->height()) out << Fault(b, b->text(), fm.height(), b->height(), "high");
}

inline void CheckGroupBox(const QGroupBox* box, QStringList& out) {
    if (box->title().isEmpty()) return;
    QStyleOptionGroupBox opt;
    opt.initFrom(box);
    opt.text = box->title();
    opt.lineWidth = 1;
    opt.textAlignment = box->alignment();
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box->isCheckable()) opt.subControls |= QStyle::SC_GroupBoxCheckBox;
    if (box->isFlat()) opt.features |= QStyleOptionFrame::Flat;
    const QRect label =
        box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
    if (label.left() < 0 || label.right() >= box->width())
        out << Fault(box, box->title(), label.right() + 1, box->width());
}

inline void CheckLineEdit(const QLineEdit* edit, QStringList& out) {
    const QString text = edit->displayText();
    if (text.isEmpty()) return;
    QStyleOptionFrame opt;
    opt.initFrom(edit);
    opt.lineWidth =
        edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit) : 0;
    QRect room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, edit);
    const QMargins m = edit->textMargins();
    // The line edit keeps 2 pixels on either side of its text.
    room = room.marginsRemoved(m).adjusted(2, 0, -2, 0);
    const int w = edit->fontMetrics().horizontalAdvance(text);
    if (w > room.width()) out << Fault(edit, text, w, room.width());
}

inline void CheckComboBox(const QComboBox* combo, QStringList& out) {
    QStyleOptionComboBox opt;
    opt.initFrom(combo);
    opt.editable = combo->isEditable();
    opt.frame = combo->hasFrame();
    opt.subControls = QStyle::SC_All;
    // The current item is drawn one pixel in from either side of the field.
    const int room =
        combo->style()
            ->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, combo)
            .width() -
        2;
    const QFontMetrics fm(combo->font());
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
    if (!combo->placeholderText().isEmpty()) texts << combo->placeholderText();
    for (const QString& t : texts) {
        const int w = fm.horizontalAdvance(t);
        if (w > room) out << Fault(combo, t, w, room);
    }
}

inline void CheckHeader(const QHeaderView* header, QStringList& out) {
    if (!header->isVisibleTo(header->window())) return;
    for (int i = 0; i < header->count(); ++i) {
        if (header->isSectionHidden(i)) continue;
        const int need = header->sectionSizeHint(i);
        if (header->orientation() == Qt::Horizontal && header->sectionSize(i) < need) {
            const QString text =
                header->model()->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
            out << Fault(header, text, need, header->sectionSize(i));
        }
    }
}

// The lines of a list: each must fit the width of the list's viewport.
inline void CheckListWidget(const QListWidget* list, QStringList& out) {
    const int room = list->viewport()->width() - 2 * ItemTextMargin(list);
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem* item = list->item(row);
        if (item->isHidden() || item->text().isEmpty()) continue;
        const QModelIndex index = list->model()->index(row, 0);
        const int w = QFontMetrics(ItemFont(list, index)).horizontalAdvance(item->text());
        if (w > room) out << Fault(list, item->text(), w, room);
    }
}

// The cells of a table: each must fit its column; the columns together must
// fit the view.
inline void CheckTable(const QTableView* table, QStringList& out) {
    const QAbstractItemModel* model = table->model();
    if (model == nullptr) return;
    const int margin = 2 * ItemTextMargin(table);
    int total = 0;
    for (int c = 0; c < model->columnCount(); ++c) {
        if (table->isColumnHidden(c)) continue;
        total += table->columnWidth(c);
        for (int r = 0; r < model->rowCount(); ++r) {
            const QModelIndex index = model->index(r, c);
            const QString text = index.data(Qt::DisplayRole).toString();
            if (text.isEmpty()) continue;
            const int w = QFontMetrics(ItemFont(table, index)).horizontalAdvance(text) + margin;
            if (w > table->columnWidth(c)) out << Fault(table, text, w, table->columnWidth(c));
        }
    }
    if (table->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff &&
        total > table->viewport()->width())
        out << Fault(table, QStringLiteral("(all columns)"), total, table->viewport()->width());
    CheckHeader(table->horizontalHeader(), out);
}

inline int TabWidth(const QWidget* bar, const QString& text, QTabBar::Shape shape) {
    QStyleOptionTab opt;
    opt.initFrom(bar);
    opt.shape = shape;
    opt.text = text;
    const QFontMetrics fm(bar->font());
    const int hspace = bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &opt, bar);
    const QSize content(CaptionWidth(fm, text) + hspace, fm.height());
    return bar->style()->sizeFromContents(QStyle::CT_TabBarTab, &opt, content, bar).width();
}

// Every tab shows its whole text and lies inside its bar, where the mouse
// reaches it.
inline void CheckTabBar(const QTabBar* bar, QStringList& out) {
    for (int i = 0; i < bar->count(); ++i) {
        if (!bar->isTabVisible(i)) continue;
        const QRect r = bar->tabRect(i);
        const int need = TabWidth(bar, bar->tabText(i), bar->shape());
        if (r.width() < need) out << Fault(bar, bar->tabText(i), need, r.width());
        if (r.left() < 0 || r.right() >= bar->width())
            out << Fault(bar, bar->tabText(i), r.right() + 1, bar->width(), "to reach");
    }
}

inline void CheckMultiRowTabBar(const gui::MultiRowTabBar* bar, const QTabWidget* pages,
                                QStringList& out) {
    for (int i = 0; i < pages->count(); ++i) {
        const QRect r = bar->tabRect(i);
        const int need = TabWidth(bar, pages->tabText(i), QTabBar::RoundedNorth);
        if (r.width() < need) out << Fault(bar, pages->tabText(i), need, r.width());
        if (!bar->rect().contains(r))
            out << Fault(bar, pages->tabText(i), r.bottom() + 1, bar->height(), "to reach");
    }
}

}  // namespace text_fit_detail

// Every text of `root` and its visible descendants that its control cuts.
inline QStringList TextFitFaults(const QWidget* root) {
    using namespace text_fit_detail;
    QStringList out;
    QList<const QWidget*> widgets{root};
    for (const QWidget* w : root->findChildren<QWidget*>()) {
        if (w->isVisibleTo(root)) widgets << w;
    }
    for (const QWidget* w : widgets) {
        if (const auto* label = qobject_cast<const QLabel*>(w)) CheckLabel(label, out);
        if (const auto* button = qobject_cast<const QAbstractButton*>(w)) CheckButton(button, out);
        if (const auto* box = qobject_cast<const QGroupBox*>(w)) CheckGroupBox(box, out);
        if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
            // A combo box's own edit is measured as the combo box.
            if (qobject_cast<const QComboBox*>(w->parentWidget()) == nullptr)
                CheckLineEdit(edit, out);
        }
        if (const auto* combo = qobject_cast<const QComboBox*>(w)) CheckComboBox(combo, out);
        if (const auto* list = qobject_cast<const QListWidget*>(w)) CheckListWidget(list, out);
        if (const auto* table = qobject_cast<const QTableView*>(w)) CheckTable(table, out);
        if (const auto* bar = qobject_cast<const QTabBar*>(w)) CheckTabBar(bar, out);
        if (const auto* bar = qobject_cast<const gui::MultiRowTabBar*>(w)) {
            // The page control it serves has the bar's parent as its parent.
            for (const QTabWidget* pages : w->parentWidget()->findChildren<QTabWidget*>(
                     QString(), Qt::FindDirectChildrenOnly)) {
                if (pages->tabBar()->isHidden()) CheckMultiRowTabBar(bar, pages, out);
            }
        }
    }
    return out;
}

// Visible sibling controls below `root` that overlap, and controls smaller
// than their minimum size hint (which holds their text).
inline QStringList LayoutFaults(const QWidget* root) {
    QStringList out;
    QList<const QWidget*> parents{root};
    for (const QWidget* w : root->findChildren<QWidget*>()) {
        if (w->isVisibleTo(root)) parents << w;
    }
    for (const QWidget* parent : parents) {
        QList<const QWidget*> kids;
        for (const QWidget* k :
             parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (k->isVisibleTo(root) && !k->isWindow()) kids << k;
        }
        for (int i = 0; i < kids.size(); ++i) {
            const QWidget* k = kids[i];
            if (qobject_cast<const QAbstractButton*>(k) != nullptr ||
                qobject_cast<const QGroupBox*>(k) != nullptr) {
                const QSize hint = k->minimumSizeHint();
                if (k->width() < hint.width() || k->height() < hint.height()) {
                    out << QStringLiteral("%1: %2 x %3, needs %4 x %5")
                               .arg(WidgetPath(k))
                               .arg(k->width())
                               .arg(k->height())
                               .arg(hint.width())
                               .arg(hint.height());
                }
            }
            for (int j = i + 1; j < kids.size(); ++j) {
                if (k->geometry().intersects(kids[j]->geometry())) {
                    out << QStringLiteral("%1 overlaps %2").arg(WidgetPath(k), WidgetPath(kids[j]));
                }
            }
        }
    }
    return out;
}

}  // namespace parvion::test
