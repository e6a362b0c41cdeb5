// Draws the program's bitmaps into a folder as "<id>.png" (32-bit ones RGBA
// with straight alpha, 24-bit ones RGB), the program icon as
// "orvex-tavimo.png" and in the desktop's icon theme sizes as
// "hicolor/<n>x<n>/apps/orvex-tavimo.png", and "artwork.qrc" listing the
// bitmaps under ":/bitmaps" and the icon under ":/icons".
// Usage: render_artwork <output folder>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <cstdio>

#include "res/artwork/artwork_catalog.h"

namespace {

constexpr int kIconSize = 256;
// Drawn at each size rather than scaled down, so small icons stay sharp.
constexpr int kThemeIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

QImage Render(int width, int height, bool alpha, void (*paint)(QPainter&, const QSize&))
{
    QImage canvas(width, height, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        paint(painter, canvas.size());
    }
    // PNG keeps straight alpha; opaque pictures lose the channel altogether.
    return canvas.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB888);
}

bool Save(const QImage& image, const QString& path)
{
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "render_artwork: cannot write %s\n", qPrintable(path));
    return false;
}

bool WriteText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size())
        return true;
    std::fprintf(stderr, "render_artwork: cannot write %s\n", qPrintable(path));
    return false;
}

QByteArray ResourceList()
{
    QByteArray text;
    QTextStream out(&text);
    out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/bitmaps\">\n";
    for (const Artwork& artwork : ArtworkCatalog())
        out << "    <file>" << artwork.id << ".png</file>\n";
    out << "  </qresource>\n  <qresource prefix=\"/icons\">\n"
        << "    <file>orvex-tavimo.png</file>\n  </qresource>\n</RCC>\n";
    out.flush();
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_artwork <output folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "render_artwork: cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = true;
    for (const Artwork& artwork : ArtworkCatalog()) {
        const QImage image = Render(artwork.width, artwork.height, artwork.alpha, artwork.paint);
        ok = Save(image, folder.filePath(QStringLiteral("%1.png").arg(artwork.id))) && ok;
    }
    ok = Save(Render(kIconSize, kIconSize, true, PaintProgramIcon), folder.filePath(QStringLiteral("orvex-tavimo.png"))) &&
         ok;
    for (const int size : kThemeIconSizes) {
        const QString apps = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        if (!folder.mkpath(apps)) {
            std::fprintf(stderr, "render_artwork: cannot create %s\n", qPrintable(folder.filePath(apps)));
            ok = false;
            continue;
        }
        ok = Save(Render(size, size, true, PaintProgramIcon), folder.filePath(apps + QStringLiteral("/orvex-tavimo.png"))) &&
             ok;
    }
    ok = WriteText(folder.filePath(QStringLiteral("artwork.qrc")), ResourceList()) && ok;
    return ok ? 0 : 1;
}
