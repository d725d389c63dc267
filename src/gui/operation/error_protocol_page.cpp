#include "gui/operation/error_protocol_page.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "gui/app/widgets.h"

namespace parvion::gui {

ErrorProtocolPage::ErrorProtocolPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabFehler"), parent) {
    auto* layout = new QVBoxLayout(this);
    ErrorListe_ = fixedList(this, QStringLiteral("ErrorListe"));
    ErrorListe_->setEnabled(false);
    layout->addWidget(ErrorListe_);
}

}  // namespace parvion::gui
