#include "uppercaseedit.h"

UpperCaseEdit::UpperCaseEdit(QWidget* parent) : QLineEdit(parent)
{
    // Every change, typed or set: a text from an edited settings file or a
    // list entry is converted too.
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QString upper = UpperLatin1(text);
        if (upper == text)
            return;
        const int caret = UpperLatin1(text.left(cursorPosition())).size();
        setText(upper);
        setCursorPosition(caret);
    });
}

QString UpperLatin1(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            continue;
        const QChar upper = c.toUpper();
        // ÿ and µ have upper-case forms outside Latin-1; they stay as typed.
        result += upper.unicode() <= 0xFF ? upper : c;
    }
    return result;
}
