#include "ui/bitmap_image.h"

#include <QBuffer>
#include <QHash>
#include <QIODevice>
#include <QPainter>
#include <array>
#include <mutex>

#include "ui/alpha_bmp.h"
#include "res/program_resources.h"

namespace {

// Bitmaps carry straight alpha; blending wants every colour channel scaled by
// it, rounded down as the program always has.
QImage Premultiplied(const QImage& straight)
{
    QImage result = straight.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const QRgb pixel = line[x];
            const int alpha = qAlpha(pixel);
            line[x] = qRgba(qRed(pixel) * alpha / 255, qGreen(pixel) * alpha / 255, qBlue(pixel) * alpha / 255, alpha);
        }
    }
    // Same bytes, now read as what they are.
    return result.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied) ? result : QImage();
}

// The cut positions along one side of the bitmap (size `source`) and of the
// target (size `target`) for a border of `border`: three cells each, the
// middle one dropped when the target is narrower than two borders.
struct Cuts {
    std::array<int, 4> source;
    std::array<int, 4> target;
};

Cuts CutsFor(int border, int source, int target)
{
    if (target < 2 * border) {
        const int middle = target / 2;
        return {{0, middle, middle, target}, {0, middle, middle, target}};
    }
    return {{0, border, source - border, source}, {0, border, target - border, target}};
}

}  // namespace

// A list of thousands of rows shows the same few pictures: each is decoded
// once and shared (copies share pixels). Any thread.
bool CBitmapImage::LoadFromResource(int id)
{
    static std::mutex mutex;
    static QHash<int, CBitmapImage> loaded;
    std::lock_guard lock(mutex);
    const auto found = loaded.constFind(id);
    if (found != loaded.constEnd()) {
        *this = *found;
        return !IsNull();
    }
    InitProgramResources();
    const bool ok = LoadFromFile(QStringLiteral(":/bitmaps/%1.png").arg(id));
    loaded.insert(id, *this);
    return ok;
}

bool CBitmapImage::LoadFromFile(const QString& path)
{
    const QImage picture(path);
    if (picture.isNull()) {
        Clear();
        return false;
    }
    m_bAlpha = picture.hasAlphaChannel();
    m_hBitmap = m_bAlpha ? Premultiplied(picture) : picture.convertToFormat(QImage::Format_RGB32);
    return !m_hBitmap.isNull();
}

void CBitmapImage::SetPicture(const QImage& picture, bool alpha)
{
    m_bAlpha = alpha;
    m_hBitmap = picture.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

void CBitmapImage::Clear()
{
    m_hBitmap = QImage();
    m_bAlpha = false;
}

void CBitmapImage::DrawImage(QPainter& painter, int x, int y, int alpha) const
{
    Draw(painter, QRect(x, y, Width(), Height()), QRect(0, 0, Width(), Height()), alpha);
}

void CBitmapImage::Draw(QPainter& painter, const QRect& target, const QRect& source, int alpha) const
{
    if (IsNull() || target.isEmpty() || source.isEmpty())
        return;
    painter.save();
    painter.setCompositionMode(m_bAlpha ? QPainter::CompositionMode_SourceOver : QPainter::CompositionMode_Source);
    painter.setOpacity(m_bAlpha ? qBound(0, alpha, 255) / 255.0 : 1.0);
    if (target.size() == source.size()) {
        painter.drawImage(target.topLeft(), m_hBitmap, source);
    } else {
        // Smooth stretching of the cut-out alone, so no pixel from beyond the
        // source rectangle bleeds into the edges.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_hBitmap.copy(source));
    }
    painter.restore();
}

void CBitmapImage::DrawNineGrid(int border, QPainter& painter, const QRect& rect) const
{
    const Cuts columns = CutsFor(border, Width(), rect.width());
    const Cuts rows = CutsFor(border, Height(), rect.height());
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRect source(QPoint(columns.source[column], rows.source[row]),
                               QPoint(columns.source[column + 1] - 1, rows.source[row + 1] - 1));
            const QRect target(QPoint(columns.target[column], rows.target[row]),
                               QPoint(columns.target[column + 1] - 1, rows.target[row + 1] - 1));
            Draw(painter, target.translated(rect.topLeft()), source, 255);
        }
    }
}

bool CBitmapImage::SaveToStream(QIODevice* stream) const
{
    if (!stream || IsNull())
        return false;
    // With alpha the BMP keeps the premultiplied words as they are, so loading
    // them back gives exactly the same pixels.
    if (m_bAlpha) {
        const QByteArray bmp = EncodeAlphaBmp(m_hBitmap);
        if (stream->write(bmp) != bmp.size())
            return false;
    } else if (!m_hBitmap.save(stream, "BMP")) {
        return false;
    }
    const char flag = m_bAlpha ? 1 : 0;
    return stream->write(&flag, 1) == 1;
}

bool CBitmapImage::LoadFromStream(QIODevice* stream)
{
    Clear();
    if (!stream || !stream->seek(0))
        return false;
    const QByteArray bytes = stream->readAll();
    if (bytes.isEmpty())
        return false;
    QImage picture = QImage::fromData(bytes.left(bytes.size() - 1), "BMP");
    if (picture.isNull())
        return false;
    m_bAlpha = bytes.back() != 0;
    if (m_bAlpha) {
        picture = picture.convertToFormat(QImage::Format_ARGB32);
        picture.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    } else {
        picture = picture.convertToFormat(QImage::Format_RGB32);
    }
    m_hBitmap = picture;
    return true;
}
