// Pieces of layout shared by the pages: headings, labels, separator lines and twips sizes.
#pragma once

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QString>

#include "ui/twips.h"

namespace gearsheet {

// The bold 18-point heading across the top of a page.
inline QLabel* PageHeading(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setBold(true);
    font.setPointSize(18);
    label->setFont(font);
    return label;
}

// A plain label of the "Label1" family.
inline QLabel* PlainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Label1"));
    return label;
}

inline QFrame* SeparatorLine(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// A width given in twips, in the widget's pixels.
inline int TwipsWide(const QWidget* w, int twips) {
    return TwipsToPixels(twips, w->logicalDpiX());
}

// A text box of a fixed width in twips.
inline QLineEdit* InputBox(const char* name, const QString& text, int widthTwips, QWidget* parent) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setFixedWidth(TwipsWide(parent, widthTwips));
    return box;
}

// The editable list of names at the top of a page (tyres, circuits). Its width comes from the
// design rather than from measuring every name, which keeps long lists quick to show.
// Typing is only typing: no name is completed, and neither Return nor leaving the list chooses an
// item whose name was typed. Only picking an item (in the open list, or stepping through the items
// with the arrow keys or the wheel) chooses it and emits `activated`.
inline QComboBox* NameList(const char* name, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setCompleter(nullptr);
    QObject::disconnect(list->lineEdit(), &QLineEdit::returnPressed, list, nullptr);
    QObject::disconnect(list->lineEdit(), &QLineEdit::editingFinished, list, nullptr);
    list->setMinimumWidth(TwipsWide(parent, 4335));
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(20);
    return list;
}

// The item whose name the list shows, letter for letter; -1 when the shown text names none.
inline int ShownItem(const QComboBox& list) {
    return list.findText(list.currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

}  // namespace gearsheet
