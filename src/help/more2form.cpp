#include "more2form.h"

#include "helptopics.h"
#include "memo.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>

#include <algorithm>

std::uint8_t HelpTopic = 0;
TMore2Form* More2Form = nullptr;

TMore2Form::TMore2Form(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("More about"));
    HelpMemo = NewDisabledMemo(this, "HelpMemo", QColor(247, 247, 247));
    QFont bold = HelpMemo->font();
    bold.setBold(true);
    HelpMemo->setFont(bold);
    HelpMemo->setPlainText(QString(kHelpPageLines - 1, QLatin1Char('\n')));

    ContinueBitBtn = MakeButton(QStringLiteral("OK"), Accepted);
    ContinueBitBtn->setDefault(true);

    // Wide enough for the longest line of any page, tall enough for all 14
    // lines, with the button over the memo's empty bottom.
    int widest = 0;
    for (const HelpTopicEntry& topic : HelpTopics())
        for (const HelpLine& line : topic.lines)
            widest = std::max(widest, HelpMemo->fontMetrics().horizontalAdvance(QString::fromLatin1(line.text)));
    const int button = ContinueBitBtn->sizeHint().height();
    const QSize size = MemoSizeFor(HelpMemo, widest, kHelpPageLines) + QSize(0, button + 12);
    setFixedSize(size);
    HelpMemo->setGeometry(QRect(QPoint(0, 0), size));
    const int buttonWidth = std::max(100, ContinueBitBtn->sizeHint().width());
    ContinueBitBtn->setGeometry((size.width() - buttonWidth) / 2, size.height() - button - 12, buttonWidth, button);
}

QString TMore2Form::Line(int index) const
{
    return HelpMemo->document()->findBlockByNumber(index).text();
}

void TMore2Form::SetLine(int index, const QString& text)
{
    QTextCursor cursor(HelpMemo->document()->findBlockByNumber(index));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
}

void TMore2Form::FormActivate()
{
    ContinueBitBtn->setFocus();
    for (int line = 1; line < kHelpPageLines; ++line)
        SetLine(line, QString());
    const HelpTopicEntry* topic = FindHelpTopic(HelpTopic);
    if (topic == nullptr)
        return; // no page: every line empty, the caption as it was
    setWindowTitle(QString::fromLatin1(topic->caption));
    for (const HelpLine& line : topic->lines)
        SetLine(line.number, QString::fromLatin1(line.text));
}
