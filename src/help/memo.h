// Memos of the information windows that show a fixed text whole.
#pragma once

#include <QSize>

class QColor;
class QPlainTextEdit;
class QWidget;

// A memo disabled so that it cannot be edited or focused, whose black text on
// `background` stays readable; no wrapping and no scroll bars.
QPlainTextEdit* NewDisabledMemo(QWidget* parent, const char* name, const QColor& background);

// The size at which `memo` shows `lines` lines, the widest `widest` pixels
// wide, without scrolling.
QSize MemoSizeFor(const QPlainTextEdit* memo, int widest, int lines);
