#pragma once

#include <QPixmap>

// The program's picture: a slow-Morse trace as a grabber shows it, with the name.
QPixmap VantrelLogo(const QSize& size);
