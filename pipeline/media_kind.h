// Which files the program converts, by extension.
#pragma once

#include <QString>
#include <QStringList>

enum MediaKind : int { MK_NONE = 0, MK_VIDEO = 1, MK_AUDIO = 2, MK_FOLDER = 3, MK_CUSTOM = 4 };

// Appends the lower-case extensions, without the dot, of the video files
// (14) and of the audio files (6) the program converts.
void GetSupportedExtensions(QStringList& video, QStringList& audio);

// MK_VIDEO or MK_AUDIO by the path's extension (compared in lower case),
// MK_NONE for any other. A dot at the very start of the path is no
// extension.
MediaKind GetFileKind(const QString& path, const QStringList& video, const QStringList& audio);
