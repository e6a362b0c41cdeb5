#include "medialist/media_info_cache.h"

#include <QFileInfo>
#include <QSet>
#include <atomic>
#include <thread>
#include <vector>
#include <gtest/gtest.h>

#include "components/component_interfaces.h"
#include "platform/com/class_registry.h"
#include "medialist/media_item.h"
#include "tests/app/qstring_printer.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

namespace {

using testing_files::TempFolder;
using testing_files::WriteFileBytes;
using testing_media::MakeMedia;

// A row for a file, as the media list makes it before the worker reads it.
CMediaItem RowFor(const std::string& path)
{
    QStringList video, audio;
    GetSupportedExtensions(video, audio);
    CMediaItem item;
    item.m_strPath = QString::fromStdString(path);
    item.m_strName = QFileInfo(item.m_strPath).fileName();
    QString text;
    SetDefaultInfo(video, audio, item, text);
    return item;
}

int DistinctColours(const QImage& picture)
{
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            colours.insert(picture.pixel(x, y));
    return int(colours.size());
}

QString DateOf(const std::string& path)
{
    return QFileInfo(QString::fromStdString(path)).lastModified().toLocalTime().toString("dd.MM.yyyy");
}

class MediaInfoCacheTest : public testing::Test {
protected:
    std::string Fixture(const std::string& name, const std::string& arguments)
    {
        const std::string path = temp.File(name);
        EXPECT_TRUE(MakeMedia(path, arguments)) << name;
        return path;
    }

    TempFolder temp;
};

TEST_F(MediaInfoCacheTest, RowsShowTheDetailsOfVideoAudioAndUnreadableFiles)
{
    const std::string video = Fixture("clip.mp4", "-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine "
                                                    "-t 3.5 -c:v libx264 -c:a aac");
    const std::string audio = Fixture("song.wav", "-f lavfi -i sine=sample_rate=44100 -ac 2 -t 2 -c:a pcm_s16le");
    const std::string broken = temp.File("broken.avi");
    WriteFileBytes(broken, std::string(4096, '\x5a'));
    struct Case {
        std::string path;
        bool read;
        QString details;
        int pictureWidth;
        bool pictureAlpha;
    };
    const Case cases[] = {
        {video, true, "clip.mp4\nDuration:\t0:03\nResolution:\t320 x 240\nDate:\t", 64, false},
        {audio, true, "song.wav\nDuration:\t0:02\nFormat:\t44100 Hz, 2 channels and 16 bits\nDate:\t", 48, true},
        {broken, false, "broken.avi\nUnknown format\nDate:\t", 48, true},
    };
    for (const Case& c : cases) {
        CMediaItem row = RowFor(c.path);
        QString text;
        const HRESULT hr = ReadMediaInfo(row, text);
        EXPECT_EQ(SUCCEEDED(hr), c.read) << c.path;
        EXPECT_EQ(text, c.details + DateOf(c.path));
        EXPECT_EQ(row.m_image.Width(), c.pictureWidth) << c.path;
        EXPECT_EQ(row.m_image.HasAlpha(), c.pictureAlpha) << c.path;
        if (c.path == video) {
            EXPECT_GT(DistinctColours(row.m_image.Image()), 8) << "a frame of the test pattern, not a blank";
        }
    }

    // A second visit opens nothing: with the reader gone, the rows still
    // get their details and pictures.
    const ScopedClassOverride noReader(CLSID_MediaInfo, {});
    for (const Case& c : cases) {
        CMediaItem row = RowFor(c.path);
        QString text;
        EXPECT_EQ(ReadMediaInfo(row, text), S_OK) << c.path;
        EXPECT_EQ(text, c.details + DateOf(c.path));
        EXPECT_EQ(row.m_image.Width(), c.pictureWidth) << c.path;
    }
}

// Two lists showing the same folder read a file at the same time: the one
// that comes second waits for the first instead of taking its placeholder.
TEST_F(MediaInfoCacheTest, ReadersOfTheSameFileAtOnceAllGetItsDetails)
{
    const std::string video = Fixture("same.mp4", "-f lavfi -i testsrc=size=320x240:rate=25 -t 2 -c:v libx264");
    std::vector<QString> texts(4);
    std::vector<std::thread> readers;
    for (QString& text : texts)
        readers.emplace_back([&video, &text] {
            CMediaItem row = RowFor(video);
            ReadMediaInfo(row, text);
        });
    for (std::thread& reader : readers)
        reader.join();
    for (const QString& text : texts)
        EXPECT_TRUE(text.contains("Resolution:\t320 x 240")) << text.toStdString();
}

TEST_F(MediaInfoCacheTest, AFileChangedSinceItWasReadIsReadAgain)
{
    const std::string path = Fixture("growing.mp4", "-f lavfi -i sine -t 1 -c:a aac");
    CMediaItem row = RowFor(path);
    QString text;
    ASSERT_EQ(ReadMediaInfo(row, text), S_OK);
    EXPECT_TRUE(text.contains("Format:")) << qPrintable(text);

    Fixture("growing.mp4", "-f lavfi -i testsrc=size=160x120:rate=25 -t 2 -c:v libx264");
    row = RowFor(path);
    ASSERT_EQ(ReadMediaInfo(row, text), S_OK);
    EXPECT_TRUE(text.contains("Resolution:\t160 x 120")) << qPrintable(text);
}

// Details that come without a frame: the reader says "video, 640 x 360,
// 125.9 s" and fails to grab a frame.
class FramelessInfo final : public IMediaInfo {
public:
    explicit FramelessInfo(std::atomic<int>& opens) : m_opens(opens) {}
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (riid != IID_IUnknown && riid != IMediaInfo::iid) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IMediaInfo*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT Reserved3() override { return E_NOTIMPL; }
    HRESULT Reserved4() override { return E_NOTIMPL; }
    HRESULT Reserved5() override { return E_NOTIMPL; }
    HRESULT Reserved6() override { return E_NOTIMPL; }
    HRESULT Open(BSTR) override
    {
        ++m_opens;
        return S_OK;
    }
    HRESULT GetDuration(double* seconds) override
    {
        *seconds = 125.9;
        return S_OK;
    }
    HRESULT GetVideoSize(short* width, short* height) override
    {
        *width = 640;
        *height = 360;
        return S_OK;
    }
    HRESULT GetFrame(double, LONG, LONG, SAFEARRAY** dib) override
    {
        *dib = nullptr;
        return E_FAIL;
    }
    HRESULT GetStreams(VARIANT_BOOL* hasVideo, VARIANT_BOOL* hasAudio) override
    {
        *hasVideo = VARIANT_TRUE;
        *hasAudio = VARIANT_FALSE;
        return S_OK;
    }
    HRESULT GetAudioFormat(LONG*, short*, short*) override { return VFW_E_NOT_FOUND; }
    HRESULT GetFrameRate(double*) override { return VFW_E_NOT_FOUND; }

private:
    ~FramelessInfo() = default;
    std::atomic<int>& m_opens;
    ULONG m_references = 0;
};

TEST_F(MediaInfoCacheTest, AVideoWithoutAFrameKeepsItsDetailsOnLaterVisits)
{
    std::atomic<int> opens{0};
    const ScopedClassOverride reader(CLSID_MediaInfo, [&opens](REFIID riid, void** object) {
        return (new FramelessInfo(opens))->QueryInterface(riid, object);
    });
    const std::string path = temp.File("frameless.avi");
    WriteFileBytes(path, "not read by the fake");
    const QString details = "frameless.avi\nDuration:\t2:05\nResolution:\t640 x 360\nDate:\t" + DateOf(path);
    for (int visit = 1; visit <= 2; ++visit) {
        CMediaItem row = RowFor(path);
        QString text;
        const HRESULT hr = ReadMediaInfo(row, text);
        EXPECT_EQ(SUCCEEDED(hr), visit == 2) << visit;  // the first visit reports the missing frame
        EXPECT_EQ(text, details) << visit;
        EXPECT_EQ(row.m_image.Width(), 48) << "the default picture stays";
    }
    EXPECT_EQ(opens, 1);
}

}  // namespace
