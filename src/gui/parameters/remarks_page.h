#pragma once
// The remarks page TabParBemerkung: the free remark lines of the parameter
// set in Param_Memo. They travel with the parameter file and the printout;
// the device does not keep them. Every edit goes into the image at once,
// as typed; a line that a parameter file must store in another form (it
// would read as the end of the remarks) is named in the note under the
// memo, RemarkNote.

#include "gui/shared/page.h"

class QLabel;
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
    void updateTexts() override;

  private:
    void showNote();

    QPlainTextEdit* Param_Memo_;
    QLabel* RemarkNote_;
};

}  // namespace parvion::gui
