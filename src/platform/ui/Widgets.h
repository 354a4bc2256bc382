// Small helpers for building the windows by hand: each control gets its classic name as
// its object name, its caption and its hint (tool tip and status tip, so that the hint
// handler can copy it into the status line).
//
// Thread: main thread only.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QToolButton>
#include <QWidget>

namespace vellumar {

inline void setHint(QWidget* widget, const QString& hint) {
    widget->setToolTip(hint);
    widget->setStatusTip(hint);
}

template <typename W>
W* named(W* widget, const char* name, const QString& hint = {}) {
    widget->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty()) setHint(widget, hint);
    return widget;
}

inline QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                               const QString& hint = {}) {
    return named(new QPushButton(caption, parent), name, hint);
}

inline QToolButton* makeToolButton(QWidget* parent, const char* name, const QIcon& icon,
                                   const QString& hint) {
    auto* button = named(new QToolButton(parent), name, hint);
    button->setIcon(icon);
    button->setAutoRaise(true);
    return button;
}

inline QCheckBox* makeCheck(QWidget* parent, const char* name, const QString& caption,
                            const QString& hint = {}) {
    return named(new QCheckBox(caption, parent), name, hint);
}

inline QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption,
                         QWidget* buddy = nullptr) {
    auto* label = named(new QLabel(caption, parent), name);
    if (buddy) label->setBuddy(buddy);
    return label;
}

inline QLineEdit* makeEdit(QWidget* parent, const char* name, const QString& text = {},
                           const QString& hint = {}) {
    auto* edit = named(new QLineEdit(text, parent), name, hint);
    edit->setMinimumWidth(24);
    return edit;
}

}  // namespace vellumar
