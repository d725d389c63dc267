#pragma once
// Small helpers the pages share to build and caption their widgets.

#include <QComboBox>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "core/views/text_source.h"

class QAbstractButton;
class QGroupBox;
class QListWidget;
class QWidget;

namespace parvion::gui {

inline QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

template <typename W>
W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

// A list in the fixed-pitch font of the device tool's lists.
QListWidget* fixedList(QWidget* parent, const QString& name);
// The same on the silver background of the value lists.
QListWidget* valueList(QWidget* parent, const QString& name);
// Greys the lines of a value list that are no longer current, or shows them
// black again.
void setValueListStale(QListWidget* list, bool stale);

// Captions from loaded texts; an empty text keeps the caption.
void setCaption(QGroupBox* box, const std::string& text);
void setCaption(QAbstractButton* button, const std::string& text);

// The choices of a list: the block's texts from `from` up to the first empty.
QStringList choices(const views::TextBlock& block, std::size_t from = 1);
QStringList toQStringList(const std::vector<std::string>& texts);

// Moves a window so that it is centred on `over` (its window) when that is
// shown, otherwise on the screen, and keeps it on the screen.
void centreWindow(QWidget* window, const QWidget* over);

// Replaces a combo's items without running its handlers.
void refill(QComboBox* combo, const QStringList& items);
// Replaces a list's lines, keeping the selected row where it still exists.
void refill(QListWidget* list, const std::vector<std::string>& lines);

}  // namespace parvion::gui
