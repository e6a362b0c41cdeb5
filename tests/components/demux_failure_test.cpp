// Bad input never crashes the demultiplexers or hangs a graph: it fails the
// connection, or the run ends with EC_ERRORABORT and a failure code.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "components/component_ids.h"
#include "platform/dshow/file_source.h"
#include "tests/components/demux_graph.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

using namespace demux_testing;
using testing_files::TempFolder;

namespace {

constexpr CLSID CLSID_FailingReader = MakeGuid("{A0000004-0000-4000-8000-000000000002}");
constexpr HRESULT kReadFailure = HRESULT_FROM_WIN32(ERROR_READ_FAULT);

// A byte stream that reads like a file up to `failFrom`, then fails.
class CFailingReader final : public CBaseFilter {
public:
    CFailingReader(std::string bytes, LONGLONG failFrom)
        : CBaseFilter("failing reader", CLSID_FailingReader), m_pin(this), m_bytes(std::move(bytes)), m_failFrom(failFrom)
    {
    }
    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override { return index == 0 ? &m_pin : nullptr; }

private:
    class Pin final : public CAsyncOutputPinBase, public CAsyncReaderShim {
    public:
        explicit Pin(CFailingReader* filter)
            : CAsyncOutputPinBase("failing reader pin", filter, filter->FilterLock(), "Output", PINDIR_OUTPUT),
              m_reader(filter)
        {
        }
        DECLARE_IUNKNOWN
        HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override
        {
            if (riid == IAsyncReader::iid) return GetInterface(static_cast<IAsyncReader*>(this), object);
            return CBasePin::NonDelegatingQueryInterface(riid, object);
        }
        HRESULT CheckMediaType(const CMediaType* type) override
        {
            return type->majortype == MEDIATYPE_Stream ? S_OK : S_FALSE;
        }
        HRESULT GetMediaType(int position, CMediaType* type) override
        {
            if (position > 0) return VFW_S_NO_MORE_ITEMS;
            *type = CMediaType(MEDIATYPE_Stream);
            return S_OK;
        }
        HRESULT SyncRead(LONGLONG position, LONG length, BYTE* buffer) override
        {
            const std::string& bytes = m_reader->m_bytes;
            if (position + length > m_reader->m_failFrom) return kReadFailure;
            if (position + length > static_cast<LONGLONG>(bytes.size())) return S_FALSE;
            std::memcpy(buffer, bytes.data() + position, static_cast<size_t>(length));
            return S_OK;
        }
        HRESULT Length(LONGLONG* total, LONGLONG* available) override
        {
            *total = *available = static_cast<LONGLONG>(m_reader->m_bytes.size());
            return S_OK;
        }
        HRESULT BeginReaderFlush() override { return S_OK; }
        HRESULT EndReaderFlush() override { return S_OK; }

    private:
        CFailingReader* const m_reader;
    };

    Pin m_pin;
    const std::string m_bytes;
    const LONGLONG m_failFrom;
};

struct BadInput {
    const char* name;
    const char* fileName;
    std::function<void(const std::string& path)> make;
};

std::ostream& operator<<(std::ostream& out, const BadInput& c) { return out << c.name; }

void MakeClip(const std::string& path, const std::string& options)
{
    ASSERT_TRUE(testing_media::MakeMedia(
        path, "-f lavfi -i testsrc=size=160x120:rate=25 -f lavfi -i sine=sample_rate=44100 -t 2 " + options));
}

void Truncate(const std::string& path)
{
    const std::string bytes = testing_files::ReadFileBytes(path);
    testing_files::WriteFileBytes(path, bytes.substr(0, bytes.size() / 2));
}

const BadInput kBadInputs[] = {
    {"GarbageNamedMp4", "garbage.mp4",
     [](const std::string& path) { testing_files::WriteFileBytes(path, testing_files::PatternBytes(64 * 1024)); }},
    {"ZeroBytes", "empty.avi", [](const std::string& path) { testing_files::WriteFileBytes(path, ""); }},
    {"TruncatedMp4", "cut.mp4",
     [](const std::string& path) {
         MakeClip(path, "-c:v libx264 -c:a aac");
         Truncate(path);
     }},
    {"TruncatedFastStartMp4", "cut-faststart.mp4",
     [](const std::string& path) {
         MakeClip(path, "-c:v libx264 -c:a aac -movflags +faststart");
         Truncate(path);
     }},
    {"GarbageAfterTheIndex", "scrambled.mp4",
     [](const std::string& path) {
         MakeClip(path, "-c:v libx264 -c:a aac -movflags +faststart");
         std::string bytes = testing_files::ReadFileBytes(path);
         const size_t keep = bytes.find("mdat") + 4;
         bytes.replace(keep, bytes.size() - keep, testing_files::PatternBytes(bytes.size() - keep, 7));
         testing_files::WriteFileBytes(path, bytes);
     }},
};

class BadInputTest : public testing::TestWithParam<std::tuple<BadInput, CLSID>> {
protected:
    void SetUp() override { RegisterEverything(); }
    TempFolder m_folder;
};

TEST_P(BadInputTest, FailsTheConnectionOrAbortsTheRun)
{
    const auto& [input, demultiplexer] = GetParam();
    const std::string path = m_folder.File(input.fileName);
    input.make(path);

    DemuxGraph g(path, demultiplexer);
    const HRESULT connected = g.ConnectSource();
    if (FAILED(connected)) {
        EXPECT_TRUE(g.Outputs().empty());
        return;
    }
    EXPECT_EQ(connected, S_OK);
    // Whatever connects must end: with an error, since these files are broken.
    if (FAILED(g.ConnectAllToRawSinks())) return;
    ASSERT_EQ(g.h.RunFree(), S_OK);
    const auto events = g.h.EventsUntilEnd();
    g.h.control->Stop();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().first, EC_ERRORABORT);
    EXPECT_TRUE(FAILED(static_cast<HRESULT>(events.back().second)));
}

INSTANTIATE_TEST_SUITE_P(BothDemultiplexers, BadInputTest,
                         testing::Combine(testing::ValuesIn(kBadInputs),
                                          testing::Values(CLSID_Demultiplexer, CLSID_SecondDemultiplexer)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == CLSID_Demultiplexer ? "First" : "Second");
                         });

TEST(DemultiplexerReadErrors, EndTheRunWithTheReadersCode)
{
    RegisterEverything();
    TempFolder folder;
    // The index first, so the stream opens and reading fails midway; noise
    // coded losslessly makes the file large enough to be read in many parts.
    const std::string path = folder.File("clip.mp4");
    ASSERT_TRUE(testing_media::MakeMedia(
        path, "-f lavfi -i nullsrc=size=160x120:rate=25,geq=lum='random(1)*255':cb=128:cr=128 -t 2 -c:v libx264 "
              "-qp 0 -movflags +faststart"));
    const std::string bytes = testing_files::ReadFileBytes(path);

    testing_filters::GraphHarness h;
    ComPtr<IBaseFilter> reader(new CFailingReader(bytes, static_cast<LONGLONG>(bytes.size() / 2)));
    ComPtr<IBaseFilter> demultiplexer;
    ASSERT_EQ(CoCreateInstance(CLSID_Demultiplexer, nullptr, CLSCTX_ALL, IID_PPV_ARGS(demultiplexer.ReleaseAndGetAddressOf())),
              S_OK);
    h.Add(reader.Get(), "Reader");
    h.Add(demultiplexer.Get(), "Demultiplexer");
    ASSERT_EQ(h.graph->ConnectDirect(h.Pin(reader.Get(), PINDIR_OUTPUT), h.Pin(demultiplexer.Get(), PINDIR_INPUT), nullptr),
              S_OK);
    std::vector<ComPtr<IBaseFilter>> sinks;
    for (const auto& output : PinsOf(demultiplexer.Get(), PINDIR_OUTPUT)) {
        sinks.emplace_back(new CRawSink());
        h.Add(sinks.back().Get(), "Sink");
        ASSERT_EQ(h.graph->Connect(output.Get(), h.Pin(sinks.back().Get(), PINDIR_INPUT)), S_OK);
    }
    ASSERT_EQ(h.RunFree(), S_OK);
    const auto events = h.EventsUntilEnd();
    h.control->Stop();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), (testing_filters::EventRecord{EC_ERRORABORT, kReadFailure}));
}

TEST(DemultiplexerContainers, TheFirstLeavesProgramStreamsToTheSecond)
{
    RegisterEverything();
    TempFolder folder;
    const std::string path = folder.File("title.vob");
    MakeClip(path, "-c:v mpeg2video -c:a ac3 -f vob");

    DemuxGraph first(path, CLSID_Demultiplexer);
    EXPECT_TRUE(FAILED(first.ConnectSource()));
    EXPECT_TRUE(first.Outputs().empty());
    DemuxGraph second(path, CLSID_SecondDemultiplexer);
    EXPECT_EQ(second.ConnectSource(), S_OK);
    EXPECT_EQ(second.Outputs().size(), 2u);
}

}  // namespace
