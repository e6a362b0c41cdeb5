// Media types between the components: what goes in comes back out.
#include <gtest/gtest.h>

#include <cstring>

#include "components/common/media_format.h"

TEST(MediaFormat, CompressedTypesCarryEverythingADecoderNeeds)
{
    AvCodecParametersPtr in(avcodec_parameters_alloc());
    in->codec_type = AVMEDIA_TYPE_VIDEO;
    in->codec_id = AV_CODEC_ID_H264;
    in->width = 1920;
    in->height = 800;
    in->profile = 100;
    const uint8_t extradata[] = {1, 2, 3, 4, 5};
    in->extradata = static_cast<uint8_t*>(av_mallocz(sizeof extradata + AV_INPUT_BUFFER_PADDING_SIZE));
    std::memcpy(in->extradata, extradata, sizeof extradata);
    in->extradata_size = sizeof extradata;

    in->sample_aspect_ratio = AVRational{1, 1};
    // The container's sample aspect ratio wins over the codec's.
    const CMediaType type = CompressedType(*in, AVRational{25, 1}, {AVRational{4, 3}, PictureOrientation{3, true}});
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_H264) << "preferred decoders match on the sub type";
    const auto* info = type.FormatAs<VIDEOINFOHEADER>();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->AvgTimePerFrame, UNITS / 25);

    AvCodecParametersPtr out(avcodec_parameters_alloc());
    PictureOrientation orientation;
    ASSERT_EQ(ReadCompressedType(type, out.get(), &orientation), S_OK);
    EXPECT_EQ(out->codec_id, AV_CODEC_ID_H264);
    EXPECT_EQ(av_cmp_q(out->sample_aspect_ratio, AVRational{4, 3}), 0);
    EXPECT_EQ(orientation, (PictureOrientation{3, true}));
    EXPECT_EQ(out->width, 1920);
    EXPECT_EQ(out->height, 800);
    EXPECT_EQ(out->profile, 100);
    ASSERT_EQ(out->extradata_size, 5);
    EXPECT_EQ(std::memcmp(out->extradata, extradata, 5), 0);

    // Raw video is not a compressed type.
    const CMediaType raw = RawVideoType({AV_PIX_FMT_YUV420P, 64, 48, UNITS / 25, {4, 3}});
    EXPECT_EQ(ReadCompressedType(raw, out.get()), VFW_E_TYPE_NOT_ACCEPTED);
}

TEST(MediaFormat, RawTypesRoundTrip)
{
    const RawVideoFormat video{AV_PIX_FMT_YUV420P, 1024, 576, 333667, {16, 9}};
    const auto readVideo = ReadRawVideoType(RawVideoType(video));
    ASSERT_TRUE(readVideo);
    EXPECT_EQ(readVideo->pixelFormat, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(readVideo->width, 1024);
    EXPECT_EQ(readVideo->timePerFrame, 333667);
    EXPECT_EQ(av_cmp_q(readVideo->displayAspect, AVRational{16, 9}), 0);
    EXPECT_EQ(RawFrameSize(video), 1024 * 576 * 3 / 2);

    const RawVideoFormat odd{AV_PIX_FMT_YUV444P, 33, 17, 0, {0, 1}};
    const auto readOdd = ReadRawVideoType(RawVideoType(odd));
    ASSERT_TRUE(readOdd) << "layouts without a customary sub type still round-trip";
    EXPECT_EQ(readOdd->pixelFormat, AV_PIX_FMT_YUV444P);

    for (AVSampleFormat format : {AV_SAMPLE_FMT_S16, AV_SAMPLE_FMT_FLT, AV_SAMPLE_FMT_S32, AV_SAMPLE_FMT_U8}) {
        const auto audio = ReadRawAudioType(RawAudioType({format, 44100, 2}));
        ASSERT_TRUE(audio);
        EXPECT_EQ(audio->sampleFormat, format);
        EXPECT_EQ(audio->sampleRate, 44100);
        EXPECT_EQ(audio->channels, 2);
    }
}
