#pragma once
// The remarks page TabParBemerkung: the free remark lines of the parameter
// set in Param_Memo. They travel with the parameter file and the printout;
// the device does not keep them. Every edit goes into the image at once.

#include "gui/app/page.h"

class QPlainTextEdit;

namespace parvion::gui {

class RemarksPage : public Page {
    Q_OBJECT
  public:
    explicit RemarksPage(PageContext& context, QWidget* parent = nullptr);

    void fill() override { redisplay(); }
    // The image's remark lines; the text stays as it is (with the cursor)
    // when it already shows them.
    void redisplay() override;

  private:
    QPlainTextEdit* Param_Memo_;
};

}  // namespace parvion::gui
