#include "gui/parameters/remarks_page.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/edit/remarks.h"
#include "core/model/parameter_image.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

RemarksPage::RemarksPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabParBemerkung"), parent) {
    auto* layout = new QVBoxLayout(this);
    Param_Memo_ = named(new QPlainTextEdit(this), QStringLiteral("Param_Memo"));
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::TypeWriter);
    Param_Memo_->setFont(font);
    Param_Memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(Param_Memo_);
    RemarkNote_ = named(new QLabel(this), QStringLiteral("RemarkNote"));
    RemarkNote_->setWordWrap(true);
    RemarkNote_->hide();
    layout->addWidget(RemarkNote_);
    connect(Param_Memo_, &QPlainTextEdit::textChanged, this, [this] {
        ctx_.image.Bemerkung = edit::SplitRemarks(Param_Memo_->toPlainText().toStdString());
        showNote();
    });
}

void RemarksPage::redisplay() {
    const std::vector<std::string>& lines = ctx_.image.Bemerkung;
    if (edit::SplitRemarks(Param_Memo_->toPlainText().toStdString()) != lines) {
        const QSignalBlocker block(Param_Memo_);
        Param_Memo_->setPlainText(qs(edit::JoinRemarks(lines)));
    }
    showNote();
}

void RemarksPage::updateTexts() {
    showNote();
}

void RemarksPage::showNote() {
    const std::string note = edit::RemarkStorageNote(
        ctx_.image.Bemerkung, [this](std::uint16_t number) { return ctx_.text(number); });
    RemarkNote_->setText(qs(note));
    RemarkNote_->setVisible(!note.empty());
}

}  // namespace parvion::gui
