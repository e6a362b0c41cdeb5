// File Writer: samples at their byte offsets, the input pin's IStream, and
// failures that must reach the graph instead of leaving a short file.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "platform/dshow/file_writer.h"
#include "platform/dshow/graph_pins.h"
#include "platform/dshow/platform_filters.h"
#include "tests/platform/dshow/graph_harness.h"
#include "tests/platform/dshow/stream_filters.h"
#include "tests/support/temp_folder.h"
#include "tests/platform/dshow/test_filters.h"

using namespace stream_filters;
using namespace testing_filters;
using namespace testing_files;

namespace {

const HRESULT kDiskFull = HRESULT_FROM_WIN32(ERROR_DISK_FULL);

ComPtr<IBaseFilter> NewFileWriter()
{
    RegisterPlatformFilters();
    ComPtr<IBaseFilter> writer;
    CoCreateInstance(CLSID_FileWriter, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(writer.ReleaseAndGetAddressOf()));
    return writer;
}

HRESULT SetFileName(IBaseFilter* writer, const std::string& path)
{
    const auto sink = ComPtr<IBaseFilter>(writer).As<IFileSinkFilter>();
    return sink ? sink->SetFileName(path.c_str(), nullptr) : E_NOINTERFACE;
}

std::string CurrentFile(IBaseFilter* writer)
{
    LPOLESTR name = nullptr;
    if (FAILED(ComPtr<IBaseFilter>(writer).As<IFileSinkFilter>()->GetCurFile(&name, nullptr))) return "(none)";
    std::string result = name;
    CoTaskMemFree(name);
    return result;
}

ComPtr<IStream> StreamOf(IBaseFilter* writer)
{
    const ComPtr<IPin> pin = OnlyPin(writer, PINDIR_INPUT);
    return pin ? pin.As<IStream>() : ComPtr<IStream>();
}

long CountOf(const std::vector<std::pair<long, LONG_PTR>>& events, long code)
{
    return static_cast<long>(std::count_if(events.begin(), events.end(), [code](auto& e) { return e.first == code; }));
}

// A scripted source connected to a File Writer in a platform graph.
struct WriterGraph {
    WriterGraph(std::vector<ByteWrite> script, const std::string& path)
    {
        source = new CScriptedStreamSource(std::move(script));
        writer = NewFileWriter();
        if (!g.graph || !writer) return;
        g.graph->AddFilter(source.Get(), "Source");
        g.graph->AddFilter(writer.Get(), "File Writer");
        SetFileName(writer.Get(), path);
        connectResult = g.graph->ConnectDirect(OnlyPin(source.Get(), PINDIR_OUTPUT).Get(),
                                               OnlyPin(writer.Get(), PINDIR_INPUT).Get(), nullptr);
    }

    GraphHarness g;
    ComPtr<IBaseFilter> source;
    ComPtr<IBaseFilter> writer;
    HRESULT connectResult = E_FAIL;
};

std::vector<ByteWrite> Appended(const std::string& bytes, size_t pieceSize)
{
    std::vector<ByteWrite> script;
    for (size_t at = 0; at < bytes.size(); at += pieceSize) script.push_back({std::nullopt, bytes.substr(at, pieceSize)});
    return script;
}

}  // namespace

TEST(FileWriter, WritesEverySampleAtItsByteOffset)
{
    const std::string big = PatternBytes(1 << 20, 3);
    struct Case {
        const char* what;
        std::vector<ByteWrite> script;
        std::string expected;
    };
    const Case cases[] = {
        {"samples without times follow each other", {{{}, "Hello, "}, {{}, "world"}}, "Hello, world"},
        {"timed samples in order", {{0, "abc"}, {3, "def"}}, "abcdef"},
        {"header finished at the end",
         {{{}, "HDR:????"}, {{}, "payload-1"}, {{}, "payload-2"}, {4, "0026"}},
         "HDR:0026payload-1payload-2"},
        {"an untimed sample follows the one before, even a rewrite",
         {{0, "0123456789"}, {2, "ab"}, {{}, "XY"}},
         "01abXY6789"},
        {"a gap reads as zeroes", {{4, "x"}}, std::string("\0\0\0\0x", 5)},
        {"a large stream in many samples", Appended(big, 16 * 1024), big},
        {"nothing sent leaves an empty file", {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::string path = folder.File("out.mp4");
        // Whatever was there before must not show through.
        WriteFileBytes(path, std::string(2 << 20, 'x'));
        WriterGraph w(c.script, path);
        ASSERT_EQ(w.connectResult, S_OK);

        ASSERT_EQ(w.g.RunFree(), S_OK);
        const auto events = w.g.EventsUntilEnd();
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().first, EC_COMPLETE);
        EXPECT_EQ(w.g.control->Stop(), S_OK);
        const std::string written = ReadFileBytes(path);
        EXPECT_EQ(written.size(), c.expected.size());
        EXPECT_TRUE(written == c.expected) << "the file differs from what was sent";
    }
}

TEST(FileWriter, ThroughATransformTheFileHoldsExactlyTheBytesSent)
{
    // source -> pass-through -> writer, as a multiplexer's output travels.
    TempFolder folder;
    const std::string path = folder.File("through.mp4");
    const std::string payload = PatternBytes(200 * 1024, 7);
    std::vector<ByteWrite> script{{{}, "HEAD????"}};
    for (const auto& piece : Appended(payload, 4096)) script.push_back(piece);
    script.push_back({4, "DONE"});

    GraphHarness g;
    ComPtr<IBaseFilter> source(new CScriptedStreamSource(script));
    ComPtr<IBaseFilter> pass(new testing_filters::CPassThrough());
    ComPtr<IBaseFilter> writer = NewFileWriter();
    g.Add(source.Get(), "Source");
    g.Add(pass.Get(), "Pass");
    g.Add(writer.Get(), "File Writer");
    ASSERT_EQ(SetFileName(writer.Get(), path), S_OK);
    ASSERT_EQ(g.graph->Connect(OnlyPin(source.Get(), PINDIR_OUTPUT).Get(), g.Pin(pass.Get(), PINDIR_INPUT)), S_OK);
    ASSERT_EQ(g.graph->Connect(g.Pin(pass.Get(), PINDIR_OUTPUT), OnlyPin(writer.Get(), PINDIR_INPUT).Get()), S_OK);

    ASSERT_EQ(g.RunFree(), S_OK);
    EXPECT_EQ(g.EventCodesUntilEnd(), std::vector<long>{EC_COMPLETE});
    ASSERT_EQ(g.control->Stop(), S_OK);
    EXPECT_TRUE(ReadFileBytes(path) == "HEADDONE" + payload) << "the file differs from what was sent";
}

TEST(FileWriter, AFullDiskAbortsWithItsCodeAndNeverCompletes)
{
    WriterGraph w({{{}, "first"}, {{}, "second"}, {{}, "third"}}, "/dev/full");
    ASSERT_EQ(w.connectResult, S_OK);
    ASSERT_EQ(w.g.RunFree(), S_OK);
    const auto events = w.g.EventsUntilEnd();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().first, EC_ERRORABORT);
    EXPECT_EQ(events.back().second, kDiskFull);
    ASSERT_EQ(w.g.control->Stop(), S_OK);

    const auto later = w.g.RemainingEvents();
    EXPECT_EQ(CountOf(events, EC_COMPLETE) + CountOf(later, EC_COMPLETE), 0);
    EXPECT_EQ(CountOf(events, EC_ERRORABORT) + CountOf(later, EC_ERRORABORT), 1) << "one failure, one report";
}

TEST(FileWriter, PauseFailsWhenTheFileCannotBeCreated)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.Path() / "folder");
    struct Case {
        const char* what;
        std::optional<std::string> path;
        HRESULT expected;  // S_FALSE: any failure
    };
    const Case cases[] = {
        {"no file name", std::nullopt, HRESULT_FROM_WIN32(ERROR_INVALID_NAME)},
        {"a folder that does not exist", folder.File("missing/out.mp4"), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
        {"a file used as a folder", "/dev/null/out.mp4", HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)},
        {"a folder in place of the file", folder.File("folder"), S_FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GraphHarness g;
        ComPtr<IBaseFilter> writer = NewFileWriter();
        ASSERT_TRUE(g.graph && writer);
        ASSERT_EQ(g.graph->AddFilter(writer.Get(), "File Writer"), S_OK);
        if (c.path) {
            ASSERT_EQ(SetFileName(writer.Get(), *c.path), S_OK);
        }

        const HRESULT hr = g.control->Pause();
        if (c.expected == S_FALSE)
            EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
        else
            EXPECT_EQ(hr, c.expected);
        FILTER_STATE state;
        ASSERT_EQ(writer->GetState(0, &state), S_OK);
        EXPECT_EQ(state, State_Stopped);
    }
}

TEST(FileWriter, TheFileNameChangesOnlyWhileStopped)
{
    TempFolder folder;
    const std::string first = folder.File("first.mp4");
    const std::string second = folder.File("second.mp4");
    WriterGraph w({{{}, "data"}}, first);
    ASSERT_EQ(w.connectResult, S_OK);
    EXPECT_EQ(CurrentFile(w.writer.Get()), first);

    ASSERT_EQ(w.g.control->Pause(), S_OK);
    EXPECT_EQ(SetFileName(w.writer.Get(), second), VFW_E_NOT_STOPPED);
    ASSERT_EQ(w.g.RunFree(), S_OK);
    EXPECT_EQ(SetFileName(w.writer.Get(), second), VFW_E_NOT_STOPPED);
    EXPECT_EQ(CurrentFile(w.writer.Get()), first);
    EXPECT_EQ(w.g.EventsUntilEnd().back().first, EC_COMPLETE);
    ASSERT_EQ(w.g.control->Stop(), S_OK);
    EXPECT_EQ(ReadFileBytes(first), "data");

    EXPECT_EQ(SetFileName(w.writer.Get(), second), S_OK);
    EXPECT_EQ(CurrentFile(w.writer.Get()), second);
    EXPECT_FALSE(std::filesystem::exists(second)) << "a name alone creates no file";
}

TEST(FileWriter, FileNameArgumentsAreChecked)
{
    ComPtr<IBaseFilter> writer = NewFileWriter();
    ASSERT_TRUE(writer);
    const auto sink = writer.As<IFileSinkFilter>();
    ASSERT_TRUE(sink);
    LPOLESTR name = reinterpret_cast<LPOLESTR>(1);
    EXPECT_EQ(sink->GetCurFile(&name, nullptr), E_FAIL) << "no name yet";
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(sink->SetFileName(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(sink->SetFileName("", nullptr), E_INVALIDARG);
    EXPECT_EQ(sink->GetCurFile(nullptr, nullptr), E_POINTER);
}

TEST(FileWriter, TheInputTakesByteStreamsOnly)
{
    ComPtr<IBaseFilter> writer = NewFileWriter();
    ASSERT_TRUE(writer);
    ComPtr<IPin> pin;
    ASSERT_EQ(writer->FindPin("in", pin.ReleaseAndGetAddressOf()), S_OK);
    struct Case {
        GUID major, sub;
        HRESULT expected;
    };
    const Case cases[] = {
        {MEDIATYPE_Stream, GUID_NULL, S_OK},
        {MEDIATYPE_Stream, MEDIASUBTYPE_MPEG2_PROGRAM, S_OK},
        {MEDIATYPE_Video, MEDIASUBTYPE_RGB24, S_FALSE},
        {MEDIATYPE_Audio, MEDIASUBTYPE_PCM, S_FALSE},
    };
    for (const auto& c : cases) {
        const CMediaType type(c.major, c.sub);
        EXPECT_EQ(pin->QueryAccept(&type), c.expected) << FormatGuid(c.major);
    }
}

TEST(FileWriter, TheInputPinStreamWritesAnywhereAndReadsBack)
{
    TempFolder folder;
    const std::string path = folder.File("muxed.mp4");
    GraphHarness g;
    ComPtr<IBaseFilter> writer = NewFileWriter();
    ASSERT_TRUE(g.graph && writer);
    ASSERT_EQ(g.graph->AddFilter(writer.Get(), "File Writer"), S_OK);
    ASSERT_EQ(SetFileName(writer.Get(), path), S_OK);
    const ComPtr<IStream> stream = StreamOf(writer.Get());
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream.As<IPin>().Get(), OnlyPin(writer.Get(), PINDIR_INPUT).Get()) << "the stream is the pin";

    char text[16] = {};
    ULONG count = 99;
    EXPECT_EQ(stream->Write("x", 1, &count), VFW_E_WRONG_STATE) << "no file before the pause";
    EXPECT_EQ(count, 0u);

    ASSERT_EQ(g.control->Pause(), S_OK);
    uint64_t position = 0;
    ASSERT_EQ(stream->Write("0123456789", 10, &count), S_OK);
    EXPECT_EQ(count, 10u);
    ASSERT_EQ(stream->Seek(2, STREAM_SEEK_SET, &position), S_OK);
    EXPECT_EQ(position, 2u);
    ASSERT_EQ(stream->Write("ab", 2, &count), S_OK);
    ASSERT_EQ(stream->Seek(0, STREAM_SEEK_CUR, &position), S_OK);
    EXPECT_EQ(position, 4u);

    ASSERT_EQ(stream->Seek(-3, STREAM_SEEK_END, &position), S_OK);
    EXPECT_EQ(position, 7u);
    EXPECT_EQ(stream->Read(text, 10, &count), S_FALSE) << "the file ended first";
    EXPECT_EQ(std::string(text, count), "789");

    ASSERT_EQ(stream->Seek(0, STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(stream->Read(text, 10, &count), S_OK);
    EXPECT_EQ(std::string(text, count), "01ab456789");

    EXPECT_TRUE(FAILED(stream->Seek(-11, STREAM_SEEK_CUR, &position)));
    EXPECT_TRUE(FAILED(stream->Seek(0, 7, &position)));
    ASSERT_EQ(stream->Seek(0, STREAM_SEEK_CUR, &position), S_OK);
    EXPECT_EQ(position, 10u) << "a refused seek leaves the position";

    ASSERT_EQ(stream->SetSize(4), S_OK);
    ASSERT_EQ(stream->SetSize(6), S_OK);
    ASSERT_EQ(stream->Seek(0, STREAM_SEEK_END, &position), S_OK);
    EXPECT_EQ(position, 6u);
    EXPECT_EQ(stream->Commit(0), S_OK);

    ASSERT_EQ(g.control->Stop(), S_OK);
    EXPECT_EQ(ReadFileBytes(path), std::string("01ab\0\0", 6));
    EXPECT_EQ(stream->Read(text, 1, &count), VFW_E_WRONG_STATE) << "closed at the stop";
    EXPECT_EQ(g.RemainingEvents().size(), 0u);
}

TEST(FileWriter, AFailedStreamWriteAbortsOnce)
{
    GraphHarness g;
    ComPtr<IBaseFilter> writer = NewFileWriter();
    ASSERT_TRUE(g.graph && writer);
    ASSERT_EQ(g.graph->AddFilter(writer.Get(), "File Writer"), S_OK);
    ASSERT_EQ(SetFileName(writer.Get(), "/dev/full"), S_OK);
    const ComPtr<IStream> stream = StreamOf(writer.Get());
    ASSERT_TRUE(stream);
    ASSERT_EQ(g.control->Pause(), S_OK);

    ULONG written = 99;
    EXPECT_EQ(stream->Write("moov", 4, &written), kDiskFull);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(stream->Write("mdat", 4, &written), kDiskFull);
    ASSERT_EQ(g.control->Stop(), S_OK);

    const auto events = g.RemainingEvents();
    ASSERT_EQ(CountOf(events, EC_ERRORABORT), 1);
    EXPECT_EQ(std::find_if(events.begin(), events.end(), [](auto& e) { return e.first == EC_ERRORABORT; })->second,
              kDiskFull);
}

TEST(FileWriter, StreamWritesAndSamplesMayComeAtOnce)
{
    // A multiplexer's own thread fills the header through IStream while
    // its samples fill the body.
    constexpr size_t kHeader = 64 * 1024;
    constexpr size_t kPiece = 256;
    const std::string header = PatternBytes(kHeader, 11);
    const std::string body = PatternBytes(512 * 1024, 12);
    std::vector<ByteWrite> script;
    for (size_t at = 0; at < body.size(); at += 4096)
        script.push_back({static_cast<LONGLONG>(kHeader + at), body.substr(at, 4096)});

    TempFolder folder;
    const std::string path = folder.File("out.mp4");
    WriterGraph w(script, path);
    ASSERT_EQ(w.connectResult, S_OK);
    const ComPtr<IStream> stream = StreamOf(w.writer.Get());
    ASSERT_TRUE(stream);

    ASSERT_EQ(w.g.RunFree(), S_OK);
    HRESULT streamResult = S_OK;
    std::thread muxer([&] {
        for (size_t at = 0; at < kHeader && SUCCEEDED(streamResult); at += kPiece) {
            streamResult = stream->Seek(static_cast<int64_t>(at), STREAM_SEEK_SET, nullptr);
            ULONG written = 0;
            if (SUCCEEDED(streamResult)) streamResult = stream->Write(header.data() + at, kPiece, &written);
        }
    });
    const auto events = w.g.EventsUntilEnd();
    muxer.join();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().first, EC_COMPLETE);
    EXPECT_EQ(streamResult, S_OK);
    ASSERT_EQ(w.g.control->Stop(), S_OK);
    EXPECT_TRUE(ReadFileBytes(path) == header + body);
}
