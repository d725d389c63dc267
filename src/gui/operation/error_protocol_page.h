#pragma once
// The error-protocol page TabFehler with the list ErrorListe. The device's
// protocol is shown by the error-protocol filler, which is not built yet:
// the list stays disabled.

#include "gui/app/page.h"

class QListWidget;

namespace parvion::gui {

class ErrorProtocolPage : public Page {
    Q_OBJECT
  public:
    explicit ErrorProtocolPage(PageContext& context, QWidget* parent = nullptr);

  private:
    QListWidget* ErrorListe_;
};

}  // namespace parvion::gui
