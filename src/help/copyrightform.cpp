#include "copyrightform.h"

#include "widgets/logo.h"
#include "settings/settings.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TCopyrightForm* CopyrightForm = nullptr;

namespace {

QLabel* CentredLabel(const QString& text, QWidget* parent, const char* name)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

TCopyrightForm::TCopyrightForm(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("Copyright"));
    CopyrightPanel = new QFrame(this);
    CopyrightPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    CopyrightPanel->setAutoFillBackground(true);
    QPalette white = CopyrightPanel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    CopyrightPanel->setPalette(white);

    ProgramIcon = new QLabel(CopyrightPanel);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    const int side = 4 * fontMetrics().height() + 24;
    ProgramIcon->setFixedSize(side, side);
    VersionLabel = new QLabel(CopyrightPanel);
    Copyright = CentredLabel(QStringLiteral("Copyright \u00A9 2026 the Vantrel developers"), CopyrightPanel,
                             "Copyright");
    Comments1 = CentredLabel(QStringLiteral("Vantrel is free software under the GNU General Public License,"),
                             CopyrightPanel, "Comments1");
    Comments2 = CentredLabel(QStringLiteral("version 3 or later. It comes with ABSOLUTELY NO WARRANTY."),
                             CopyrightPanel, "Comments2");

    auto* panel = new QGridLayout(CopyrightPanel);
    panel->setContentsMargins(12, 12, 12, 14);
    panel->setHorizontalSpacing(16);
    panel->addWidget(ProgramIcon, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    panel->addWidget(VersionLabel, 0, 1, Qt::AlignLeft | Qt::AlignVCenter);
    panel->setColumnStretch(1, 1);
    panel->setRowMinimumHeight(1, 10);
    panel->addWidget(Copyright, 2, 0, 1, 2);
    panel->setRowMinimumHeight(3, 6);
    panel->addWidget(Comments1, 4, 0, 1, 2);
    panel->addWidget(Comments2, 5, 0, 1, 2);

    OKButton = MakeButton(QStringLiteral("OK"), Accepted);
    OKButton->setDefault(true);
    OKButton->setMinimumWidth(100);
    auto* window = new QVBoxLayout(this);
    window->setSizeConstraint(QLayout::SetFixedSize);
    window->setContentsMargins(10, 10, 10, 10);
    window->setSpacing(10);
    window->addWidget(CopyrightPanel);
    window->addWidget(OKButton, 0, Qt::AlignHCenter);
}

void TCopyrightForm::FormActivate()
{
    // The logo is drawn at the first showing, not at start-up, at the icon's
    // own size in device pixels, so it stays sharp on a scaled screen.
    if (ProgramIcon->pixmap().isNull()) {
        const qreal ratio = devicePixelRatioF();
        QPixmap logo = VantrelIcon(int(ProgramIcon->width() * ratio));
        logo.setDevicePixelRatio(ratio);
        ProgramIcon->setPixmap(logo);
    }
    VersionLabel->setText(QStringLiteral("V") + FromBytes(VersionText) + QStringLiteral("  (")
                          + FromBytes(VersionDate) + QStringLiteral(")"));
    layout()->activate(); // sized to the new line before it is centred
    OKButton->setFocus();
}
