// The details of media files as media list rows show them, read through the
// media information object (CLSID_MediaInfo) and kept for the whole run in
// one process-wide cache, so that a file is opened once however often its
// folder is listed again.
//
// An entry belongs to a file as it was: its path, size and modification
// time. A file that changed since (an output still being written when it
// was first listed, a file replaced under the same name) is read again.
//
// Threads: any; the cache has its own lock, which is never held while a
// file is read, so a slow file holds up only the worker that reads it.
// ReadMediaInfo changes the item it is given: the info worker gives it a
// copy of the row and hands picture and text to the window thread.
#pragma once

#include <QByteArray>
#include <QString>

#include "components/component_interfaces.h"
#include "platform/com/comptr.h"

class CMediaItem;

// One cache entry: the row's picture (a BMP and one alpha byte, as
// CBitmapImage::SaveToStream writes it) and its complete text.
struct CCacheItem {
    QByteArray picture;
    QString text;
};

CCacheItem MakeCacheItem(const CMediaItem& item, const QString& text);

// Puts the row's text into `text` and, for a video, its frame (64 x 48) into
// the item's picture. S_OK from the cache or from the file's details, S_FALSE
// when the file has neither video nor audio, a failure otherwise; `text`
// always holds what the row shows ("Unknown format" when nothing could be
// read). A file that cannot be read is not tried again while it is unchanged;
// a video whose frame cannot be grabbed keeps its details with the default
// picture.
HRESULT ReadMediaInfo(CMediaItem& item, QString& text);

// Makes a media information object and opens the file (full path) in it.
HRESULT OpenMediaInfo(const QString& path, ComPtr<IMediaInfo>& info);
