#pragma once
// The value input dialog through which every number is typed in. The caller
// sets IntegerMode, Precision, Quantity, MinValue, MaxValue, Value (base
// unit) and Label (what is edited), shows it modally and takes Value back
// unless the result is Cancel (or, for the table editors, unless Cancelled
// is set). The dialog names in its body what it edits, the unit and the
// limits (the caption, which window managers cut or leave out, repeats the
// limits), shows the value in the user's unit, filters the keys, snaps
// near-zero entries to 0 and clamps to the limits with a beep; OK on an
// entry that holds no number says so in the body and keeps the dialog open.
// One instance is reused; IntegerMode, Precision and Quantity are never
// reset by the dialog.

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/views/input_rules.h"
#include "core/views/text_source.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace parvion {
struct ParameterImage;
struct Session;
struct UnitRow;
}  // namespace parvion

namespace parvion::gui {

class TInputDlg : public QDialog {
    Q_OBJECT
  public:
    // The image supplies the user-unit option and choices, the session the
    // variant. beep: the information beep (default QApplication::beep).
    TInputDlg(const ParameterImage& image, const Session& session, QWidget* parent = nullptr,
              std::function<void()> beep = {});

    // Fields, as the callers know them.
    float DisplayMin = 0;
    float DisplayMax = 0;
    float DisplayValue = 0;
    bool IntegerMode = false;
    bool Cancelled = false;
    std::int32_t Precision = 5;
    float Value = 0;
    float MaxValue = 0;
    float MinValue = 0;
    std::uint8_t Quantity = 255;
    // What is edited, as the page or table names it ("Wert bei 20 mA");
    // empty: the body names unit and limits alone.
    QString Label;

    QLabel* Prompt = nullptr;   // label, unit and limits
    QLabel* Refusal = nullptr;  // why OK took nothing; hidden until then
    QLineEdit* Input = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    // The dialog for one value of a page: `value` shown in the quantity's
    // unit, limited to min..max (base unit), five significant digits, the
    // body naming `label`. The accepted value in the base unit; nothing when
    // Cancel, Escape or the close box ended it.
    std::optional<float> enter(std::uint8_t quantity, float min, float max, float value,
                               const QString& label = {});

    // What OK took last: the entry and whether it was set to a limit.
    views::AcceptedInput Accepted;
    // The status line about the last entry when OK set it to a limit
    // ("<name>: maximum <limit> taken, not <entry>"); empty otherwise.
    std::string clampedText(std::string_view name) const;

    // Where the texts of OK and Cancel come from (the string library in
    // force); without it the buttons show Qt's own texts.
    void setTexts(views::TextLoader text) { text_ = std::move(text); }

  public slots:
    void FormActivate();
    void OKBtnClick();
    void CancelBtnClick();

  public:
    // The key filter on one typed character; true when it was handled
    // (inserted or swallowed), false to let the edit treat it as usual.
    bool InputKeyPress(QChar key);

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    const UnitRow* conversionRow() const;
    void showRefusal(const std::string& text);

    const ParameterImage& image_;
    const Session& session_;
    std::function<void()> beep_;
    views::TextLoader text_;
};

}  // namespace parvion::gui
