#include "pipeline/media_kind.h"

void GetSupportedExtensions(QStringList& video, QStringList& audio)
{
    video << "mpeg" << "mpg" << "mpv" << "mp4" << "m4v" << "mov" << "qt" << "vob" << "3gp" << "f4v" << "flv"
          << "wmv" << "avi" << "ts";
    audio << "wav" << "mp3" << "mpa" << "m4a" << "wma" << "aac";
}

MediaKind GetFileKind(const QString& path, const QStringList& video, const QStringList& audio)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    const QString extension = dot > 0 ? path.mid(dot + 1).toLower() : QString();
    if (video.contains(extension))
        return MK_VIDEO;
    if (audio.contains(extension))
        return MK_AUDIO;
    return MK_NONE;
}
