#include "medialist/media_info_cache.h"

#include <QBuffer>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/com/class_registry.h"
#include "platform/dshow/media_type.h"
#include "medialist/media_item.h"

namespace {

// Frames are grabbed at the size rows show them.
constexpr LONG kFrameWidth = 64;
constexpr LONG kFrameHeight = 48;
constexpr int kLargestFrameSide = 4096;

// What a cache entry was read from.
struct FileIdentity {
    qint64 size = -1;
    qint64 modified = -1;  // ms since the epoch
    bool operator==(const FileIdentity&) const = default;
};

struct CacheEntry {
    FileIdentity identity;
    CCacheItem item;
    bool reading = false;  // a worker reads the file now; others wait for it
};

std::mutex g_infoCacheLock;
std::condition_variable g_infoCacheSettled;
QHash<QString, CacheEntry> g_infoCache;  // by full path, case-sensitive; guarded by g_infoCacheLock

FileIdentity IdentityOf(const QString& path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return {};
    return {file.size(), file.lastModified().toMSecsSinceEpoch()};
}

// The entry for the file as it is now. When none is there, the caller is
// entered as its reader (false); while another reads it, this waits.
bool LookUpOrBeginReading(const QString& path, const FileIdentity& identity, CCacheItem& found, const CCacheItem& unread)
{
    std::unique_lock lock(g_infoCacheLock);
    const auto settled = [&] {
        const auto entry = g_infoCache.constFind(path);
        return entry == g_infoCache.constEnd() || !(entry->identity == identity) || !entry->reading;
    };
    g_infoCacheSettled.wait(lock, settled);
    const auto entry = g_infoCache.constFind(path);
    if (entry != g_infoCache.constEnd() && entry->identity == identity) {
        found = entry->item;
        return true;
    }
    // Kept even when reading fails, so an unreadable file is not tried again.
    g_infoCache.insert(path, CacheEntry{identity, unread, true});
    return false;
}

void Store(const QString& path, const FileIdentity& identity, const CMediaItem& item, const QString& text)
{
    CacheEntry entry{identity, MakeCacheItem(item, text)};
    const std::lock_guard lock(g_infoCacheLock);
    g_infoCache.insert(path, std::move(entry));
    g_infoCacheSettled.notify_all();
}

// Ends the reading of a file however it went.
void EndReading(const QString& path)
{
    const std::lock_guard lock(g_infoCacheLock);
    const auto entry = g_infoCache.find(path);
    if (entry != g_infoCache.end())
        entry->reading = false;
    g_infoCacheSettled.notify_all();
}


struct SafeArrayDeleter {
    void operator()(SAFEARRAY* array) const { SafeArrayDestroy(array); }
};

// The picture of a packed 24-bit DIB (header, then bottom-up or top-down
// rows padded to 4 bytes); null when the bytes are not such a DIB.
QImage PictureOfDib(SAFEARRAY* array)
{
    int32_t lower = 0, upper = -1;
    void* data = nullptr;
    if (FAILED(SafeArrayGetLBound(array, 1, &lower)) || FAILED(SafeArrayGetUBound(array, 1, &upper)) ||
        array->cbElements != 1 || FAILED(SafeArrayAccessData(array, &data)))
        return {};
    const auto size = static_cast<size_t>(int64_t{upper} - lower + 1);
    const auto* bytes = static_cast<const uint8_t*>(data);
    QImage picture;
    BITMAPINFOHEADER header{};
    if (size >= sizeof header)
        std::memcpy(&header, bytes, sizeof header);
    const int width = header.biWidth;
    const int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    const bool valid = size >= sizeof header && header.biSize >= sizeof header && header.biBitCount == 24 &&
                       header.biCompression == BI_RGB && width > 0 && width <= kLargestFrameSide && height > 0 &&
                       height <= kLargestFrameSide && size - header.biSize >= stride * static_cast<size_t>(height);
    if (valid) {
        picture = QImage(width, height, QImage::Format_BGR888);
        const uint8_t* rows = bytes + header.biSize;
        for (int y = 0; y < height; ++y) {
            const int source = header.biHeight > 0 ? height - 1 - y : y;
            std::memcpy(picture.scanLine(y), rows + stride * static_cast<size_t>(source), static_cast<size_t>(width) * 3);
        }
    }
    SafeArrayUnaccessData(array);
    return picture;
}

// "%d:%.2d": whole minutes and the seconds left, the duration truncated.
QStringList MinutesAndSeconds(double seconds)
{
    const long whole = seconds > 0 ? static_cast<long>(seconds) : 0;
    return {QString::number(whole / 60), QString::number(whole % 60)};
}

HRESULT ReadVideo(IMediaInfo* info, double duration, const FileIdentity& identity, CMediaItem& item, QString& text)
{
    short width = 0, height = 0;
    HRESULT hr = info->GetVideoSize(&width, &height);
    if (FAILED(hr))
        return hr;
    text = FormatInfoText(225, item, MinutesAndSeconds(duration) << QString::number(width) << QString::number(height));
    SAFEARRAY* raw = nullptr;
    hr = info->GetFrame(duration * 0.5, kFrameWidth, kFrameHeight, &raw);
    const std::unique_ptr<SAFEARRAY, SafeArrayDeleter> array(raw);
    const QImage frame = SUCCEEDED(hr) && array ? PictureOfDib(array.get()) : QImage();
    if (!frame.isNull())
        item.m_image.SetOpaquePicture(frame);
    // Without a frame the details still stand, with the default picture.
    Store(item.m_strPath, identity, item, text);
    return frame.isNull() ? (FAILED(hr) ? hr : E_FAIL) : S_OK;
}

HRESULT ReadAudio(IMediaInfo* info, double duration, const FileIdentity& identity, CMediaItem& item, QString& text)
{
    LONG rate = 0;
    short channels = 0, bits = 0;
    const HRESULT hr = info->GetAudioFormat(&rate, &channels, &bits);
    if (FAILED(hr))
        return hr;
    text = FormatInfoText(232, item, MinutesAndSeconds(duration) << QString::number(rate) << QString::number(channels)
                                         << QString::number(bits));
    Store(item.m_strPath, identity, item, text);
    return S_OK;
}

HRESULT ReadFromFile(const FileIdentity& identity, CMediaItem& item, QString& text)
{
    ComPtr<IMediaInfo> info;
    HRESULT hr = OpenMediaInfo(item.m_strPath, info);
    double duration = 0;
    VARIANT_BOOL hasVideo = VARIANT_FALSE, hasAudio = VARIANT_FALSE;
    if (SUCCEEDED(hr))
        hr = info->GetDuration(&duration);
    if (SUCCEEDED(hr))
        hr = info->GetStreams(&hasVideo, &hasAudio);
    if (FAILED(hr))
        return hr;
    if (hasVideo)
        return ReadVideo(info.Get(), duration, identity, item, text);
    if (hasAudio)
        return ReadAudio(info.Get(), duration, identity, item, text);
    return S_FALSE;
}

}  // namespace

HRESULT OpenMediaInfo(const QString& path, ComPtr<IMediaInfo>& info)
{
    HRESULT hr = CoCreateInstance(CLSID_MediaInfo, nullptr, CLSCTX_ALL, IID_PPV_ARGS(info.ReleaseAndGetAddressOf()));
    if (FAILED(hr))
        return hr;
    const QByteArray utf8 = path.toUtf8();
    BSTR name = SysAllocString(utf8.constData());
    hr = info->Open(name);
    SysFreeString(name);
    return hr;
}

CCacheItem MakeCacheItem(const CMediaItem& item, const QString& text)
{
    CCacheItem cached{{}, text};
    QBuffer buffer(&cached.picture);
    buffer.open(QIODevice::WriteOnly);
    item.m_image.SaveToStream(&buffer);
    return cached;
}

HRESULT ReadMediaInfo(CMediaItem& item, QString& text)
{
    const FileIdentity identity = IdentityOf(item.m_strPath);
    text = FormatInfoText(226, item);
    CCacheItem cached;
    if (LookUpOrBeginReading(item.m_strPath, identity, cached, MakeCacheItem(item, text))) {
        text = cached.text;
        QBuffer buffer(&cached.picture);
        buffer.open(QIODevice::ReadOnly);
        item.m_image.LoadFromStream(&buffer);
        return S_OK;
    }
    const HRESULT hr = ReadFromFile(identity, item, text);
    EndReading(item.m_strPath);
    return hr;
}
