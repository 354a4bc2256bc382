#include "FormWidgets.h"

#include <QAbstractTextDocumentLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace htmlview {

namespace {

const QString kFieldPrefix = QStringLiteral("%1:").arg(QLatin1String(kFieldScheme));

}  // namespace

FormWidgets::FormWidgets(THTMLViewer& viewer, std::function<void(const FormSubmission&)> submit)
    : viewer_(viewer), submit_(std::move(submit)) {}

FormWidgets::~FormWidgets() { clear(); }

QSize FormWidgets::sizeOf(const FieldInfo& field) const {
    const QFontMetrics metrics(viewer_.font());
    switch (field.kind) {
        case FieldInfo::Text:
        case FieldInfo::Password: {
            QLineEdit edit;
            edit.setFont(viewer_.font());
            return {metrics.averageCharWidth() * field.size + 12, edit.sizeHint().height()};
        }
        case FieldInfo::Submit:
        case FieldInfo::Reset:
        case FieldInfo::Button: {
            QPushButton button(field.caption);
            button.setFont(viewer_.font());
            return button.sizeHint();
        }
        case FieldInfo::Checkbox:
        case FieldInfo::Radio: {
            QCheckBox box;
            return box.sizeHint();
        }
        case FieldInfo::Select: {
            QComboBox box;
            box.setFont(viewer_.font());
            for (const FieldOption& option : field.options) box.addItem(option.text);
            return box.sizeHint();
        }
        case FieldInfo::TextArea:
            return {metrics.averageCharWidth() * field.cols + 16,
                    metrics.lineSpacing() * field.rows + 10};
        case FieldInfo::Hidden:
            break;
    }
    return {};
}

void FormWidgets::clear() {
    for (const QPointer<QWidget>& widget : widgets_) delete widget.data();
    widgets_.clear();
    for (const QPointer<QButtonGroup>& group : groups_) delete group.data();
    groups_.clear();
    anchors_.clear();
    forms_.clear();
    fields_.clear();
}

void FormWidgets::create(const ScannedPage& page) {
    clear();
    forms_ = page.forms;
    fields_ = page.fields;
    QWidget* parent = viewer_.viewport();
    QHash<QString, QButtonGroup*> radioGroups;
    for (int i = 0; i < fields_.size(); ++i) {
        const FieldInfo& field = fields_[i];
        QWidget* widget = nullptr;
        switch (field.kind) {
            case FieldInfo::Hidden:
                break;
            case FieldInfo::Text:
            case FieldInfo::Password: {
                auto* edit = new QLineEdit(field.value, parent);
                if (field.kind == FieldInfo::Password) edit->setEchoMode(QLineEdit::Password);
                const int form = field.form;
                QObject::connect(edit, &QLineEdit::returnPressed, edit, [this, form] {
                    if (form >= 0) submit_(submission(form, -1));
                });
                widget = edit;
                break;
            }
            case FieldInfo::Submit:
            case FieldInfo::Reset:
            case FieldInfo::Button: {
                auto* button = new QPushButton(field.caption, parent);
                const int form = field.form;
                if (field.kind == FieldInfo::Submit)
                    QObject::connect(button, &QPushButton::clicked, button, [this, form, i] {
                        if (form >= 0) submit_(submission(form, i));
                    });
                else if (field.kind == FieldInfo::Reset)
                    QObject::connect(button, &QPushButton::clicked, button,
                                     [this, form] { reset(form); });
                widget = button;
                break;
            }
            case FieldInfo::Checkbox: {
                auto* box = new QCheckBox(parent);
                box->setChecked(field.checked);
                widget = box;
                break;
            }
            case FieldInfo::Radio: {
                auto* radio = new QRadioButton(parent);
                // Radios share a choice only within their form and name.
                radio->setAutoExclusive(false);
                const QString key = QString::number(field.form) + '/' + field.name;
                QButtonGroup*& group = radioGroups[key];
                if (!group) {
                    group = new QButtonGroup(parent);
                    groups_.append(group);
                }
                group->addButton(radio);
                radio->setChecked(field.checked);
                widget = radio;
                break;
            }
            case FieldInfo::Select: {
                auto* box = new QComboBox(parent);
                for (const FieldOption& option : field.options) {
                    box->addItem(option.text, option.value);
                    if (option.selected) box->setCurrentIndex(box->count() - 1);
                }
                widget = box;
                break;
            }
            case FieldInfo::TextArea: {
                auto* edit = new QPlainTextEdit(field.value, parent);
                widget = edit;
                break;
            }
        }
        if (widget) {
            widget->setObjectName(field.name);
            widget->setFont(viewer_.font());
            widget->resize(field.placeholder);
            widget->show();
        }
        widgets_.append(widget);
    }
    findPlaceholders();
    place();
}

void FormWidgets::findPlaceholders() {
    anchors_.clear();
    if (widgets_.isEmpty()) return;
    QTextDocument* document = viewer_.document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isImageFormat()) continue;
            const QString name = format.toImageFormat().name();
            if (!name.startsWith(kFieldPrefix)) continue;
            bool ok = false;
            const int index = name.mid(kFieldPrefix.size()).toInt(&ok);
            if (ok && index >= 0 && index < widgets_.size() && widgets_[index])
                anchors_.append({index, fragment.position()});
        }
    }
}

void FormWidgets::place() {
    if (anchors_.isEmpty()) return;
    QTextDocument* document = viewer_.document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    const QPoint scroll(viewer_.horizontalScrollBar()->value(),
                        viewer_.verticalScrollBar()->value());
    for (const auto& [index, position] : anchors_) {
        QWidget* widget = widgets_[index];
        const QTextBlock block = document->findBlock(position);
        if (!widget || !block.isValid()) continue;
        const QRectF blockRect = layout->blockBoundingRect(block);
        const QTextLayout* textLayout = block.layout();
        const int relative = position - block.position();
        const QTextLine line = textLayout ? textLayout->lineForTextPosition(relative) : QTextLine();
        if (!line.isValid()) continue;
        const QSize size = fields_[index].placeholder;
        // An inline image stands on the line's base line.
        const qreal x = blockRect.left() + line.cursorToX(relative);
        const qreal y = blockRect.top() + line.y() + line.ascent() - size.height();
        widget->setGeometry(QRect(QPoint(qRound(x), qRound(y)) - scroll, size));
    }
}

FormSubmission FormWidgets::submission(int form, int button) const {
    FormSubmission result;
    if (form < 0 || form >= forms_.size()) return result;
    result.action = forms_[form].action;
    result.method = forms_[form].method;
    result.target = forms_[form].target;
    for (int i = 0; i < fields_.size(); ++i) {
        const FieldInfo& field = fields_[i];
        if (field.form != form || field.name.isEmpty()) continue;
        QWidget* widget = widgets_[i];
        switch (field.kind) {
            case FieldInfo::Hidden:
                result.fields.append({field.name, field.value});
                break;
            case FieldInfo::Text:
            case FieldInfo::Password:
                if (auto* edit = qobject_cast<QLineEdit*>(widget))
                    result.fields.append({field.name, edit->text()});
                break;
            case FieldInfo::TextArea:
                if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
                    result.fields.append({field.name, edit->toPlainText()});
                break;
            case FieldInfo::Checkbox:
            case FieldInfo::Radio:
                if (auto* box = qobject_cast<QAbstractButton*>(widget); box && box->isChecked())
                    result.fields.append({field.name, field.value});
                break;
            case FieldInfo::Select:
                if (auto* box = qobject_cast<QComboBox*>(widget); box && box->currentIndex() >= 0)
                    result.fields.append({field.name, box->currentData().toString()});
                break;
            case FieldInfo::Submit:
                if (i == button) result.fields.append({field.name, field.value});
                break;
            case FieldInfo::Reset:
            case FieldInfo::Button:
                break;
        }
    }
    return result;
}

void FormWidgets::reset(int form) {
    for (int i = 0; i < fields_.size(); ++i) {
        const FieldInfo& field = fields_[i];
        QWidget* widget = widgets_[i];
        if (field.form != form || !widget) continue;
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->setText(field.value);
        if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) edit->setPlainText(field.value);
        if (auto* box = qobject_cast<QComboBox*>(widget)) {
            int selected = 0;
            for (int k = 0; k < field.options.size(); ++k)
                if (field.options[k].selected) selected = k;
            box->setCurrentIndex(selected);
        }
        if (field.kind == FieldInfo::Checkbox || field.kind == FieldInfo::Radio)
            if (auto* box = qobject_cast<QAbstractButton*>(widget)) box->setChecked(field.checked);
    }
}

}  // namespace htmlview
