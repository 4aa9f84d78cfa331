// The interface schematic: one switching stage from a port line to the
// transmitter's key or PTT input. Drawn in vector form, so it scales with the
// widget's width; the height follows the width.
#pragma once

#include <QWidget>

class QPainter;

class TSchematic : public QWidget {
    Q_OBJECT
public:
    explicit TSchematic(QWidget* parent = nullptr);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

    // Draws the stage into a painter whose coordinates are kSchematicWidth
    // by kSchematicHeight units.
    static void Draw(QPainter& painter);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The drawing's own coordinate system.
inline constexpr int kSchematicWidth = 640;
inline constexpr int kSchematicHeight = 270;
