// Every bitmap the program loads, by the resource id the code cites it with:
// its size, whether it is a 32-bit picture with alpha or an opaque 24-bit one,
// and the function that draws it. Painters draw into a transparent (32-bit)
// or unfilled (24-bit) canvas of exactly that size, antialiased.
#pragma once

#include <QSize>
#include <vector>

class QPainter;

struct Artwork {
    int id;
    int width;
    int height;
    bool alpha;
    void (*paint)(QPainter& painter, const QSize& size);
};

const std::vector<Artwork>& ArtworkCatalog();

// The program icon for the desktop, square, any size.
void PaintProgramIcon(QPainter& painter, const QSize& size);

// Painters, by the part of the window they belong to.
namespace art {
// Device tabs (32 x 32).
void PaintComputer(QPainter&, const QSize&);
void PaintVideoDvd(QPainter&, const QSize&);
void PaintVideoSearch(QPainter&, const QSize&);
void PaintSlideShow(QPainter&, const QSize&);
void PaintAudioCd(QPainter&, const QSize&);
void PaintNetbook(QPainter&, const QSize&);

// Main view: background, device panel, tab highlight, Transfer button.
void PaintViewBackground(QPainter&, const QSize&);
void PaintDevicePanel(QPainter&, const QSize&);
void PaintTabHighlight(QPainter&, const QSize&);
void PaintTransfer(QPainter&, const QSize&);

// Status panel: background, caps, progress bar, abort button.
void PaintStatusBackground(QPainter&, const QSize&);
void PaintStatusLeftCap(QPainter&, const QSize&);
void PaintStatusRightCap(QPainter&, const QSize&);
void PaintBarTrack(QPainter&, const QSize&);
void PaintBarFill(QPainter&, const QSize&);
void PaintAbort(QPainter&, const QSize&);
void PaintAbortHover(QPainter&, const QSize&);

// Media list: selections, marks and default pictures.
void PaintSelectionFocus(QPainter&, const QSize&);
void PaintSelectionNoFocus(QPainter&, const QSize&);
void PaintMarkOn(QPainter&, const QSize&);
void PaintMarkOff(QPainter&, const QSize&);
void PaintFolderPicture(QPainter&, const QSize&);
void PaintVideoPicture(QPainter&, const QSize&);
void PaintAudioPicture(QPainter&, const QSize&);

// Buttons of the pages and dialogs.
void PaintPrevious(QPainter&, const QSize&);
void PaintNext(QPainter&, const QSize&);
void PaintUp(QPainter&, const QSize&);
void PaintSearch(QPainter&, const QSize&);
void PaintBrowse(QPainter&, const QSize&);
void PaintPreview(QPainter&, const QSize&);
void PaintStop(QPainter&, const QSize&);

// The splash and about picture.
void PaintSplash(QPainter&, const QSize&);
}  // namespace art
