#include "schematic.h"

#include <QPainter>
#include <QPolygonF>

#include <cmath>

namespace {

// Where the parts stand, in drawing units.
constexpr double kPortX = 40, kLineY = 110, kGroundY = 222;
constexpr double kResistorX = 120, kResistorLength = 80;
constexpr double kCapacitorX = 262, kDiodeX = 330;
constexpr double kTransistorX = 450; // centre of the transistor's circle
constexpr double kBaseX = kTransistorX - 12; // the base bar
constexpr double kCollectorY = 42, kOutputX = 600;

void Terminal(QPainter& p, QPointF at)
{
    p.setBrush(Qt::white);
    p.drawEllipse(at, 5, 5);
}

void Junction(QPainter& p, QPointF at)
{
    p.setBrush(Qt::black);
    p.drawEllipse(at, 3.5, 3.5);
}

// A text whose left end, right end or centre (by `align`) stands at `at`,
// vertically centred on it.
void Label(QPainter& p, QPointF at, const QString& text, Qt::Alignment align = Qt::AlignLeft)
{
    constexpr double room = 400;
    const double left = align & Qt::AlignRight ? at.x() - room : align & Qt::AlignHCenter ? at.x() - room / 2 : at.x();
    p.drawText(QRectF(left, at.y() - 15, room, 30), int(align | Qt::AlignVCenter), text);
}

// The series resistor R, drawn as a box on the port line.
void Resistor(QPainter& p)
{
    p.drawLine(QPointF(kPortX, kLineY), QPointF(kResistorX, kLineY));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(kResistorX, kLineY - 10, kResistorLength, 20));
    p.drawLine(QPointF(kResistorX + kResistorLength, kLineY), QPointF(kBaseX, kLineY));
    Label(p, QPointF(kResistorX + kResistorLength / 2, kLineY - 26), QStringLiteral("R"), Qt::AlignHCenter);
}

// C from the base line to ground.
void Capacitor(QPainter& p)
{
    const double top = 152, bottom = 164;
    p.drawLine(QPointF(kCapacitorX, kLineY), QPointF(kCapacitorX, top));
    p.drawLine(QPointF(kCapacitorX, bottom), QPointF(kCapacitorX, kGroundY));
    QPen plate = p.pen();
    plate.setWidthF(plate.widthF() * 2);
    p.save();
    p.setPen(plate);
    p.drawLine(QPointF(kCapacitorX - 18, top), QPointF(kCapacitorX + 18, top));
    p.drawLine(QPointF(kCapacitorX - 18, bottom), QPointF(kCapacitorX + 18, bottom));
    p.restore();
    Label(p, QPointF(kCapacitorX + 26, (top + bottom) / 2), QStringLiteral("C"));
    Junction(p, QPointF(kCapacitorX, kLineY));
    Junction(p, QPointF(kCapacitorX, kGroundY));
}

// D from the base line to ground, cathode (the bar) at the base, anode at
// ground: it clamps the negative level of a serial line.
void Diode(QPainter& p)
{
    const double cathode = 146, anode = 176;
    p.drawLine(QPointF(kDiodeX, kLineY), QPointF(kDiodeX, cathode));
    p.drawLine(QPointF(kDiodeX, anode), QPointF(kDiodeX, kGroundY));
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF({QPointF(kDiodeX, cathode), QPointF(kDiodeX - 15, anode),
                             QPointF(kDiodeX + 15, anode)}));
    p.drawLine(QPointF(kDiodeX - 15, cathode), QPointF(kDiodeX + 15, cathode));
    Label(p, QPointF(kDiodeX + 24, (cathode + anode) / 2), QStringLiteral("D"));
    Junction(p, QPointF(kDiodeX, kLineY));
    Junction(p, QPointF(kDiodeX, kGroundY));
}

// The NPN transistor T: base from the left, collector up to the output,
// emitter (with its outward arrow) down to ground.
void Transistor(QPainter& p)
{
    const double barX = kBaseX, barTop = kLineY - 24, barBottom = kLineY + 24;
    const double legX = kTransistorX + 22;
    const QPointF collectorEnd(legX, kLineY - 34), emitterEnd(legX, kLineY + 34);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(kTransistorX + 4, kLineY), 40, 40);
    p.save();
    QPen bar = p.pen();
    bar.setWidthF(bar.widthF() * 2.5);
    p.setPen(bar);
    p.drawLine(QPointF(barX, barTop), QPointF(barX, barBottom));
    p.restore();
    const QPointF collectorStart(barX, kLineY - 10), emitterStart(barX, kLineY + 10);
    p.drawLine(collectorStart, collectorEnd);
    p.drawLine(emitterStart, emitterEnd);

    // The arrow on the emitter points away from the base: NPN.
    const QPointF along = (emitterEnd - emitterStart) / std::hypot(legX - barX, 24.0);
    const QPointF across(-along.y(), along.x());
    const QPointF tip = emitterStart + (emitterEnd - emitterStart) * 0.85;
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF({tip, tip - along * 12 + across * 5, tip - along * 12 - across * 5}));

    p.drawLine(collectorEnd, QPointF(legX, kCollectorY));
    p.drawLine(QPointF(legX, kCollectorY), QPointF(kOutputX, kCollectorY));
    p.drawLine(emitterEnd, QPointF(legX, kGroundY));
    Junction(p, QPointF(legX, kGroundY));
    Label(p, QPointF(kTransistorX + 52, kLineY + 4), QStringLiteral("T"));
}

// The ground rail joins the port's ground to the output's ground.
void Ground(QPainter& p)
{
    p.drawLine(QPointF(kPortX, kGroundY), QPointF(kOutputX, kGroundY));
    const double x = (kDiodeX + kTransistorX) / 2 + 12;
    p.drawLine(QPointF(x, kGroundY), QPointF(x, kGroundY + 16));
    for (int i = 0; i < 3; ++i) {
        const double half = 16 - i * 5.5;
        const double y = kGroundY + 16 + i * 6;
        p.drawLine(QPointF(x - half, y), QPointF(x + half, y));
    }
}

} // namespace

TSchematic::TSchematic(QWidget* parent) : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Interface schematic"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

int TSchematic::heightForWidth(int width) const
{
    return (width * kSchematicHeight + kSchematicWidth / 2) / kSchematicWidth;
}

QSize TSchematic::sizeHint() const { return {kSchematicWidth, kSchematicHeight}; }

void TSchematic::Draw(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(QRectF(0, 0, kSchematicWidth, kSchematicHeight), Qt::white);
    QPen pen(Qt::black, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(17);
    p.setFont(font);

    Ground(p);
    Resistor(p);
    Capacitor(p);
    Diode(p);
    Transistor(p);
    Terminal(p, QPointF(kPortX, kLineY));
    Terminal(p, QPointF(kPortX, kGroundY));
    Terminal(p, QPointF(kOutputX, kCollectorY));
    Terminal(p, QPointF(kOutputX, kGroundY));

    Label(p, QPointF(kPortX + 10, kLineY - 20), QStringLiteral("RTS/DTR"));
    Label(p, QPointF(kPortX + 10, kGroundY - 16), QStringLiteral("GND"));
    Label(p, QPointF(kOutputX - 8, kCollectorY - 20), QStringLiteral("Key/PTT"), Qt::AlignRight);
    Label(p, QPointF(kOutputX - 8, kGroundY - 16), QStringLiteral("GND"), Qt::AlignRight);
    font.setBold(true);
    font.setPixelSize(20);
    p.setFont(font);
    Label(p, QPointF(kPortX - 14, 30), QStringLiteral("COM PORT"));
}

void TSchematic::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const double scale = double(width()) / kSchematicWidth;
    p.scale(scale, scale);
    Draw(p);
}
