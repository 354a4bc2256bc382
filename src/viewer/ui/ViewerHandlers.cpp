// TFormMain's handlers of the viewers: the view options and the fonts and colours the
// settings carry. Entry navigation, history and the font and colour dialogs arrive with
// the document viewer, empty hooks until then.
#include "app/ui/TFormMain.h"
#include "viewer/ui/ViewColors.h"

#include <QAction>
#include <QCheckBox>
#include <QPalette>
#include <QTextBrowser>
#include <QTextEdit>

namespace vellumar {

void TFormMain::scrNextPrevScroll(int) {}  // Hook: showing entry `position` (preview).
void TFormMain::cmdBackClick() {}          // Hook: viewer history.
void TFormMain::cmdForwardClick() {}       // Hook: viewer history.
void TFormMain::cmdFontClick() {}          // Hook: the font dialog (viewer modes).
void TFormMain::cmdBackColorClick() {}     // Hook: the colour dialog (viewer modes).

void TFormMain::chkWordWrapClick() {
    rtfEntries->setLineWrapMode(chkWordWrap->isChecked() ? QTextEdit::WidgetWidth
                                                         : QTextEdit::NoWrap);
    mnuWordWrap->setChecked(chkWordWrap->isChecked());
}

void TFormMain::chkRtfPlainClick() {
    mnuRtfPlain->setChecked(chkRtfPlain->isChecked());
    // Hook: moving the shown text between the viewers (viewer modes).
}

void TFormMain::chkHtmlSourceClick() {
    mnuHtmlSource->setChecked(chkHtmlSource->isChecked());
    // Hook: ShowCurrentView (viewer modes).
}

void TFormMain::chkStayOnClick() { mnuStayOn->setChecked(chkStayOn->isChecked()); }

void TFormMain::applyViewFonts() {
    const QPalette base = palette();
    auto style = [&](QWidget* viewer, const FontSetting& font, std::int32_t back) {
        viewer->setFont(fontFromSetting(font, viewer->font()));
        QPalette colours = viewer->palette();
        colours.setColor(QPalette::Text, colorFromSetting(font.color, base));
        colours.setColor(QPalette::Base, colorFromSetting(back, base));
        viewer->setPalette(colours);
    };
    style(rtfEntries, viewFont, viewBackColor);
    style(ree, viewFont, viewBackColor);
    style(HTML1, viewFont, viewBackColor);
    style(HTML2, cacheWatcherFont, cacheWatcherBackColor);
    chkWordWrapClick();
}

}  // namespace vellumar
