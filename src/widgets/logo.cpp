#include "logo.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace {

void PaintSky(QPainter& p, const QRectF& area)
{
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, QColor(8, 16, 64));
    sky.setColorAt(1, QColor(0, 48, 96));
    p.fillRect(area, sky);
}

const QColor kNameBlue(90, 160, 255);

} // namespace

QPixmap VantrelLogo(const QSize& size)
{
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area(QPointF(0, 0), QSizeF(size));
    PaintSky(p, area);

    // "VAN" in QRSS: dots and dashes on one line, DFCW-style steps below it.
    const double unit = area.width() / 40.0;
    const double y = area.height() * 0.30;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 210, 60));
    double x = unit * 2;
    for (const char c : QByteArrayLiteral("...- .- -.")) {
        if (c == ' ') {
            x += unit * 2;
            continue;
        }
        const double length = c == '.' ? unit : unit * 3;
        p.drawRoundedRect(QRectF(x, y, length, unit * 0.6), unit * 0.3, unit * 0.3);
        x += length + unit;
    }
    p.setBrush(QColor(120, 220, 255));
    x = unit * 2;
    for (const char c : QByteArrayLiteral("-.-.")) {
        const double level = c == '.' ? y + unit * 3.2 : y + unit * 2.2;
        p.drawRoundedRect(QRectF(x, level, unit * 2, unit * 0.6), unit * 0.3, unit * 0.3);
        x += unit * 2.6;
    }

    QFont font(QStringLiteral("Sans Serif"));
    font.setBold(true);
    font.setPixelSize(static_cast<int>(area.height() * 0.22));
    p.setFont(font);
    p.setPen(kNameBlue);
    p.drawText(area.adjusted(0, area.height() * 0.45, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("Vantrel"));
    font.setBold(false);
    font.setPixelSize(static_cast<int>(area.height() * 0.07));
    p.setFont(font);
    p.setPen(QColor(200, 220, 255));
    p.drawText(area.adjusted(0, 0, 0, -area.height() * 0.06), Qt::AlignHCenter | Qt::AlignBottom,
               QStringLiteral("QRSS and DFCW beacon keyer"));
    return pixmap;
}

QPixmap VantrelIcon(int side)
{
    QPixmap pixmap(side, side);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area(0, 0, side, side);
    PaintSky(p, area);

    // "V" in QRSS above the name.
    const double unit = side / 16.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 210, 60));
    double x = unit * 2;
    for (const char c : QByteArrayLiteral("...-")) {
        const double length = c == '.' ? unit : unit * 3;
        p.drawRoundedRect(QRectF(x, unit * 3, length, unit * 0.8), unit * 0.4, unit * 0.4);
        x += length + unit;
    }

    // The name as large as the width allows.
    QFont font(QStringLiteral("Sans Serif"));
    font.setBold(true);
    font.setPixelSize(100);
    const double fit = side * 0.88 / QFontMetricsF(font).horizontalAdvance(QStringLiteral("Vantrel"));
    font.setPixelSize(std::max(1, int(100 * fit)));
    p.setFont(font);
    p.setPen(kNameBlue);
    p.drawText(area.adjusted(0, side * 0.30, 0, 0), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Vantrel"));
    return pixmap;
}
