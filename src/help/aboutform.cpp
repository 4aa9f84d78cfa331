#include "aboutform.h"

#include "memo.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

#ifndef VANTREL_VERSION
#error "VANTREL_VERSION comes from the project version in CMakeLists.txt"
#endif

TAboutForm* AboutForm = nullptr;

namespace {

// The features as the program has always listed them, spacing included.
const char* const kFeatures[] = {
    "Vantrel is transmitting software for the  extreme narrowband transmission modes QRSS and DFCW.",
    "",
    "Features : ",
    "  - QRSS and DFCW transmission modes supported",
    "  -  dotlengths between 1 second and 1 hour",
    "  - PTT (or DFCW) and key switched via a serial or parallel port with a simple interface",
    "  - DFCW tones via the internal PC-speaker or via the soundcard (audio FSK for an SSB transmitter)",
    "  - 10 text buffers each of 250 characters available",
    "  - repeat function allows any text to be repeated (once to endless) at a selectable interval time",
    "  - transmission can be started immediately or at a given time",
    "  - runs beside receiving software on the same PC",
    "  - test function to push and release PTT and key by hand",
    "  - QSO mode for sharing the screen with receiving software",
    "  - QSK in QRSS mode",
    "  - selectable dash/dot ratio allows an average 20% time saving in QRSS mode",
    "  - alarm at a given time before the end of a transmission",
    "  - sidetone via the internal PC-speaker or via the soundcard",
    "  - identification in CW (6-15WPM):",
    "      - start text sent before the QRSS/DFCW text",
    "      - stop text sent after the QRSS/DFCW text",
    "      - the start text can also be inserted anywhere in the QRSS/DFCW text (by inserting +)",
    "  - available characters are ",
    "      - A-Z  ",
    "      - 0-9",
    "      - ? / . ",
    "      - AR (@), SK ($), BK (%) and CT (*)",
    "      - start-ID in CW (+) ",
    "  - transmission can be synchronized to periods of 1, 2, 5, 10, 30 or 60 minutes",
    "  - AutoStart facility allows Vantrel to start at PC bootup",
    "",
    "Vantrel is :",
    "  - selfexplaining and has some 'online help', so there is no need for a manual",
    "  - free software under the GNU General Public License, version 3 or later",
};

const char* const kClosing[] = {
    "",
    "Contact :",
    "Questions, problem reports and suggestions are welcome. Please write to the Vantrel developers "
    "through the project's issue tracker.",
    "",
    "Copyright \u00A9 2026 the Vantrel developers",
    "",
    "This program is free software: you can redistribute it and/or modify it under the terms of the "
    "GNU General Public License as published by the Free Software Foundation, either version 3 of the "
    "License, or (at your option) any later version.",
    "",
    "Disclaimer :",
    "This program is distributed in the hope that it will be useful, but WITHOUT ANY WARRANTY; without "
    "even the implied warranty of MERCHANTABILITY or FITNESS FOR A PARTICULAR PURPOSE. See the GNU "
    "General Public License (the file LICENSE) for more details, or <https://www.gnu.org/licenses/>.",
    "You alone are responsible for what your transmitter sends: its frequency, power and "
    "identification must stay within the terms of your licence.",
};

} // namespace

QString BuildLine()
{
    return QStringLiteral("  - version " VANTREL_VERSION ", built with Qt " QT_VERSION_STR);
}

TAboutForm::TAboutForm(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("About Vantrel"));
    QStringList lines;
    for (const char* line : kFeatures)
        lines << QString::fromUtf8(line);
    lines << BuildLine();
    for (const char* line : kClosing)
        lines << QString::fromUtf8(line);

    AboutMemo = new QPlainTextEdit(this);
    AboutMemo->setObjectName(QStringLiteral("AboutMemo"));
    AboutMemo->setReadOnly(true);
    AboutMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    AboutMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    AboutMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QPalette face = AboutMemo->palette();
    face.setColor(QPalette::Base, ButtonFaceColor());
    AboutMemo->setPalette(face);
    AboutMemo->setPlainText(lines.join(QLatin1Char('\n')));

    // Wide enough that no feature line wraps; the paragraphs at the end do.
    const QFontMetrics metrics(AboutMemo->font());
    int widest = 0;
    for (const char* line : kFeatures)
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromUtf8(line)));
    widest = std::max(widest, metrics.horizontalAdvance(BuildLine()));
    AboutMemo->setFixedSize(MemoSizeFor(AboutMemo, widest, 28)
                            + QSize(AboutMemo->verticalScrollBar()->sizeHint().width() + 6, 0));

    OkBitBtn = MakeButton(QStringLiteral("OK"), Accepted);
    OkBitBtn->setDefault(true);
    OkBitBtn->setMinimumWidth(100);
    auto* window = new QVBoxLayout(this);
    window->setSizeConstraint(QLayout::SetFixedSize);
    window->setContentsMargins(8, 8, 8, 10);
    window->setSpacing(10);
    window->addWidget(AboutMemo);
    window->addWidget(OkBitBtn, 0, Qt::AlignHCenter);
}
