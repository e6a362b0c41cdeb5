// Renders the user manual from Markdown to PDF at build time, with Qt's own
// Markdown reader and PDF writer, so the manual needs no outside tools.
// Usage: manual_pdf <manual.md> <manual.pdf>
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>

namespace {

// A4 with 20 mm margins, numbered pages.
bool WritePdf(const QString& markdown, const QString& path)
{
    QPdfWriter writer(path);
    writer.setTitle(QStringLiteral("Orvex Tavimo user manual"));
    writer.setCreator(QStringLiteral("Orvex Tavimo"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20),
                                     QPageLayout::Millimeter));
    writer.setResolution(300);
    QTextDocument document;
    // Laid out for the writer's resolution, not the screen's.
    document.documentLayout()->setPaintDevice(&writer);
    document.setDocumentMargin(0);
    document.setMarkdown(markdown);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    const QRectF page = writer.pageLayout().paintRectPixels(writer.resolution());
    const qreal footer = writer.resolution() / 3.0;
    const QSizeF body(page.width(), page.height() - footer);
    document.setPageSize(body);
    const int pages = document.pageCount();
    for (int index = 0; index < pages; ++index) {
        if (index > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -index * body.height());
        const QRectF visible(0, index * body.height(), body.width(), body.height());
        painter.setClipRect(visible);
        document.drawContents(&painter, visible);
        painter.restore();
        painter.drawText(QRectF(0, body.height(), body.width(), footer), Qt::AlignCenter,
                         QString::number(index + 1));
    }
    return painter.end();
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);  // fonts for the layout
    if (argc != 3) {
        std::fprintf(stderr, "usage: manual_pdf <manual.md> <manual.pdf>\n");
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "manual_pdf: cannot read %s\n", argv[1]);
        return 1;
    }
    if (!WritePdf(QString::fromUtf8(source.readAll()), QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "manual_pdf: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
