#pragma once
// How a line of a list or grid is edited: a double click on it, or Enter on
// the current line. A double click below the last line finds no line (row
// -1); a held Enter edits once, not once per repeat.

#include <functional>

class QAbstractItemView;

namespace parvion::gui {

void onLineActivated(QAbstractItemView* view, std::function<void(int row, int column)> activate);

}  // namespace parvion::gui
