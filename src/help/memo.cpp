#include "memo.h"

#include <QPlainTextEdit>

QPlainTextEdit* NewDisabledMemo(QWidget* parent, const char* name, const QColor& background)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setEnabled(false);
    QPalette palette = memo->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::Text, Qt::black);
    }
    memo->setPalette(palette);
    return memo;
}

QSize MemoSizeFor(const QPlainTextEdit* memo, int widest, int lines)
{
    // Frame and document margin on both sides, and a little air.
    const int margins = 2 * (memo->frameWidth() + int(memo->document()->documentMargin())) + 6;
    return {widest + margins, lines * memo->fontMetrics().lineSpacing() + margins};
}
