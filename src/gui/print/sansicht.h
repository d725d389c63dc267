#pragma once
// Tsansicht ("Seitenansicht"): the passive window in which the first page
// of a printout is previewed. The print menu puts a fresh picture into its
// Image and shows it modally; the window scrolls when the picture is larger
// than its client area.

#include <QDialog>
#include <QImage>

class QLabel;
class QScrollArea;

namespace parvion::gui {

class Tsansicht : public QDialog {
    Q_OBJECT
  public:
    explicit Tsansicht(QWidget* parent = nullptr);

    // Shows `picture` in Image, which takes its size.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

    QScrollArea* ScrollBox = nullptr;
    QLabel* Image = nullptr;

  private:
    QImage picture_;
};

}  // namespace parvion::gui
