#include "gui/shared/line_activation.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace parvion::gui {

namespace {

class LineActivation : public QObject {
  public:
    LineActivation(QAbstractItemView* view, std::function<void(int, int)> activate)
        : QObject(view), view_(view), activate_(std::move(activate)) {
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonDblClick && watched == view_->viewport()) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QModelIndex at = view_->indexAt(mouse->position().toPoint());
            activate_(at.row(), at.column());
            return true;
        }
        if (event->type() == QEvent::KeyPress && watched == view_) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                if (!key->isAutoRepeat()) {
                    const QModelIndex at = view_->currentIndex();
                    activate_(at.row(), at.column());
                }
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QAbstractItemView* view_;
    std::function<void(int, int)> activate_;
};

}  // namespace

void onLineActivated(QAbstractItemView* view, std::function<void(int row, int column)> activate) {
    new LineActivation(view, std::move(activate));
}

}  // namespace parvion::gui
