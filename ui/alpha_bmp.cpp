#include "ui/alpha_bmp.h"

#include <QDataStream>
#include <QIODevice>

namespace {
constexpr quint32 kFileHeaderSize = 14;
constexpr quint32 kInfoHeaderSize = 108;  // BITMAPV4HEADER
constexpr quint32 kBitFields = 3;
constexpr qint32 kPixelsPerMetre = 2835;  // 72 dpi
constexpr quint32 kSrgb = 0x73524742;     // 'sRGB'
}  // namespace

QByteArray EncodeAlphaBmp(const QImage& image)
{
    const bool hasWords =
        image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_ARGB32_Premultiplied;
    const QImage words = hasWords ? image : image.convertToFormat(QImage::Format_ARGB32);
    const quint32 rowBytes = static_cast<quint32>(words.width()) * 4;
    const quint32 pixelBytes = rowBytes * static_cast<quint32>(words.height());
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("BM", 2);
    out << kFileHeaderSize + kInfoHeaderSize + pixelBytes << quint16(0) << quint16(0)
        << kFileHeaderSize + kInfoHeaderSize;
    out << kInfoHeaderSize << qint32(words.width()) << qint32(words.height()) << quint16(1) << quint16(32)
        << kBitFields << pixelBytes << kPixelsPerMetre << kPixelsPerMetre << quint32(0) << quint32(0);
    out << quint32(0x00ff0000) << quint32(0x0000ff00) << quint32(0x000000ff) << quint32(0xff000000) << kSrgb;
    for (int unused = 0; unused < 12; ++unused)  // colour space end points and gamma
        out << quint32(0);
    // Bottom-up rows of little-endian words: blue, green, red, alpha bytes.
    for (int y = words.height() - 1; y >= 0; --y)
        for (int x = 0; x < words.width(); ++x)
            out << reinterpret_cast<const quint32*>(words.constScanLine(y))[x];
    return bytes;
}
