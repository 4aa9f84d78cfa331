#include "more2form.h"

#include "helptopics.h"

#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>

#include <algorithm>

std::uint8_t HelpTopic = 0;
TMore2Form* More2Form = nullptr;

TMore2Form::TMore2Form(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("More about"));
    HelpMemo = new QPlainTextEdit(this);
    HelpMemo->setObjectName(QStringLiteral("HelpMemo"));
    QFont bold = HelpMemo->font();
    bold.setBold(true);
    HelpMemo->setFont(bold);
    HelpMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    HelpMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    HelpMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Disabled so that it cannot be edited or focused; its text stays black.
    HelpMemo->setEnabled(false);
    QPalette palette = HelpMemo->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, QColor(247, 247, 247));
        palette.setColor(group, QPalette::Text, Qt::black);
    }
    HelpMemo->setPalette(palette);
    HelpMemo->setPlainText(QString(kHelpPageLines - 1, QLatin1Char('\n')));

    ContinueBitBtn = MakeButton(QStringLiteral("OK"), Accepted);
    ContinueBitBtn->setDefault(true);

    // Wide enough for the longest line of any page, tall enough for all 14
    // lines, with the button over the memo's empty bottom.
    const QFontMetrics metrics(bold);
    int widest = 0;
    for (const HelpTopicEntry& topic : HelpTopics())
        for (const HelpLine& line : topic.lines)
            widest = std::max(widest, metrics.horizontalAdvance(QString::fromLatin1(line.text)));
    const int margins = 2 * (HelpMemo->frameWidth() + int(HelpMemo->document()->documentMargin())) + 8;
    const int button = ContinueBitBtn->sizeHint().height();
    const int width = widest + margins;
    const int height = kHelpPageLines * metrics.lineSpacing() + margins + button + 8;
    setFixedSize(width, height);
    HelpMemo->setGeometry(0, 0, width, height);
    const int buttonWidth = std::max(100, ContinueBitBtn->sizeHint().width());
    ContinueBitBtn->setGeometry((width - buttonWidth) / 2, height - button - 12, buttonWidth, button);
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
