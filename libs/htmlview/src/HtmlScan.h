// Reading an HTML page's source before it is shown: its text decoded as the parsers decode
// documents (UTF-8 when valid, else Windows-1252, so that the display shows the same
// words the parser numbered), its <base href>, and its forms. QTextDocument renders no
// form controls, so each control is replaced by a placeholder image of the control's size
// ("vellumar-field:N"), over which the display later places a real widget; the forms'
// actions and the fields' names, values and options are kept here.
//
// Pure functions; thread-safe.
#pragma once

#include <QList>
#include <QPair>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

namespace htmlview {

// One tag of the source: [start, end) covers "<" to ">".
struct HtmlTag {
    int start = 0;
    int end = 0;
    QString name;  // lower case
    bool closing = false;
    QList<QPair<QString, QString>> attributes;  // names lower case, values decoded

    bool has(const QString& attribute) const;
    QString attribute(const QString& attribute, const QString& fallback = {}) const;
};

// The next start or end tag at or after `from`; comments, declarations and the contents of
// script and style elements are passed over. Nothing at the end of the source.
std::optional<HtmlTag> NextTag(const QString& html, int from);

// Character and entity references decoded (the common named ones and numeric ones).
QString DecodeEntities(const QString& text);

// The bytes of a page as text: UTF-8 when valid, else Windows-1252.
QString DecodePage(const QByteArray& bytes);

// The href of the page's first <base> tag, or empty.
QString BaseOf(const QString& html);

struct FormInfo {
    QString action;
    QString method;  // lower case; "get" when not given
    QString target;
};

struct FieldOption {
    QString value;
    QString text;
    bool selected = false;
};

struct FieldInfo {
    enum Kind { Text, Password, Hidden, Submit, Reset, Button, Checkbox, Radio, Select, TextArea };
    Kind kind = Text;
    int form = -1;  // index into ScannedPage::forms; -1 outside any form
    QString name;
    QString value;    // the initial or submitted value
    QString caption;  // a button's text
    bool checked = false;
    int size = 20;  // characters of a text field
    int rows = 2;   // of a text area
    int cols = 20;
    QList<FieldOption> options;  // of a select
    QSize placeholder;           // the space reserved in the page
};

struct ScannedPage {
    QString html;  // the source with every visible control replaced by its placeholder
    QList<FormInfo> forms;
    QList<FieldInfo> fields;  // field i's placeholder is "vellumar-field:i"; hidden ones have none
};

inline constexpr char kFieldScheme[] = "vellumar-field";

// sizeOf gives the space a visible field takes in the page.
ScannedPage ScanForms(const QString& html, const std::function<QSize(const FieldInfo&)>& sizeOf);

}  // namespace htmlview
