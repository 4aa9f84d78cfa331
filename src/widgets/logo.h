#pragma once

#include <QPixmap>

// The program's picture: a slow-Morse trace as a grabber shows it, with the name.
QPixmap VantrelLogo(const QSize& size);

// The logo as a square icon of `side` pixels: the same sky, a short trace and
// the name in large blue lettering across the width.
QPixmap VantrelIcon(int side);
