#include "interfaceform.h"

#include "schematic.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

TInterfaceForm* InterfaceForm = nullptr;

namespace {

const char* const kMemoLines[] = {
    "This interface is needed twice (one for keying and one",
    "for PTT/DFCW). Either a serial or parallel port can be used.",
    "Select the appropriate port via Setup -> Port",
    "Serial port :  RTS = key, DTR = PTT/DFCW (can be swapped)",
    "Parallel port : DB0 = key, DB1 = PTT/DFCW",
    "(can also be set to DX4WIN compatible connections)",
    "",
    "Serial port connections :",
    "D9   -> RTS = 7, DTR = 4, GND = 5",
    "D25 -> RTS = 4, DTR = 20, GND = 7",
    "",
    "Parallel port connections :",
    "DB0 = 2, DB1 = 3, GND = 18 to 25",
    "",
    "Components:",
    "R = 22k    C = 100p    D = 1N914 or eq.    T = BC547c or eq.",
    "(D is not required for parallel port interface)",
};

} // namespace

TInterfaceForm::TInterfaceForm(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("Interface"));
    Image1 = new TSchematic(this);
    Image1->setObjectName(QStringLiteral("Image1"));

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    QStringList lines;
    for (const char* line : kMemoLines)
        lines << QString::fromLatin1(line);
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Disabled so that it cannot be edited or focused; its text stays black.
    Memo1->setEnabled(false);
    QPalette face = Memo1->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        face.setColor(group, QPalette::Base, ButtonFaceColor());
        face.setColor(group, QPalette::Text, Qt::black);
    }
    Memo1->setPalette(face);
    // Sized to its 17 lines, so none is cut.
    const QFontMetrics metrics(Memo1->font());
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const int frame = 2 * (Memo1->frameWidth() + int(Memo1->document()->documentMargin()));
    Memo1->setFixedSize(widest + frame + 8, int(lines.size()) * metrics.lineSpacing() + frame + 4);

    OkBitBtn = MakeButton(QStringLiteral("OK"), Accepted);
    OkBitBtn->setDefault(true);
    OkBitBtn->setMinimumWidth(100);

    // The schematic spans the window; the window is a little wider than the
    // memo, and never narrower than the drawing's own size.
    const int width = std::max(kSchematicWidth, Memo1->width() + 80);
    Image1->setFixedSize(width, Image1->heightForWidth(width));
    auto* window = new QVBoxLayout(this);
    window->setSizeConstraint(QLayout::SetFixedSize);
    window->setContentsMargins(0, 0, 0, 10);
    window->setSpacing(10);
    window->addWidget(Image1);
    window->addWidget(Memo1, 0, Qt::AlignHCenter);
    window->addWidget(OkBitBtn, 0, Qt::AlignHCenter);
    OkBitBtn->setFocus();
}
