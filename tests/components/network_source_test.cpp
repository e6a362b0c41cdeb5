// The network source against a small HTTP server on 127.0.0.1: exact bytes
// at any offset with and without range support, clear failure codes, reads
// that a flush or a stall ends, and the window kept without ranges.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <future>
#include <thread>

#include "components/component_ids.h"
#include "components/register_components.h"
#include "platform/dshow/filter_mapper.h"
#include "platform/dshow/graph_pins.h"
#include "platform/dshow/platform_filters.h"
#include "platform/net/http_stream.h"
#include "tests/platform/dshow/graph_harness.h"
#include "tests/support/local_http_server.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

using testing_files::PatternBytes;
using testing_net::LocalHttpServer;
using testing_net::Resource;

namespace {

class NetworkSource : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Nothing here may leave the machine, even through a proxy.
        ::setenv("no_proxy", "127.0.0.1", 1);
        RegisterPlatformFilters();
        RegisterComponents();
    }

    void SetUp() override
    {
        m_saved = CurrentHttpTimeouts();
        SetHttpTimeouts({std::chrono::milliseconds(2000), std::chrono::milliseconds(1000)});
    }
    void TearDown() override { SetHttpTimeouts(m_saved); }

    struct Loaded {
        HRESULT hr = E_FAIL;
        ComPtr<IBaseFilter> filter;
        ComPtr<IAsyncReader> reader;
    };

    static Loaded Load(const std::string& address)
    {
        Loaded loaded;
        EXPECT_EQ(CoCreateInstance(CLSID_NetworkSource, nullptr, CLSCTX_ALL,
                                   IID_PPV_ARGS(loaded.filter.ReleaseAndGetAddressOf())),
                  S_OK);
        if (!loaded.filter) return loaded;
        ComPtr<IFileSourceFilter> file;
        EXPECT_EQ(loaded.filter.As(&file), S_OK);
        loaded.hr = file->Load(address.c_str(), nullptr);
        const auto pins = PinsOf(loaded.filter.Get(), PINDIR_OUTPUT);
        if (!pins.empty()) pins.front().As(&loaded.reader);
        return loaded;
    }

    // What SyncRead gives at `position`: its result and the bytes it filled.
    static std::pair<HRESULT, std::string> ReadAt(IAsyncReader* reader, LONGLONG position, LONG length)
    {
        std::string bytes(static_cast<size_t>(length), '\x5A');
        const HRESULT hr = reader->SyncRead(position, length, reinterpret_cast<BYTE*>(bytes.data()));
        return {hr, bytes};
    }

    HttpTimeouts m_saved;
};

constexpr int64_t kBlock = kHttpBlockSize;

TEST_F(NetworkSource, OffersOneStreamOutputNamedOutputOnlyOnceLoaded)
{
    LocalHttpServer server;
    server.Serve("/clip.mp4", {PatternBytes(1000)});
    ComPtr<IBaseFilter> unloaded;
    ASSERT_EQ(
        CoCreateInstance(CLSID_NetworkSource, nullptr, CLSCTX_ALL, IID_PPV_ARGS(unloaded.ReleaseAndGetAddressOf())),
        S_OK);
    EXPECT_TRUE(PinsOf(unloaded.Get()).empty());

    const Loaded s = Load(server.Url("/clip.mp4"));
    ASSERT_EQ(s.hr, S_OK);
    const auto pins = PinsOf(s.filter.Get());
    ASSERT_EQ(pins.size(), 1u);
    PIN_INFO info{};
    ASSERT_EQ(pins[0]->QueryPinInfo(&info), S_OK);
    info.pFilter->Release();
    EXPECT_STREQ(info.achName, "Output");
    EXPECT_EQ(info.dir, PINDIR_OUTPUT);
    const auto types = MediaTypesOf(pins[0].Get());
    ASSERT_EQ(types.size(), 1u);
    EXPECT_EQ(types[0].majortype, MEDIATYPE_Stream);
    ASSERT_TRUE(s.reader);

    ComPtr<IFileSourceFilter> file;
    ASSERT_EQ(s.filter.As(&file), S_OK);
    LPOLESTR name = nullptr;
    ASSERT_EQ(file->GetCurFile(&name, nullptr), S_OK);
    EXPECT_EQ(std::string(name), server.Url("/clip.mp4"));
    CoTaskMemFree(name);
}

TEST_F(NetworkSource, ReadsAtAnyOffsetGiveExactlyTheServedBytes)
{
    const std::string body = PatternBytes(2 * kBlock + 12345, 7);
    const LONGLONG size = static_cast<LONGLONG>(body.size());
    struct Read {
        LONGLONG position;
        LONG length;
    };
    std::vector<Read> reads = {
        {0, 188},
        {kBlock - 10, 20},            // across a block boundary
        {size - 100, 100},            // the last bytes
        {10, static_cast<LONG>(2 * kBlock)},  // across every block
        {kBlock, 1},
        {0, 0},
    };
    for (int i = 0; i < 60; ++i)  // a demultiplexer's hops back and forth
        reads.push_back({(i * 7919 * 4099LL) % (size - 4096), 1 + (i * 131) % 4096});

    for (const bool ranges : {true, false}) {
        SCOPED_TRACE(ranges ? "server honours ranges" : "server ignores ranges");
        LocalHttpServer server;
        server.Serve("/clip.mp4", {body, 200, ranges});
        const Loaded s = Load(server.Url("/clip.mp4"));
        ASSERT_EQ(s.hr, S_OK);
        ASSERT_TRUE(s.reader);

        LONGLONG total = 0, available = 0;
        ASSERT_EQ(s.reader->Length(&total, &available), S_OK);
        EXPECT_EQ(total, size);

        for (const Read& r : reads) {
            const auto [hr, bytes] = ReadAt(s.reader.Get(), r.position, r.length);
            ASSERT_EQ(hr, S_OK) << "at " << r.position << " for " << r.length;
            ASSERT_TRUE(bytes == body.substr(static_cast<size_t>(r.position), static_cast<size_t>(r.length)))
                << "wrong bytes at " << r.position << " for " << r.length;
        }

        // Past the end: S_FALSE, with the bytes up to the end.
        const auto [tailResult, tail] = ReadAt(s.reader.Get(), size - 50, 100);
        EXPECT_EQ(tailResult, S_FALSE);
        EXPECT_EQ(tail.substr(0, 50), body.substr(static_cast<size_t>(size - 50)));
        EXPECT_EQ(ReadAt(s.reader.Get(), size + 10, 10).first, S_FALSE);

        // Ranges: one request per block at most (the first with Load), thanks
        // to the cache; without: the body is read once.
        const int requests = server.RequestCount("/clip.mp4");
        if (ranges) {
            EXPECT_EQ(requests, 3) << "each of the 3 blocks fetched once";
            for (const std::string& range : server.RangesAsked("/clip.mp4"))
                EXPECT_NE(range, "") << "a request for the whole resource";
        } else {
            EXPECT_EQ(requests, 1);
        }
        ASSERT_EQ(s.reader->Length(&total, &available), S_OK);
        EXPECT_EQ(available, size) << "everything has arrived by now";
    }
}

TEST_F(NetworkSource, ReadsFromManyThreadsAtOnceGetTheirOwnBytes)
{
    const std::string body = PatternBytes(3 * kBlock, 3);
    for (const bool ranges : {true, false}) {
        SCOPED_TRACE(ranges ? "server honours ranges" : "server ignores ranges");
        LocalHttpServer server;
        server.Serve("/clip.mp4", {body, 200, ranges});
        const Loaded s = Load(server.Url("/clip.mp4"));
        ASSERT_EQ(s.hr, S_OK);
        std::vector<std::future<bool>> readers;
        for (int t = 0; t < 4; ++t) {
            readers.push_back(std::async(std::launch::async, [&, t] {
                for (int i = 0; i < 20; ++i) {
                    const LONGLONG position = ((t * 20 + i) * 104729LL) % (3 * kBlock - 5000);
                    const auto [hr, bytes] = ReadAt(s.reader.Get(), position, 5000);
                    if (hr != S_OK || bytes != body.substr(static_cast<size_t>(position), 5000)) return false;
                }
                return true;
            }));
        }
        for (auto& reader : readers) EXPECT_TRUE(reader.get());
    }
}

TEST_F(NetworkSource, AnEmptyResourceLoadsAndEndsAtOnce)
{
    for (const bool ranges : {true, false}) {
        SCOPED_TRACE(ranges ? "server honours ranges" : "server ignores ranges");
        LocalHttpServer server;
        server.Serve("/empty.mp4", {"", 200, ranges});
        const Loaded s = Load(server.Url("/empty.mp4"));
        ASSERT_EQ(s.hr, S_OK);
        LONGLONG total = -1, available = -1;
        ASSERT_EQ(s.reader->Length(&total, &available), S_OK);
        EXPECT_EQ(total, 0);
        EXPECT_EQ(ReadAt(s.reader.Get(), 0, 10).first, S_FALSE);
    }
}

TEST_F(NetworkSource, LoadFailsWithACodeThatSaysWhy)
{
    LocalHttpServer server;
    server.Serve("/forbidden.mp4", {"", 403});
    server.Serve("/broken.mp4", {"", 500});
    server.Serve("/stalled.mp4", {PatternBytes(100), 200, true, 1});
    struct Case {
        const char* what;
        std::string address;
        HRESULT expected;
    };
    const Case cases[] = {
        {"404", server.Url("/missing.mp4"), VFW_E_NOT_FOUND},
        {"403", server.Url("/forbidden.mp4"), E_ACCESSDENIED},
        {"500", server.Url("/broken.mp4"), E_FAIL},
        {"refused", "http://127.0.0.1:" + std::to_string(testing_net::UnusedLocalPort()) + "/clip.mp4",
         HTTP_E_CONNECTION_REFUSED},
        {"no answer", server.Url("/stalled.mp4"), HRESULT_FROM_WIN32(ERROR_TIMEOUT)},
        {"not http", "ftp://127.0.0.1/clip.mp4", E_INVALIDARG},
        {"a local path", "/tmp/clip.mp4", E_INVALIDARG},
    };
    for (const Case& c : cases) {
        const Loaded s = Load(c.address);
        EXPECT_EQ(s.hr, c.expected) << c.what;
        EXPECT_TRUE(PinsOf(s.filter.Get()).empty()) << c.what << ": a failed load offers no pin";
    }
}

TEST_F(NetworkSource, AReadThatStallsFailsWithTheTimeOutAndCachedBytesStayReadable)
{
    const std::string body = PatternBytes(3 * kBlock, 5);
    LocalHttpServer server;
    server.Serve("/clip.mp4", {body, 200, true, 2});  // Load's request is answered, later ones not
    const Loaded s = Load(server.Url("/clip.mp4"));
    ASSERT_EQ(s.hr, S_OK);
    EXPECT_EQ(ReadAt(s.reader.Get(), 2 * kBlock, 100).first, HRESULT_FROM_WIN32(ERROR_TIMEOUT));
    const auto [hr, bytes] = ReadAt(s.reader.Get(), 100, 100);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(bytes, body.substr(100, 100));
}

TEST_F(NetworkSource, WithoutRangesABodyThatStallsTimesOutAndTheNextReadStartsAgainWhereItStopped)
{
    const std::string body = PatternBytes(3 * kBlock, 11);
    const long sentBeforeStall = kBlock + kBlock / 2;
    LocalHttpServer server;
    server.Serve("/clip.mp4", {body, 200, false, 1, sentBeforeStall});
    const Loaded s = Load(server.Url("/clip.mp4"));
    ASSERT_EQ(s.hr, S_OK);
    EXPECT_EQ(ReadAt(s.reader.Get(), 2 * kBlock, 100).first, HRESULT_FROM_WIN32(ERROR_TIMEOUT));
    const auto [early, earlyBytes] = ReadAt(s.reader.Get(), kBlock, 100);
    EXPECT_EQ(early, S_OK) << "what arrived before the stall stays readable";
    EXPECT_EQ(earlyBytes, body.substr(kBlock, 100));

    server.Serve("/clip.mp4", {body, 200, false});
    for (const LONGLONG position : {2 * kBlock, sentBeforeStall - 10, 3 * kBlock - 100}) {
        const auto [hr, bytes] = ReadAt(s.reader.Get(), position, 100);
        EXPECT_EQ(hr, S_OK) << position;
        EXPECT_EQ(bytes, body.substr(static_cast<size_t>(position), 100)) << position;
    }
    EXPECT_EQ(server.RequestCount("/clip.mp4"), 2);
}

TEST_F(NetworkSource, WithoutRangesOnlyTheLastBlocksAreKeptAndAReadBehindThemFails)
{
    const std::string body = PatternBytes(6 * kBlock + 123, 13);
    LocalHttpServer server;
    server.Serve("/clip.mp4", {body, 200, false});
    const std::atomic<bool> abort{false};
    std::unique_ptr<HttpStream> stream;
    ASSERT_EQ(HttpStream::Open(server.Url("/clip.mp4"), CurrentHttpTimeouts(), abort, &stream, 2), S_OK);
    auto readAt = [&stream](int64_t position, int32_t length) {
        std::string bytes(static_cast<size_t>(length), '\x5A');
        const HRESULT hr = stream->Read(position, length, reinterpret_cast<uint8_t*>(bytes.data()));
        return std::pair{hr, bytes};
    };

    // Much more than the window streams through it; the last block read is
    // kept whatever else arrived with it.
    for (const int64_t position : {int64_t{0}, 3 * kBlock + 7, 5 * kBlock + 100, 5 * kBlock}) {
        const auto [hr, bytes] = readAt(position, 100);
        EXPECT_EQ(hr, S_OK) << position;
        EXPECT_EQ(bytes, body.substr(static_cast<size_t>(position), 100)) << position;
    }
    for (const int64_t position : {int64_t{0}, 3 * kBlock + 7})
        EXPECT_EQ(readAt(position, 100).first, HTTP_E_CANNOT_READ_BACK) << position;
    EXPECT_EQ(readAt(6 * kBlock, 200).first, S_FALSE) << "the end is still read";
    EXPECT_EQ(server.RequestCount("/clip.mp4"), 1) << "the body is never asked for again";
}

TEST_F(NetworkSource, BeginFlushEndsAReadWaitingForTheServer)
{
    // A stall time-out well beyond the flush, which must end the read first
    // (the time-out would give a code of its own).
    SetHttpTimeouts({std::chrono::milliseconds(2000), std::chrono::seconds(20)});
    const std::string body = PatternBytes(2 * kBlock, 9);
    LocalHttpServer server;
    server.Serve("/clip.mp4", {body, 200, true, 2});
    const Loaded s = Load(server.Url("/clip.mp4"));
    ASSERT_EQ(s.hr, S_OK);

    auto pending = std::async(std::launch::async, [&] { return ReadAt(s.reader.Get(), kBlock + 10, 100).first; });
    // Bounded only so that a broken source cannot hang the run.
    for (int i = 0; i < 2000 && server.RequestCount("/clip.mp4") < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(server.RequestCount("/clip.mp4"), 2) << "the read never asked the server";
    ASSERT_EQ(s.reader->BeginFlush(), S_OK);
    EXPECT_EQ(pending.get(), VFW_E_WRONG_STATE);
    EXPECT_EQ(ReadAt(s.reader.Get(), 0, 10).first, VFW_E_WRONG_STATE) << "reads fail while flushing";
    ASSERT_EQ(s.reader->EndFlush(), S_OK);
    const auto [hr, bytes] = ReadAt(s.reader.Get(), 0, 10);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(bytes, body.substr(0, 10));
}

TEST_F(NetworkSource, AddSourceFilterPicksItForWebAddressesAndADemultiplexerReadsThrough)
{
    testing_files::TempFolder folder;
    const std::string clip = folder.File("clip.mp4");
    ASSERT_TRUE(testing_media::MakeMedia(
        clip, "-f lavfi -i testsrc=size=160x120:rate=25 -f lavfi -i sine=sample_rate=44100 -t 1 "
              "-c:v libx264 -pix_fmt yuv420p -c:a aac"));
    for (const bool ranges : {true, false}) {
        SCOPED_TRACE(ranges ? "server honours ranges" : "server ignores ranges");
        LocalHttpServer server;
        server.Serve("/clip.mp4", {testing_files::ReadFileBytes(clip), 200, ranges});
        testing_filters::GraphHarness h;
        ComPtr<IBaseFilter> source;
        ASSERT_EQ(h.graph->AddSourceFilter(server.Url("/clip.mp4").c_str(), nullptr, source.ReleaseAndGetAddressOf()),
                  S_OK);
        CLSID clsid{};
        ASSERT_EQ(source->GetClassID(&clsid), S_OK);
        EXPECT_EQ(clsid, CLSID_NetworkSource);

        ASSERT_TRUE(ClassRegistry::Instance().IsRegistered(CLSID_Demultiplexer)) << "the component tests register it";
        ComPtr<IBaseFilter> demux;
        ASSERT_EQ(
            CoCreateInstance(CLSID_Demultiplexer, nullptr, CLSCTX_ALL, IID_PPV_ARGS(demux.ReleaseAndGetAddressOf())),
            S_OK);
        ASSERT_EQ(h.graph->AddFilter(demux.Get(), "Demultiplexer"), S_OK);
        const auto inputs = PinsOf(demux.Get(), PINDIR_INPUT);
        ASSERT_FALSE(inputs.empty());
        ASSERT_EQ(h.graph->ConnectDirect(testing_filters::OnlyPin(source.Get(), PINDIR_OUTPUT).Get(),
                                         inputs.front().Get(), nullptr),
                  S_OK);
        bool video = false, audio = false;
        for (const auto& pin : PinsOf(demux.Get(), PINDIR_OUTPUT)) {
            for (const auto& type : MediaTypesOf(pin.Get())) {
                video = video || type.majortype == MEDIATYPE_Video;
                audio = audio || type.majortype == MEDIATYPE_Audio;
            }
        }
        EXPECT_TRUE(video);
        EXPECT_TRUE(audio);
    }
    EXPECT_EQ(FilterMapper::Instance().SourceFor("HTTPS://example.invalid/a.mp4"), CLSID_NetworkSource);
}

}  // namespace
