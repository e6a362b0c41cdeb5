// One row of a media list: its picture, where it lies, its name, its kind
// and whether the info worker still has to read it. The list owns its rows.
// A row is drawn by the window thread only: the info worker reads a copy and
// hands the finished picture and text back (media_info_cache.h).
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>

#include "pipeline/media_kind.h"
#include "platform/shell/item_id_list.h"
#include "ui/bitmap_image.h"

class CMediaItem {
public:
    CMediaItem() = default;
    CMediaItem(const CMediaItem& other);
    CMediaItem& operator=(const CMediaItem& other);
    CMediaItem(CMediaItem&&) = default;
    CMediaItem& operator=(CMediaItem&&) = default;

    CBitmapImage m_image;
    // Relative to the list's folder; null for rows that are not shell items.
    std::unique_ptr<CNameSpaceItem> m_pRelId;
    QString m_strPath;  // empty for rows that are not shell items
    QString m_strName;
    bool m_bNeedsInfo = false;
    QDateTime m_tModified;  // local time; invalid when unknown
    int m_nKind = MK_NONE;
};

// Default picture ids of media rows (48 x 48, with alpha).
inline constexpr int kDefaultVideoPicture = 342;
inline constexpr int kDefaultAudioPicture = 351;

// The row before its details are read: the file's modification time, the
// kind by extension with its default picture, and text 227 ("Reading file
// information...") in `text`.
void SetDefaultInfo(const QStringList& video, const QStringList& audio, CMediaItem& item, QString& text);

// The day, month and year of the item's modification; zeros when unknown.
struct DateParts {
    int day = 0;
    int month = 0;
    int year = 0;
};
DateParts DatePartsOf(const CMediaItem& item);

// Text `id` (224 to 232) for the item: its name, the given values, then the
// date (day, month, year; zeros when the time is unknown).
QString FormatInfoText(int id, const CMediaItem& item, const QStringList& values = {});
