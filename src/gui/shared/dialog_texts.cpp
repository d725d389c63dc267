#include "gui/shared/dialog_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPushButton>
#include <QTranslator>

#include "core/model/utf8_text.h"

namespace parvion::gui {

QString QtButtonText(QDialogButtonBox::StandardButton button) {
    // The text a button box gives the standard button: the platform theme's,
    // through the translation installed.
    QDialogButtonBox box;
    return box.addButton(button)->text();
}

void SetButtonText(QPushButton* button, const views::TextLoader& text, std::uint16_t number,
                   QDialogButtonBox::StandardButton standard) {
    const std::string own = text ? TrimText(text(number)) : std::string();
    button->setText(own.empty() ? QtButtonText(standard) : QString::fromStdString(own));
}

QtTranslations::QtTranslations() : translator_(std::make_unique<QTranslator>()) {}

QtTranslations::~QtTranslations() {
    if (installed_ && QCoreApplication::instance() != nullptr) {
        QCoreApplication::removeTranslator(translator_.get());
    }
}

bool QtTranslations::apply(int sprache) {
    const bool german = sprache == 0;
    if (german == installed_) return true;
    if (!german) {
        QCoreApplication::removeTranslator(translator_.get());
        installed_ = false;
        return true;
    }
    if (translator_->isEmpty() &&
        !translator_->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                           QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    installed_ = QCoreApplication::installTranslator(translator_.get());
    return installed_;
}

}  // namespace parvion::gui
