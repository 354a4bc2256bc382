// The widgets of a page's forms, laid over the placeholders the scanned page reserved in
// the display, and the submission of a form. Owned by the THTMLViewer showing the page;
// the widgets are children of its viewport and go when the next page is shown.
//
// Thread: the main thread.
#pragma once

#include <QButtonGroup>
#include <QList>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <functional>

#include "HtmlScan.h"
#include "htmlview/THTMLViewer.h"

namespace htmlview {

class FormWidgets {
  public:
    FormWidgets(THTMLViewer& viewer, std::function<void(const FormSubmission&)> submit);
    ~FormWidgets();

    // The space a field takes in the page, in the viewer's font.
    QSize sizeOf(const FieldInfo& field) const;

    // Makes the widgets of a freshly shown page (replacing those of the last one).
    void create(const ScannedPage& page);
    void clear();
    // Moves every widget onto its placeholder (after scrolling or a new layout).
    void place();

    // The submission of form `form` as pressing `button` (a field index, or -1) gives it.
    FormSubmission submission(int form, int button) const;

  private:
    void findPlaceholders();
    void reset(int form);

    THTMLViewer& viewer_;
    std::function<void(const FormSubmission&)> submit_;
    QList<FormInfo> forms_;
    QList<FieldInfo> fields_;
    QList<QPointer<QWidget>> widgets_;      // one per field; null for hidden fields
    QList<QPointer<QButtonGroup>> groups_;  // one per form and radio name
    QList<QPair<int, int>> anchors_;        // field index and its placeholder's position
};

}  // namespace htmlview
