#include "gui/shared/widgets.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QListWidget>
#include <QScreen>
#include <QSignalBlocker>
#include <algorithm>

namespace parvion::gui {

QListWidget* fixedList(QWidget* parent, const QString& name) {
    auto* list = named(new QListWidget(parent), name);
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::TypeWriter);
    list->setFont(font);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QListWidget* valueList(QWidget* parent, const QString& name) {
    QListWidget* list = fixedList(parent, name);
    setValueListStale(list, false);
    return list;
}

void setValueListStale(QListWidget* list, bool stale) {
    list->setStyleSheet(stale
                            ? QStringLiteral("QListWidget { background: silver; color: #5f5f5f; }")
                            : QStringLiteral("QListWidget { background: silver; color: black; }"));
}

void setCaption(QGroupBox* box, const std::string& text) {
    if (!text.empty()) box->setTitle(qs(text));
}

void setCaption(QAbstractButton* button, const std::string& text) {
    if (!text.empty()) button->setText(qs(text));
}

QStringList choices(const views::TextBlock& block, std::size_t from) {
    QStringList out;
    for (std::size_t i = from; i < block.size() && !block[i].empty(); ++i) out << qs(block[i]);
    return out;
}

QStringList toQStringList(const std::vector<std::string>& texts) {
    QStringList out;
    for (const std::string& t : texts) out << qs(t);
    return out;
}

void centreWindow(QWidget* window, const QWidget* over) {
    if (over != nullptr) over = over->window();
    const bool onWindow = over != nullptr && over != window && over->isVisible();
    const QScreen* screen = onWindow ? over->screen() : window->screen();
    if (screen == nullptr) return;
    const QRect desk = screen->availableGeometry();
    // Before the first show the frame is the window itself.
    QRect frame = window->frameGeometry();
    frame.moveCenter(onWindow ? over->frameGeometry().center() : desk.center());
    // On the screen, the title bar first when the window is the larger.
    frame.moveRight(std::min(frame.right(), desk.right()));
    frame.moveBottom(std::min(frame.bottom(), desk.bottom()));
    frame.moveLeft(std::max(frame.left(), desk.left()));
    frame.moveTop(std::max(frame.top(), desk.top()));
    window->move(frame.topLeft());
}

void refill(QComboBox* combo, const QStringList& items) {
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(items);
}

void refill(QListWidget* list, const std::vector<std::string>& lines) {
    const int row = list->currentRow();
    const QSignalBlocker block(list);
    list->clear();
    for (const std::string& line : lines) list->addItem(qs(line));
    if (row >= 0 && row < list->count()) list->setCurrentRow(row);
}

}  // namespace parvion::gui
