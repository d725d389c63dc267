#pragma once
// A titled group of radio buttons laid out in columns, with an item index.

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QGridLayout;

namespace parvion::gui {

class RadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    explicit RadioGroup(QWidget* parent = nullptr);

    void setItems(const QStringList& items);
    QStringList items() const;
    int count() const;
    // Items fill the columns top to bottom.
    void setColumns(int columns);
    int columns() const { return columns_; }
    // -1 when none is selected.
    int itemIndex() const;
    void setItemIndex(int index);

  signals:
    void clicked(int index);

  private:
    void relayout();

    QButtonGroup* buttons_;
    QGridLayout* grid_;
    int columns_ = 1;
};

}  // namespace parvion::gui
