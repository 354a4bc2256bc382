#include "platform/ui/Cursors.h"

#include <QApplication>
#include <QCursor>

namespace vellumar {

namespace {
CursorShape gShape = CursorShape::Default;
}

void setScreenCursor(CursorShape shape) {
    if (shape == gShape) return;
    gShape = shape;
    if (shape == CursorShape::Default) {
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
        return;
    }
    const QCursor cursor(shape == CursorShape::Hourglass ? Qt::WaitCursor : Qt::BusyCursor);
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(cursor);
    else
        QApplication::setOverrideCursor(cursor);
}

CursorShape screenCursor() { return gShape; }

void processPendingMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

}  // namespace vellumar
