#include "ImageLibTestUtil.h"

#include <gtest/gtest.h>

#include <openjpeg.h>

#include <cstring>

using namespace ImageLibTest;
using ImageLib::DecodeJ2K;

namespace {

struct MemoryOut {
    Bytes bytes;
    size_t pos = 0;
};

// Encodes a 4 x 3 picture losslessly with OpenJPEG's encoder, grey when components is 1.
Bytes EncodeJ2K(OPJ_CODEC_FORMAT format, int components, int precision, uint32_t (*sample)(int, int, int))
{
    const int w = 4, h = 3;
    opj_image_cmptparm_t parms[3] = {};
    for (int c = 0; c < components; ++c) {
        parms[c].dx = parms[c].dy = 1;
        parms[c].w = w;
        parms[c].h = h;
        parms[c].prec = OPJ_UINT32(precision);
    }
    opj_image_t* image = opj_image_create(OPJ_UINT32(components), parms,
                                          components == 1 ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB);
    image->x1 = w;
    image->y1 = h;
    for (int c = 0; c < components; ++c)
        for (int i = 0; i < w * h; ++i)
            image->comps[c].data[i] = OPJ_INT32(sample(i % w, i / w, c));
    opj_cparameters_t params;
    opj_set_default_encoder_parameters(&params);
    params.numresolution = 1;
    params.tcp_numlayers = 1;
    params.tcp_rates[0] = 0;
    params.cp_disto_alloc = 1;
    opj_codec_t* codec = opj_create_compress(format);
    opj_setup_encoder(codec, &params, image);
    MemoryOut out;
    opj_stream_t* stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_FALSE);
    opj_stream_set_user_data(stream, &out, nullptr);
    opj_stream_set_write_function(stream, [](void* buf, OPJ_SIZE_T n, void* user) -> OPJ_SIZE_T {
        auto* o = static_cast<MemoryOut*>(user);
        if (o->bytes.size() < o->pos + n)
            o->bytes.resize(o->pos + n);
        std::memcpy(o->bytes.data() + o->pos, buf, n);
        o->pos += n;
        return n;
    });
    opj_stream_set_skip_function(stream, [](OPJ_OFF_T n, void* user) -> OPJ_OFF_T {
        static_cast<MemoryOut*>(user)->pos += size_t(n);
        return n;
    });
    opj_stream_set_seek_function(stream, [](OPJ_OFF_T p, void* user) -> OPJ_BOOL {
        static_cast<MemoryOut*>(user)->pos = size_t(p);
        return OPJ_TRUE;
    });
    bool ok = opj_start_compress(codec, image, stream) && opj_encode(codec, stream) &&
              opj_end_compress(codec, stream);
    opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    return ok ? out.bytes : Bytes{};
}

uint32_t Colour(int x, int y, int c)
{
    return uint32_t(x * 60 + y * 20 + c * 7);
}

class ImageLibJ2K : public ::testing::Test {
protected:
    void SetUp() override { ImageLib::LoadJ2KCodec(); }
    void TearDown() override { ImageLib::FreeJ2KCodec(); }
};

} // namespace

TEST_F(ImageLibJ2K, BothFormsDecodeOpaque)
{
    for (OPJ_CODEC_FORMAT format : {OPJ_CODEC_J2K, OPJ_CODEC_JP2}) {
        Bytes file = EncodeJ2K(format, 3, 8, Colour);
        ASSERT_FALSE(file.empty());
        auto image = Decode(DecodeJ2K, file);
        ASSERT_TRUE(image) << format;
        ASSERT_EQ(image->GetWidth(), 4);
        ASSERT_EQ(image->GetHeight(), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(image->Row(y)[x],
                          0xFF000000 | Colour(x, y, 0) << 16 | Colour(x, y, 1) << 8 | Colour(x, y, 2));
    }
}

TEST_F(ImageLibJ2K, GreyAndOtherPrecisionsScaleToEightBits)
{
    // 12-bit grey keeps its top 8 bits; 4-bit grey stretches 0..15 over 0..255.
    auto twelve = Decode(DecodeJ2K, EncodeJ2K(OPJ_CODEC_J2K, 1, 12, [](int x, int y, int) {
                             return uint32_t(x * 1000 + y * 17);
                         }));
    ASSERT_TRUE(twelve);
    EXPECT_EQ(twelve->Row(2)[3], 0xFFBDBDBDu); // 3034 >> 4 = 189
    auto four = Decode(DecodeJ2K, EncodeJ2K(OPJ_CODEC_J2K, 1, 4, [](int x, int y, int) {
                           return uint32_t(x + y * 4);
                       }));
    ASSERT_TRUE(four);
    EXPECT_EQ(four->Row(0)[1], 0xFF111111u);
    EXPECT_EQ(four->Row(2)[3], 0xFFBBBBBBu); // 11 * 255 / 15 = 187
}

TEST_F(ImageLibJ2K, RefusesWithoutCodecAndOnDamage)
{
    Bytes file = EncodeJ2K(OPJ_CODEC_JP2, 3, 8, Colour);
    for (size_t cut : {size_t(0), size_t(11), size_t(40), size_t(100), file.size() - 10})
        EXPECT_FALSE(Decode(DecodeJ2K, Bytes(file.begin(), file.begin() + long(cut)))) << cut;
    Bytes notJ2K(64, 0x42);
    EXPECT_FALSE(Decode(DecodeJ2K, notJ2K));
    ImageLib::FreeJ2KCodec();
    EXPECT_FALSE(Decode(DecodeJ2K, file));
}
