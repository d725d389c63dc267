#pragma once
// The comparison of the device (or the program's parameters) with a
// parameter file: one row per field that differs, under the page that shows
// it, named as the page names it with the file's section and key beside it,
// with the count; Write and Cancel before a load is written, Close when
// it only shows.

#include <QDialog>

#include "gui/shared/dialogs.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace parvion::gui {

class TCompareDlg : public QDialog {
    Q_OBJECT
  public:
    explicit TCompareDlg(const ComparisonView& view, QWidget* parent = nullptr);

    // Columns of CompareList's fields.
    static constexpr int kLabelColumn = 0;  // what the page calls it; tooltip "[Section] Key"
    static constexpr int kLeftColumn = 1;
    static constexpr int kRightColumn = 2;
    static constexpr int kSectionColumn = 3;
    static constexpr int kKeyColumn = 4;
    static constexpr int kColumns = 5;

    QTreeWidget* CompareList = nullptr;  // a top item per page, a child per field
    QLabel* CompareCount = nullptr;
    QPushButton* BtnWrite = nullptr;  // null when the dialog only shows
    QPushButton* BtnClose = nullptr;
};

}  // namespace parvion::gui
