// A 32-bit BMP that keeps its alpha byte: Qt's own BMP writer drops alpha,
// so bitmaps with alpha are written with a version 4 header whose bit masks
// name the alpha byte, which Qt's BMP reader (and Windows) read back as is.
#pragma once

#include <QByteArray>
#include <QImage>

// The bytes of a BMP file holding the 32-bit words of `image` unchanged
// (an ARGB32 or ARGB32_Premultiplied image; other formats are converted).
QByteArray EncodeAlphaBmp(const QImage& image);
