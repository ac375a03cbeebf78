// The span pixel loop, which draws groups of pixels at once, against the per-pixel stages over
// arbitrary channel values and steps (wrapping products, divisions beyond single precision, one texel
// a pixel), in every format group and a spread of flag sets.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "raster/SpanFiller.h"

using namespace Velk;

namespace {

template <SpanFormat F, bool Tex, bool Blend, bool VCol, bool Mod, bool Bil>
void ExpectSameAsPerPixel(uint32_t seed)
{
    using Pixel = typename SpanPixelWriter<F>::Pixel;
    std::mt19937 rng(seed);
    std::vector<uint32_t> texels(9 * 7);
    for (uint32_t& t : texels)
        t = rng() % 3 ? rng() : rng() & 0x08FFFFFF;
    const SpanTexture tex{texels.data(), 9, int32_t(texels.size())};
    for (int trial = 0; trial < 200; ++trial) {
        const SpanColor color{int(rng() % 256), int(rng() % 256), int(rng() % 256), int(rng() % 256)};
        const int32_t count = int32_t(rng() % 70);
        int32_t start[kChanCount], grad[kChanCount];
        for (int k = 0; k < kChanCount; ++k) {
            // In range, or anything at all.
            start[k] = trial % 3 ? int32_t(rng() % (256 << 16)) : int32_t(rng());
            grad[k] = trial % 3 ? int32_t(rng() % 0x40000) - 0x20000 : int32_t(rng());
        }
        if (trial % 3) {
            start[kChanU] = int32_t(rng() % (12 << 16)) - (1 << 16);
            start[kChanV] = int32_t(rng() % (9 << 16)) - (1 << 16);
        }
        // One texel per pixel along a row, as blits draw, running on into the next rows and past the end.
        if (trial % 4 == 1) {
            grad[kChanU] = 0x10000;
            grad[kChanV] = 0;
        }
        std::vector<uint8_t> before(size_t(count) * sizeof(Pixel) + 8);
        for (uint8_t& b : before)
            b = uint8_t(rng() % 5 ? rng() : 0);
        std::vector<uint8_t> lanes = before, single = before;
        int32_t c[kChanCount];
        std::copy(start, start + kChanCount, c);
        SpanLanes::Baseline::SpanPixels<F, Tex, Blend, VCol, Mod, Bil>(lanes.data(), count, c, grad, tex, color);
#if VELK_AVX2_PATH
        if (Lanes::HasAvx2()) {
            std::vector<uint8_t> wide = before;
            std::copy(start, start + kChanCount, c);
            SpanLanes::Avx2::SpanPixels<F, Tex, Blend, VCol, Mod, Bil>(wide.data(), count, c, grad, tex, color);
            ASSERT_EQ(lanes, wide) << "trial " << trial;
        }
#endif
        std::copy(start, start + kChanCount, c);
        for (int32_t x = 0; x < count; ++x) {
            uint8_t* at = single.data() + size_t(x) * sizeof(Pixel);
            if constexpr (Tex)
                ShadeTextured<F, Blend, VCol, Mod, Bil>(at, c, tex, color);
            else
                ShadeUntextured<F>(at, c);
            for (int k = 0; k < kChanCount; ++k)
                c[k] = Add32(c[k], grad[k]);
        }
        ASSERT_EQ(single, lanes) << "format " << int(F) << " trial " << trial << " count " << count;
    }
}

template <SpanFormat F>
void EveryFlagSet(uint32_t seed)
{
    ExpectSameAsPerPixel<F, true, true, true, true, true>(seed);
    ExpectSameAsPerPixel<F, true, true, false, false, false>(seed + 1);
    ExpectSameAsPerPixel<F, true, false, true, true, false>(seed + 2);
    ExpectSameAsPerPixel<F, true, true, false, true, true>(seed + 3);
    ExpectSameAsPerPixel<F, true, false, false, false, true>(seed + 4);
    ExpectSameAsPerPixel<F, true, true, true, false, false>(seed + 7);
    ExpectSameAsPerPixel<F, true, false, true, false, true>(seed + 8);
    ExpectSameAsPerPixel<F, false, false, true, true, false>(seed + 5);
    ExpectSameAsPerPixel<F, false, false, true, false, false>(seed + 6);
}

} // namespace

TEST(SpanLanes, GroupsOfPixelsMatchThePerPixelStages)
{
    EveryFlagSet<SpanFormat::Argb8888>(100);
    EveryFlagSet<SpanFormat::Xrgb888>(200);
    EveryFlagSet<SpanFormat::Rgb565>(300);
    EveryFlagSet<SpanFormat::Rgb555>(400);
}
