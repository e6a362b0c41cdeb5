#include "pipeline/source_graph.h"

#include <gtest/gtest.h>

#include "app/kestrel_doc.h"
#include "components/component_ids.h"
#include "pipeline/device.h"
#include "pipeline/graph_context.h"
#include "pipeline/graph_utils.h"
#include "platform/com/class_registry.h"
#include "platform/dshow/graph_pins.h"
#include "platform/dshow/media_guids.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

namespace {

using testing_files::TempFolder;
using testing_media::MakeMedia;


// A graph context whose target pins are the inputs of real encoders.
class SourceGraphTest : public testing::Test {
protected:
    ComPtr<IPin> AddEncoder(const CLSID& id)
    {
        ComPtr<IBaseFilter> encoder;
        EXPECT_EQ(CoCreateInstance(id, nullptr, CLSCTX_ALL, IID_PPV_ARGS(encoder.ReleaseAndGetAddressOf())), S_OK);
        context->Graph()->AddFilter(encoder.Get(), nullptr);
        ComPtr<IPin> in;
        FindPin(encoder.Get(), PINDIR_INPUT, GUID_NULL, in.ReleaseAndGetAddressOf());
        return in;
    }
    QString Fixture(const std::string& name, const std::string& arguments)
    {
        const std::string path = temp.File(name);
        EXPECT_TRUE(MakeMedia(path, arguments));
        return QString::fromStdString(path);
    }
    std::vector<CLSID> ClassesInGraph()
    {
        std::vector<CLSID> classes;
        ComPtr<IEnumFilters> filters;
        context->Graph()->EnumFilters(filters.ReleaseAndGetAddressOf());
        ComPtr<IBaseFilter> filter;
        while (filters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
            CLSID id = GUID_NULL;
            filter->GetClassID(&id);
            classes.push_back(id);
        }
        return classes;
    }

    void MakeContext(const QString& path, bool audioOnly)
    {
        owned = std::make_unique<CGraphContext>("Item", path, audioOnly);
        context = owned.get();
    }

    TempFolder temp;
    std::unique_ptr<CGraphContext> owned;
    CGraphContext* context = nullptr;
};

TEST(WebAddress, OnlyLowerCaseHttpGoesToTheNetwork)
{
    EXPECT_TRUE(IsWebAddress("http://127.0.0.1/video.flv"));
    EXPECT_FALSE(IsWebAddress("HTTP://127.0.0.1/video.flv"));
    EXPECT_FALSE(IsWebAddress("/home/anna/http://.mp4"));
}

TEST_F(SourceGraphTest, VideoWithSoundReachesBothPinsAndFindsItsDuration)
{
    const QString path = Fixture("clip.mp4", "-f lavfi -i testsrc=size=160x90:rate=10 -f lavfi -i sine "
                                              "-t 1.5 -c:v libx264 -c:a aac -shortest");
    MakeContext(path, false);
    ComPtr<IPin> video = AddEncoder(CLSID_AvcEncoder), audio = AddEncoder(CLSID_AacEncoder);
    context->SetInputPins(video.Get(), audio.Get());
    ASSERT_EQ(BuildDefaultVideoGraph(context), S_OK);
    EXPECT_TRUE(IsPinConnected(video.Get()));
    EXPECT_TRUE(IsPinConnected(audio.Get()));
    ASSERT_NE(context->MediaSeeking(), nullptr);
    LONGLONG duration = 0;
    ASSERT_EQ(context->MediaSeeking()->GetDuration(&duration), S_OK);
    EXPECT_NEAR(duration / 1e7, 1.5, 0.1);
    const std::vector<CLSID> classes = ClassesInGraph();
    EXPECT_NE(std::find(classes.begin(), classes.end(), CLSID_Demultiplexer), classes.end());
    EXPECT_NE(std::find(classes.begin(), classes.end(), CLSID_H264Decoder), classes.end());
}

TEST_F(SourceGraphTest, SilentVideoConnectsItsVideoAlone)
{
    const QString path = Fixture("silent.avi", "-f lavfi -i testsrc=size=160x90:rate=10 -t 1 -c:v mpeg4");
    MakeContext(path, false);
    ComPtr<IPin> video = AddEncoder(CLSID_AvcEncoder), audio = AddEncoder(CLSID_AacEncoder);
    context->SetInputPins(video.Get(), audio.Get());
    EXPECT_EQ(BuildDefaultVideoGraph(context), S_OK);
    EXPECT_TRUE(IsPinConnected(video.Get()));
    EXPECT_FALSE(IsPinConnected(audio.Get()));
}

TEST_F(SourceGraphTest, AVideoTaskWithoutAnAudioPinFailsBeforeConnecting)
{
    const QString path = Fixture("clip.avi", "-f lavfi -i testsrc=size=160x90:rate=10 -t 1 -c:v mpeg4");
    MakeContext(path, false);
    ComPtr<IPin> video = AddEncoder(CLSID_AvcEncoder);
    context->SetInputPins(video.Get(), nullptr);
    EXPECT_EQ(BuildDefaultVideoGraph(context), E_FAIL);
    EXPECT_FALSE(IsPinConnected(video.Get()));
}

TEST_F(SourceGraphTest, AnUnparsableVideoFallsBackToTheGraphsOwnSource)
{
    const std::string path = temp.File("noise.mpg");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    for (int i = 0; i < 4096; ++i)
        std::fputc((i * 7919) & 0xFF, file);
    std::fclose(file);
    MakeContext(QString::fromStdString(path), false);
    ComPtr<IPin> out;
    EXPECT_EQ(BuildVideoChain(context, out.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_NE(out.Get(), nullptr);
    EXPECT_EQ(PinHasMediaType(out.Get(), MEDIATYPE_Stream, GUID_NULL), S_OK);
    // The first reader stays, unconnected; both demultiplexers were removed.
    EXPECT_EQ(ClassesInGraph(), std::vector<CLSID>({CLSID_AsyncReader, CLSID_AsyncReader}));
}

TEST_F(SourceGraphTest, TimeGrabberGoesBetweenSourceAndEncoderInput)
{
    const QString path = Fixture("tone.wav", "-f lavfi -i sine -t 1");
    MakeContext(path, true);
    ComPtr<IPin> audio = AddEncoder(CLSID_AacEncoder);
    context->SetInputPins(nullptr, audio.Get());
    const size_t before = ClassesInGraph().size();
    EXPECT_EQ(CTargetDevice::InsertTimeGrabber(context), VFW_E_NOT_CONNECTED);  // nothing to insert into
    EXPECT_EQ(ClassesInGraph().size(), before);

    ASSERT_EQ(BuildDefaultAudioGraph(context), S_OK);
    ASSERT_EQ(CTargetDevice::InsertTimeGrabber(context), S_OK);
    ComPtr<IPin> upstream;
    ASSERT_EQ(audio->ConnectedTo(upstream.ReleaseAndGetAddressOf()), S_OK);
    CLSID id = GUID_NULL;
    FilterOf(upstream.Get())->GetClassID(&id);
    EXPECT_EQ(id, CLSID_TimeGrabber);
}

}  // namespace
