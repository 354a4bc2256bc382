#include "app/ui/ClipFrame.h"

#include <QResizeEvent>

#include <algorithm>

namespace vellumar {

ClipFrame::ClipFrame(QWidget* parent) : QWidget(parent) {}

void ClipFrame::setContent(QWidget* content) {
    content_ = content;
    content_->setParent(this);
    content_->setGeometry(0, 0, std::max(width(), kMinimumClient.width()),
                          std::max(height(), kMinimumClient.height()));
}

QSize ClipFrame::sizeHint() const { return content_ ? content_->sizeHint() : kMinimumClient; }

void ClipFrame::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!content_) return;
    content_->setGeometry(0, 0, std::max(event->size().width(), kMinimumClient.width()),
                          std::max(event->size().height(), kMinimumClient.height()));
}

}  // namespace vellumar
