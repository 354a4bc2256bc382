// The client area of the main window. Its one child (the tool bar, the pages and the
// status line in their layout) follows the window's size down to 333 x 241 pixels;
// below that the child keeps that size and is clipped, so no control moves further.
//
// Owned by the main window; main thread only.
#pragma once

#include <QSize>
#include <QWidget>

namespace vellumar {

class ClipFrame : public QWidget {
  public:
    static constexpr QSize kMinimumClient{333, 241};

    explicit ClipFrame(QWidget* parent = nullptr);
    void setContent(QWidget* content);
    QWidget* content() const { return content_; }
    QSize minimumSizeHint() const override { return {0, 0}; }
    QSize sizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QWidget* content_ = nullptr;
};

}  // namespace vellumar
