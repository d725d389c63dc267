#pragma once
// The texts of the small dialogs' buttons, and Qt's own texts in the
// program's language.
//
// OK and Cancel of the settings, value input and password dialogs come from
// the string library (a dialog without one, or a library without the text,
// shows Qt's own text of the standard button). What Qt draws itself — the
// standard buttons of message boxes, the file and print dialogs, the context
// menus of edits — comes from Qt's translations, which QtTranslations loads
// for the language in force.

#include <QDialogButtonBox>
#include <QString>
#include <cstdint>
#include <memory>

#include "core/views/text_source.h"

class QPushButton;
class QTranslator;

namespace parvion::gui {

// Text numbers: the two buttons and the password dialog's caption.
inline constexpr std::uint16_t kTextButtonOk = 23552;
inline constexpr std::uint16_t kTextButtonCancel = 23553;
inline constexpr std::uint16_t kTextPasswordCaption = 23554;

// Qt's own text of a standard button ("OK", "Cancel", "&Yes", ...) in the
// language of the translation installed.
QString QtButtonText(QDialogButtonBox::StandardButton button);

// The button's text from the library (`number`), else Qt's own text of
// `standard`.
void SetButtonText(QPushButton* button, const views::TextLoader& text, std::uint16_t number,
                   QDialogButtonBox::StandardButton standard);

// Qt's translation for the program's language, installed on the
// application: German is Qt's German translation ("qtbase_de" from Qt's
// translations folder; Debian's package qt6-translations-l10n), English is
// Qt's own text. Installing or removing it makes Qt send the language-change
// event to every widget, so Qt's own widgets follow at once.
class QtTranslations {
  public:
    QtTranslations();
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // Takes `sprache` (0 German, 1 English). False when German is wanted and
    // Qt's German translation cannot be loaded: Qt's texts stay English then.
    bool apply(int sprache);
    // True while Qt's German translation is installed.
    bool germanInstalled() const { return installed_; }

  private:
    std::unique_ptr<QTranslator> translator_;
    bool installed_ = false;
};

}  // namespace parvion::gui
