// Vantrel: transmits QRSS and DFCW through a serial or parallel port.
#include "appclock.h"
#include "forms.h"
#include "mainform.h"
#include "morse/morse.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));

    // Real numbers are read and shown with the user's decimal separator.
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && point.front().unicode() < 0x80)
        DecimalSeparator = static_cast<char>(point.front().unicode());

    AppClock clock;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    CreateForms(clock, args);
    SlowCwForm->show();
    const int result = QApplication::exec();
    DestroyForms();
    return result;
}
