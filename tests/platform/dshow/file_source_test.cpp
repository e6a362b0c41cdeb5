// File Source (Async.): loading, random-access reads, flushing, and reading
// a file through a graph.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "platform/dshow/file_source.h"
#include "platform/dshow/graph_pins.h"
#include "platform/dshow/platform_filters.h"
#include "tests/platform/dshow/graph_harness.h"
#include "tests/platform/dshow/stream_filters.h"
#include "tests/support/temp_folder.h"

using namespace stream_filters;
using namespace testing_filters;
using namespace testing_files;

namespace {

ComPtr<IBaseFilter> NewFileSource()
{
    RegisterPlatformFilters();
    ComPtr<IBaseFilter> source;
    CoCreateInstance(CLSID_AsyncReader, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(source.ReleaseAndGetAddressOf()));
    return source;
}

HRESULT Load(IBaseFilter* source, const std::string& path, const AM_MEDIA_TYPE* type = nullptr)
{
    ComPtr<IFileSourceFilter> loader = ComPtr<IBaseFilter>(source).As<IFileSourceFilter>();
    return loader ? loader->Load(path.c_str(), type) : E_NOINTERFACE;
}

ComPtr<IAsyncReader> ReaderOf(IBaseFilter* source)
{
    const ComPtr<IPin> pin = OnlyPin(source, PINDIR_OUTPUT);
    return pin ? pin.As<IAsyncReader>() : ComPtr<IAsyncReader>();
}

// A loaded source over a file of `size` patterned bytes.
struct LoadedSource {
    explicit LoadedSource(size_t size, const std::string& name = "input.bin")
        : path(folder.File(name)), bytes(PatternBytes(size))
    {
        WriteFileBytes(path, bytes);
        filter = NewFileSource();
        loadResult = Load(filter.Get(), path);
        if (SUCCEEDED(loadResult)) reader = ReaderOf(filter.Get());
    }

    TempFolder folder;
    std::string path;
    std::string bytes;
    ComPtr<IBaseFilter> filter;
    HRESULT loadResult = E_FAIL;
    ComPtr<IAsyncReader> reader;
};

}  // namespace

TEST(AsyncFileSource, LoadRefusesWhatIsNotAReadableFile)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.Path() / "folder");
    struct Case {
        const char* what;
        std::string path;
        HRESULT expected;
    };
    const Case cases[] = {
        {"missing file", folder.File("missing.mp4"), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
        {"missing folder on the way", folder.File("no/such/file.mp4"), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
        {"a folder", folder.File("folder"), E_ACCESSDENIED},
        {"a file used as a folder", "/dev/null/file.mp4", HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ComPtr<IBaseFilter> source = NewFileSource();
        ASSERT_TRUE(source);
        EXPECT_EQ(Load(source.Get(), c.path), c.expected);
        EXPECT_TRUE(PinsOf(source.Get()).empty()) << "a source without a file offers no pin";
        LPOLESTR name = nullptr;
        EXPECT_TRUE(FAILED(source.As<IFileSourceFilter>()->GetCurFile(&name, nullptr)));
        EXPECT_EQ(name, nullptr);
    }
}

TEST(AsyncFileSource, LoadRefusesAnUnreadableFile)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    TempFolder folder;
    const std::string path = folder.File("secret.bin");
    WriteFileBytes(path, "secret");
    ::chmod(path.c_str(), 0);
    EXPECT_EQ(Load(NewFileSource().Get(), path), E_ACCESSDENIED);
}

TEST(AsyncFileSource, AFailedLoadKeepsTheFileLoadedBefore)
{
    LoadedSource s(100);
    ASSERT_EQ(s.loadResult, S_OK);
    EXPECT_TRUE(FAILED(Load(s.filter.Get(), s.folder.File("missing"))));
    LPOLESTR name = nullptr;
    ASSERT_EQ(s.filter.As<IFileSourceFilter>()->GetCurFile(&name, nullptr), S_OK);
    EXPECT_STREQ(name, s.path.c_str());
    CoTaskMemFree(name);
    BYTE byte = 0;
    EXPECT_EQ(ReaderOf(s.filter.Get())->SyncRead(99, 1, &byte), S_OK);
    EXPECT_EQ(static_cast<char>(byte), s.bytes[99]);
}

TEST(AsyncFileSource, OffersOneOutputPinOfStreamType)
{
    LoadedSource s(10);
    ASSERT_EQ(s.loadResult, S_OK);
    const auto pins = PinsOf(s.filter.Get());
    ASSERT_EQ(pins.size(), 1u);
    PIN_INFO info{};
    ASSERT_EQ(pins[0]->QueryPinInfo(&info), S_OK);
    EXPECT_STREQ(info.achName, "Output");
    EXPECT_EQ(info.dir, PINDIR_OUTPUT);
    EXPECT_EQ(info.pFilter, s.filter.Get());
    ReleasePinInfo(info);

    const auto types = MediaTypesOf(pins[0].Get());
    ASSERT_EQ(types.size(), 1u);
    EXPECT_EQ(types[0].majortype, MEDIATYPE_Stream);
    EXPECT_EQ(types[0].subtype, GUID_NULL);
    EXPECT_EQ(types[0].formattype, FORMAT_None);

    // The reader is the pin itself: asking it for IPin leads back to the pin.
    ASSERT_TRUE(s.reader);
    ComPtr<IPin> back = s.reader.As<IPin>();
    EXPECT_EQ(back.Get(), pins[0].Get());
    EXPECT_EQ(s.reader.As<IUnknown>().Get(), pins[0].As<IUnknown>().Get());
}

TEST(AsyncFileSource, LoadTakesATypeAndAUtf8Path)
{
    TempFolder folder;
    const std::string path = folder.File("Überfahrt – 映像.mpg");
    WriteFileBytes(path, "abc");
    ComPtr<IBaseFilter> source = NewFileSource();
    const CMediaType given(MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1Packet);
    ASSERT_EQ(Load(source.Get(), path, &given), S_OK);

    LPOLESTR name = nullptr;
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(source.As<IFileSourceFilter>()->GetCurFile(&name, &type), S_OK);
    EXPECT_STREQ(name, path.c_str());
    EXPECT_EQ(type.majortype, MEDIATYPE_Stream);
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_MPEG1Packet);
    CoTaskMemFree(name);
    FreeMediaType(type);

    const auto types = MediaTypesOf(OnlyPin(source.Get(), PINDIR_OUTPUT).Get());
    ASSERT_EQ(types.size(), 1u);
    EXPECT_EQ(types[0].subtype, MEDIASUBTYPE_MPEG1Packet);
}

TEST(AsyncFileSource, SyncReadGivesExactlyTheFileBytes)
{
    constexpr size_t kSize = 100'000;
    LoadedSource s(kSize);
    ASSERT_EQ(s.loadResult, S_OK);
    ASSERT_TRUE(s.reader);
    struct Case {
        LONGLONG position;
        LONG length;
        HRESULT expected;
        size_t valid;  // bytes that must match the file; the rest stays untouched
    };
    const Case cases[] = {
        {0, 1, S_OK, 1},
        {0, 4096, S_OK, 4096},
        {12'345, 777, S_OK, 777},
        {kSize - 10, 10, S_OK, 10},
        {0, static_cast<LONG>(kSize), S_OK, kSize},
        {kSize - 10, 100, S_FALSE, 10},   // across the end
        {0, static_cast<LONG>(kSize) + 1, S_FALSE, kSize},
        {kSize, 1, S_FALSE, 0},           // at the end
        {kSize + 5000, 16, S_FALSE, 0},   // past the end
        {500, 0, S_OK, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "position " << c.position << " length " << c.length);
        std::string buffer(static_cast<size_t>(c.length), '\xEE');
        EXPECT_EQ(s.reader->SyncRead(c.position, c.length, reinterpret_cast<BYTE*>(buffer.data())), c.expected);
        EXPECT_EQ(buffer.substr(0, c.valid), s.bytes.substr(static_cast<size_t>(std::min<LONGLONG>(c.position, kSize)), c.valid));
        EXPECT_EQ(buffer.find_first_not_of('\xEE', c.valid), std::string::npos) << "wrote past the bytes it read";
    }
}

TEST(AsyncFileSource, SyncReadRefusesBadArguments)
{
    LoadedSource s(100);
    ASSERT_TRUE(s.reader);
    BYTE buffer[8];
    EXPECT_TRUE(FAILED(s.reader->SyncRead(-1, 8, buffer)));
    EXPECT_TRUE(FAILED(s.reader->SyncRead(0, -8, buffer)));
    EXPECT_TRUE(FAILED(s.reader->SyncRead(0, 8, nullptr)));
    EXPECT_TRUE(FAILED(s.reader->SyncRead(INT64_MAX - 2, 8, buffer)));
}

TEST(AsyncFileSource, LengthIsTheFileSize)
{
    for (size_t size : {size_t{0}, size_t{1}, size_t{65'537}}) {
        SCOPED_TRACE(size);
        LoadedSource s(size);
        ASSERT_TRUE(s.reader);
        LONGLONG total = -1, available = -1;
        ASSERT_EQ(s.reader->Length(&total, &available), S_OK);
        EXPECT_EQ(total, static_cast<LONGLONG>(size));
        EXPECT_EQ(available, static_cast<LONGLONG>(size));
    }
}

TEST(AsyncFileSource, ReadsFailWhileTheReaderIsFlushedButNotWhenThePinIsAskedTo)
{
    LoadedSource s(64);
    ASSERT_TRUE(s.reader);
    const ComPtr<IPin> pin = s.reader.As<IPin>();
    BYTE buffer[16];

    // Stream control on an output pin is a mistake, and must not flush reads.
    EXPECT_EQ(pin->BeginFlush(), E_UNEXPECTED);
    EXPECT_EQ(pin->EndFlush(), E_UNEXPECTED);
    EXPECT_EQ(pin->EndOfStream(), E_UNEXPECTED);
    EXPECT_EQ(s.reader->SyncRead(0, 16, buffer), S_OK);

    ASSERT_EQ(s.reader->BeginFlush(), S_OK);
    EXPECT_EQ(s.reader->SyncRead(0, 16, buffer), VFW_E_WRONG_STATE);
    EXPECT_EQ(s.reader->SyncRead(0, 0, buffer), VFW_E_WRONG_STATE);
    ASSERT_EQ(s.reader->EndFlush(), S_OK);
    EXPECT_EQ(s.reader->SyncRead(0, 16, buffer), S_OK);
}

TEST(AsyncFileSource, ReadsFromManyThreadsAtOnceGetTheirOwnBytes)
{
    constexpr size_t kSize = 1 << 20;
    constexpr int kThreads = 4;
    LoadedSource s(kSize);
    ASSERT_TRUE(s.reader);
    std::vector<std::string> got(kThreads);
    std::vector<std::thread> threads;
    // Each thread reads the whole file in its own order of offsets.
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            constexpr LONG kChunk = 4096;
            std::string& out = got[t];
            out.assign(kSize, '\0');
            for (size_t i = 0; i < kSize / kChunk; ++i) {
                const size_t chunk = (i * (2 * t + 1) + t) % (kSize / kChunk);
                const LONGLONG position = static_cast<LONGLONG>(chunk * kChunk);
                if (s.reader->SyncRead(position, kChunk, reinterpret_cast<BYTE*>(out.data()) + position) != S_OK)
                    return;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) EXPECT_TRUE(got[t] == s.bytes) << "thread " << t;
}

TEST(AsyncFileSource, LoadWhileConnectedIsRefused)
{
    LoadedSource s(10);
    GraphHarness g;
    ASSERT_TRUE(g.graph);
    ComPtr<IBaseFilter> sink(new CPullReaderSink());
    ASSERT_EQ(g.graph->AddFilter(s.filter.Get(), "Source"), S_OK);
    ASSERT_EQ(g.graph->AddFilter(sink.Get(), "Sink"), S_OK);
    ASSERT_EQ(g.graph->ConnectDirect(OnlyPin(s.filter.Get(), PINDIR_OUTPUT).Get(),
                                     OnlyPin(sink.Get(), PINDIR_INPUT).Get(), nullptr),
              S_OK);

    const std::string other = s.folder.File("other.bin");
    WriteFileBytes(other, "other");
    EXPECT_EQ(Load(s.filter.Get(), other), VFW_E_ALREADY_CONNECTED);
    LPOLESTR name = nullptr;
    ASSERT_EQ(s.filter.As<IFileSourceFilter>()->GetCurFile(&name, nullptr), S_OK);
    EXPECT_STREQ(name, s.path.c_str());
    CoTaskMemFree(name);
}

TEST(AsyncFileSource, AGraphPullsTheWholeFile)
{
    // Chunk sizes that end the file on a chunk boundary and in mid-chunk.
    for (size_t chunk : {size_t{1000}, size_t{4096}}) {
        SCOPED_TRACE(chunk);
        GraphHarness g;
        ASSERT_TRUE(g.graph);
        TempFolder folder;
        const std::string path = folder.File("movie.mp4");
        const std::string bytes = PatternBytes(200'000, 7);
        WriteFileBytes(path, bytes);

        ComPtr<IBaseFilter> source;
        ASSERT_EQ(g.graph->AddSourceFilter(path.c_str(), nullptr, source.ReleaseAndGetAddressOf()), S_OK);
        CLSID clsid;
        ASSERT_EQ(source->GetClassID(&clsid), S_OK);
        EXPECT_EQ(clsid, CLSID_AsyncReader);
        auto* sink = new CPullReaderSink(chunk);
        ComPtr<IBaseFilter> sinkRef(sink);
        ASSERT_EQ(g.graph->AddFilter(sink, "Reader"), S_OK);
        ASSERT_EQ(g.graph->ConnectDirect(OnlyPin(source.Get(), PINDIR_OUTPUT).Get(), sink->Input(), nullptr), S_OK);

        ASSERT_EQ(g.RunFree(), S_OK);
        const auto events = g.EventsUntilEnd();
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().first, EC_COMPLETE);
        EXPECT_EQ(g.control->Stop(), S_OK);
        EXPECT_TRUE(sink->Input()->Bytes() == bytes) << "read " << sink->Input()->Bytes().size() << " bytes";
    }
}
