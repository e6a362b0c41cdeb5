// A picture from the program's bitmaps: 32-bit ones carry alpha and are kept
// premultiplied for blending; 24-bit ones are opaque. A plain value, owned by
// whoever embeds it; copies share the pixels until one changes.
#pragma once

#include <QImage>
#include <QRect>

class QIODevice;
class QPainter;

class CBitmapImage {
public:
    // Loads bitmap `id` (":/bitmaps/<id>.png"); false, and no bitmap, when
    // there is none.
    bool LoadFromResource(int id);
    // The same for a picture file (PNG); with an alpha channel it becomes a
    // premultiplied 32-bit bitmap.
    bool LoadFromFile(const QString& path);
    // Makes a picture the bitmap: opaque (a video frame) or blended by its
    // alpha channel.
    void SetPicture(const QImage& picture, bool alpha);
    void SetOpaquePicture(const QImage& picture) { SetPicture(picture, false); }
    void Clear();

    bool IsNull() const { return m_hBitmap.isNull(); }
    int Width() const { return m_hBitmap.width(); }
    int Height() const { return m_hBitmap.height(); }
    // Whether the pixels are premultiplied 32-bit and blended when drawn.
    bool HasAlpha() const { return m_bAlpha; }
    // Format_ARGB32_Premultiplied with alpha, Format_RGB32 without.
    const QImage& Image() const { return m_hBitmap; }

    // The whole bitmap at its own size, top-left at (x, y); `alpha` (0-255)
    // fades bitmaps with alpha and is ignored for opaque ones.
    void DrawImage(QPainter& painter, int x, int y, int alpha = 255) const;
    // Stretches the bitmap over `rect`, keeping its border x border corners
    // unscaled and stretching its edges in one direction only.
    void DrawNineGrid(int border, QPainter& painter, const QRect& rect) const;
    // Draws the `source` part of the bitmap into `target`, stretching when
    // the sizes differ.
    void Draw(QPainter& painter, const QRect& target, const QRect& source, int alpha) const;

    // Writes the bitmap as a BMP file at the stream's position, followed by
    // one byte: the alpha flag.
    bool SaveToStream(QIODevice* stream) const;
    // Reads what SaveToStream wrote (the whole stream); without a decodable
    // image the bitmap ends up null and false is returned.
    bool LoadFromStream(QIODevice* stream);

private:
    QImage m_hBitmap;
    bool m_bAlpha = false;
};
