#include "medialist/media_item.h"

#include <QFileInfo>

#include "res/string_table.h"

CMediaItem::CMediaItem(const CMediaItem& other)
    : m_image(other.m_image),
      m_pRelId(other.m_pRelId ? std::make_unique<CNameSpaceItem>(*other.m_pRelId) : nullptr),
      m_strPath(other.m_strPath),
      m_strName(other.m_strName),
      m_bNeedsInfo(other.m_bNeedsInfo),
      m_tModified(other.m_tModified),
      m_nKind(other.m_nKind)
{
}

CMediaItem& CMediaItem::operator=(const CMediaItem& other)
{
    if (this != &other)
        *this = CMediaItem(other);
    return *this;
}

void SetDefaultInfo(const QStringList& video, const QStringList& audio, CMediaItem& item, QString& text)
{
    const QFileInfo file(item.m_strPath);
    item.m_tModified = file.exists() ? file.lastModified().toLocalTime() : QDateTime();
    const bool isVideo = GetFileKind(item.m_strPath, video, audio) == MK_VIDEO;
    item.m_nKind = isVideo ? MK_VIDEO : MK_AUDIO;
    item.m_image.LoadFromResource(isVideo ? kDefaultVideoPicture : kDefaultAudioPicture);
    text = FormatInfoText(227, item);
}

DateParts DatePartsOf(const CMediaItem& item)
{
    const QDate date = item.m_tModified.isValid() ? item.m_tModified.date() : QDate();
    if (!date.isValid())
        return {};
    return {date.day(), date.month(), date.year()};
}

QString FormatInfoText(int id, const CMediaItem& item, const QStringList& values)
{
    const DateParts date = DatePartsOf(item);
    QStringList all{item.m_strName};
    all << values << QString::number(date.day) << QString::number(date.month) << QString::number(date.year);
    return FormatString(id, all);
}
