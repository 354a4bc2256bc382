// "Full Window View" of the preview: the result area (the result list and the viewers,
// the splitter the viewer pane lies in) takes the whole Search page, and gets its former
// place and size back when the view is turned off. The page's other controls are hidden
// for the time (so that the page's layout hands their room to the area, whatever that
// layout is) and only those that were showing are shown again; the kept controls (the
// entry bar) stay where the layout puts them.
//
// Owned by the viewer pane; main thread only.
#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

namespace vellumar {

class FullWindowView {
  public:
    // area: the widget to enlarge; kept: controls of the page that stay visible.
    bool setOn(bool on, QWidget* area, const QList<QWidget*>& kept);
    bool isOn() const { return on_; }

  private:
    bool on_ = false;
    QList<QPointer<QWidget>> hidden_;
};

}  // namespace vellumar
