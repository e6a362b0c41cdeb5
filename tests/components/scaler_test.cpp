// The scaler: I420 frames of the configured size, the picture fitted into
// them with black bands, or stretched.
#include <gtest/gtest.h>

#include "components/component_ids.h"
#include "tests/components/converter_chain.h"

using namespace converter_testing;
using testing_media::CRawVideoSource;

namespace {

struct Rect {
    int x, y, width, height;
    bool operator==(const Rect&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rect& r)
{
    return out << r.width << "x" << r.height << "+" << r.x << "+" << r.y;
}

// The bounding box of the pixels that are not limited-range black
// (Y 16, U and V 128), read straight from a packed I420 frame.
Rect PictureBox(const std::string& frame, int width, int height)
{
    const auto* y = reinterpret_cast<const uint8_t*>(frame.data());
    const uint8_t* u = y + width * height;
    const uint8_t* v = u + (width / 2) * (height / 2);
    int left = width, top = height, right = -1, bottom = -1;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const int chroma = (row / 2) * (width / 2) + column / 2;
            const bool black = y[row * width + column] == 16 && u[chroma] == 128 && v[chroma] == 128;
            if (black) continue;
            left = std::min(left, column);
            right = std::max(right, column);
            top = std::min(top, row);
            bottom = std::max(bottom, row);
        }
    return right < 0 ? Rect{0, 0, 0, 0} : Rect{left, top, right - left + 1, bottom - top + 1};
}

// Every chroma sample inside `box`, which the source paints U 96, V 160.
bool ChromaKeptInside(const std::string& frame, int width, int height, const Rect& box)
{
    const auto* u = reinterpret_cast<const uint8_t*>(frame.data()) + width * height;
    const uint8_t* v = u + (width / 2) * (height / 2);
    for (int row = box.y / 2; row < (box.y + box.height) / 2; ++row)
        for (int column = box.x / 2; column < (box.x + box.width) / 2; ++column) {
            const int at = row * (width / 2) + column;
            if (std::abs(u[at] - 96) > 1 || std::abs(v[at] - 160) > 1) return false;
        }
    return true;
}

}  // namespace

TEST(Scaler, FitsOrStretchesThePictureIntoTheOutputFrame)
{
    struct Case {
        const char* what;
        RawVideoFormat source;
        uint32_t width, height, keepAspect, fullHd;
        int outWidth, outHeight;
        Rect picture;
        int frames;
    } cases[] = {
        // 1024 * 800 / 1920 = 426.7: a band of 426 rows, 74 black rows above.
        {"wide film letterboxed", {AV_PIX_FMT_YUV420P, 1920, 800, UNITS / 25}, 1024, 576, 1, 0, 1024, 576, {0, 74, 1024, 426}, 3},
        {"wide film stretched", {AV_PIX_FMT_YUV420P, 192, 80, UNITS / 25}, 128, 72, 0, 0, 128, 72, {0, 0, 128, 72}, 4},
        // 72 * 4 / 3 = 96 columns, 16 black columns each side.
        {"4:3 pillarboxed in 16:9", {AV_PIX_FMT_YUV420P, 160, 120, UNITS / 25}, 128, 72, 1, 0, 128, 72, {16, 0, 96, 72}, 4},
        {"anamorphic 16:9 fills 16:9", {AV_PIX_FMT_YUV420P, 160, 120, UNITS / 25, {16, 9}}, 128, 72, 1, 0, 128, 72, {0, 0, 128, 72}, 4},
        {"4:3 pillarboxed, sharper filter", {AV_PIX_FMT_YUV420P, 160, 120, UNITS / 25}, 128, 72, 1, 1, 128, 72, {16, 0, 96, 72}, 4},
        {"same aspect, smaller", {AV_PIX_FMT_YUV420P, 160, 90, UNITS / 25}, 64, 36, 1, 0, 64, 36, {0, 0, 64, 36}, 4},
        {"no size keeps the source's", {AV_PIX_FMT_YUV420P, 96, 64, UNITS / 25}, 0, 0, 1, 0, 96, 64, {0, 0, 96, 64}, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto scaler = MakeComponent(CLSID_Scaler);
        ASSERT_EQ(Configure(scaler.Get(), {{component_params::ScalerKeepAspect, c.keepAspect},
                                           {component_params::ScalerWidth, c.width},
                                           {component_params::ScalerHeight, c.height},
                                           {component_params::ScalerFullHd, c.fullHd}}),
                  S_OK);
        ConverterChain chain(ComPtr<IBaseFilter>(new CRawVideoSource(c.source, c.frames)).Get(), scaler.Get());
        ASSERT_EQ(chain.Connect(), S_OK);
        const auto out = ReadRawVideoType(chain.sink->ConnectedType());
        ASSERT_TRUE(out);
        EXPECT_EQ(out->pixelFormat, AV_PIX_FMT_YUV420P);
        EXPECT_EQ(out->width, c.outWidth);
        EXPECT_EQ(out->height, c.outHeight);
        EXPECT_EQ(out->timePerFrame, UNITS / 25);
        EXPECT_EQ(av_cmp_q(out->displayAspect, AVRational{c.outWidth, c.outHeight}), 0) << "square output pixels";

        ASSERT_EQ(chain.Run(), std::vector<long>{EC_COMPLETE});
        const auto samples = chain.Samples();
        ASSERT_EQ(static_cast<int>(samples.size()), c.frames);
        for (int n = 0; n < c.frames; ++n) {
            SCOPED_TRACE(n);
            const auto& frame = samples[n].bytes;
            ASSERT_EQ(frame.size(), static_cast<size_t>(c.outWidth * c.outHeight * 3 / 2));
            EXPECT_EQ(samples[n].start, n * (UNITS / 25));
            EXPECT_EQ(PictureBox(frame, c.outWidth, c.outHeight), c.picture);
            EXPECT_TRUE(ChromaKeptInside(frame, c.outWidth, c.outHeight, c.picture));
        }
    }
}

TEST(Scaler, TakesOnlyI420)
{
    auto scaler = MakeComponent(CLSID_Scaler);
    ConverterChain chain(ComPtr<IBaseFilter>(new CRawVideoSource({AV_PIX_FMT_NV12, 32, 24, UNITS / 25}, 1)).Get(),
                         scaler.Get());
    EXPECT_TRUE(FAILED(chain.Connect()));
}

TEST(Scaler, RefusesSizesItCannotMake)
{
    auto scaler = MakeComponent(CLSID_Scaler);
    EXPECT_EQ(Configure(scaler.Get(), {{component_params::ScalerWidth, 100000}}), E_INVALIDARG);
    EXPECT_EQ(Configure(scaler.Get(), {{component_params::ScalerHeight, 1}}), E_INVALIDARG);
    EXPECT_EQ(Configure(scaler.Get(), {{component_params::ScalerKeepAspect, 2}}), E_INVALIDARG);
}
