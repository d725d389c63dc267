#pragma once
// The password dialog: asks for the 8-character device password. It only
// collects the text; its edit keeps it from one use to the next (never in a
// file), so the settings dialog can try the same password again without
// asking.

#include <QDialog>
#include <QString>

#include "core/views/text_source.h"

class QLineEdit;
class QPushButton;

namespace parvion::gui {

class TPasswordDlg : public QDialog {
    Q_OBJECT
  public:
    explicit TPasswordDlg(QWidget* parent = nullptr);

    // The text of the edit: what was typed last.
    QString text() const;
    void setText(const QString& text);
    // Empties the edit, shows the dialog modally and returns the edit's text
    // afterwards, whichever way it was closed.
    QString ask();

    // Where the caption and the texts of OK and Cancel come from (the string
    // library in force); without it: "Paßwort" and Qt's own button texts.
    void setTexts(views::TextLoader text) { text_ = std::move(text); }

    QLineEdit* Password = nullptr;
    QPushButton* mrOk = nullptr;
    QPushButton* CancelBtn = nullptr;

  public slots:
    void FormActivate();
    void CancelBtnClick();
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    views::TextLoader text_;
};

}  // namespace parvion::gui
