#include "viewer/ui/FullWindowView.h"

namespace vellumar {

bool FullWindowView::setOn(bool on, QWidget* area, const QList<QWidget*>& kept) {
    if (on == on_) return true;
    QWidget* page = area ? area->parentWidget() : nullptr;
    if (on) {
        if (!page) return false;
        for (QObject* child : page->children()) {
            auto* widget = qobject_cast<QWidget*>(child);
            if (!widget || widget == area || widget->isWindow() || kept.contains(widget) ||
                widget->isHidden())
                continue;
            hidden_.append(widget);
            widget->hide();
        }
        area->raise();
    } else {
        for (const QPointer<QWidget>& widget : hidden_)
            if (widget) widget->show();
        hidden_.clear();
        if (area) area->lower();
    }
    on_ = on;
    return true;
}

}  // namespace vellumar
