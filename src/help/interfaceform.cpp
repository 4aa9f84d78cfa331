#include "interfaceform.h"

#include "memo.h"
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

    Memo1 = NewDisabledMemo(this, "Memo1", ButtonFaceColor());
    QStringList lines;
    for (const char* line : kMemoLines)
        lines << QString::fromLatin1(line);
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, Memo1->fontMetrics().horizontalAdvance(line));
    Memo1->setFixedSize(MemoSizeFor(Memo1, widest, int(lines.size())));

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
