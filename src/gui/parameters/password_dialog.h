#pragma once
// The password dialog: asks for the 8-character device password. It only
// collects the text; its edit keeps it from one use to the next (never in a
// file), so the settings dialog can try the same password again without
// asking.

#include <QDialog>
#include <QString>

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

    QLineEdit* Password = nullptr;
    QPushButton* mrOk = nullptr;
    QPushButton* CancelBtn = nullptr;

  public slots:
    void FormActivate();
    void CancelBtnClick();
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace parvion::gui
