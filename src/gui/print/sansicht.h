#pragma once
// Tsansicht ("Seitenansicht"): the print preview. It shows the pages of a
// printout one at a time (the remarks page too) with a bar above them:
// previous and next page with the page line, zoom out and in with the zoom
// in percent, print and close. The window opens large enough to read a
// page at the screen's resolution (core/views/preview_rules.h); the page
// scrolls when it is larger than the window. The print menu puts fresh
// pages into it and shows it modally; Print closes it and asks the menu to
// print the same printout.

#include <QDialog>
#include <QImage>
#include <QSize>
#include <vector>

#include "core/views/page_layout.h"
#include "core/views/text_source.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace parvion::gui {

class Tsansicht : public QDialog {
    Q_OBJECT
  public:
    explicit Tsansicht(QWidget* parent = nullptr);

    // The pages to show, each `pageSize` (screen pixels at 100 %) at the
    // screen's resolution; shows the first at the zoom kept from before.
    void setPages(std::vector<print::PrintPage> pages, QSize pageSize, double dpiX, double dpiY);
    // Shows `picture` alone in Image, which takes its size.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

    // Texts of the controls from the library in force.
    void setTexts(const views::TextLoader& text);

    int pageIndex() const { return page_; }
    int pageCount() const { return static_cast<int>(pages_.size()); }
    int zoom() const { return zoom_; }
    // True when the dialog ended through Print.
    bool printRequested() const { return printRequested_; }

    void showPage(int index);
    void zoomBy(int direction);

    QScrollArea* ScrollBox = nullptr;
    QLabel* Image = nullptr;
    QPushButton* BtnPrevPage = nullptr;
    QPushButton* BtnNextPage = nullptr;
    QLabel* PageLine = nullptr;
    QPushButton* BtnZoomOut = nullptr;
    QPushButton* BtnZoomIn = nullptr;
    QLabel* ZoomLine = nullptr;
    QPushButton* BtnPrint = nullptr;
    QPushButton* BtnClose = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void render();
    void updateControls();
    void fitToScreen();

    std::vector<print::PrintPage> pages_;
    QSize pageSize_;
    double dpiX_ = 96;
    double dpiY_ = 96;
    int page_ = 0;
    int zoom_ = 100;
    bool printRequested_ = false;
    views::TextLoader text_;
    QImage picture_;
};

}  // namespace parvion::gui
