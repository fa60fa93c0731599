// Decoding the PNG resources and the two drawing modes of CImage.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/Image.h"
#include "simpleui/LoadPngResource.h"
#include "tests/widgets/WidgetTestSupport.h"

using namespace widget_test;

namespace {

// A 32-bit alpha image whose pixels the test writes directly (0xAARRGGBB).
void MakeImage(CImage& image, const std::vector<uint32_t>& pixels, int width) {
    const int height = static_cast<int>(pixels.size()) / width;
    ASSERT_TRUE(image.Create(width, height, 32, CImage::createAlphaChannel));
    for (int y = 0; y < height; ++y)
        std::memcpy(
            static_cast<BYTE*>(image.GetBits()) + static_cast<ptrdiff_t>(y) * image.GetPitch(),
            &pixels[static_cast<size_t>(y) * width], static_cast<size_t>(width) * 4);
}

struct BlendCase {
    const char* what;
    uint32_t source;       // 0xAARRGGBB, as stored
    uint32_t destination;  // 0x00RRGGBB
    uint32_t expected;     // 0x00RRGGBB
    bool bOpaqueCopy;
};

// The blend is "over" for premultiplied colours applied to the stored values:
// result = source + (255 - alpha) * destination / 255.
const BlendCase kBlendCases[] = {
    {"half alpha red over black keeps its full colour", 0x80640000, Rgb(0, 0, 0), Rgb(100, 0, 0),
     false},
    {"transparent black leaves the destination", 0x00000000, Rgb(10, 20, 30), Rgb(10, 20, 30),
     false},
    {"opaque replaces the destination", 0xFF010203, Rgb(200, 100, 50), Rgb(1, 2, 3), false},
    {"half alpha over white adds the stored colour", 0x8032463C, Rgb(255, 255, 255),
     Rgb(177, 197, 187), false},
    {"opaque copy ignores alpha", 0x00640000, Rgb(10, 20, 30), Rgb(100, 0, 0), true},
};

TEST(ImageBlend, OnePixelAgainstEachDestination) {
    for (const BlendCase& c : kBlendCases) {
        SCOPED_TRACE(c.what);
        CImage image;
        MakeImage(image, {c.source}, 1);
        CMemoryCanvas canvas(1, 1, c.destination);
        if (c.bOpaqueCopy)
            ASSERT_TRUE(image.BitBlt(canvas.Dc(), 0, 0));
        else
            ASSERT_TRUE(image.AlphaBlend(canvas.Dc(), 0, 0));
        EXPECT_EQ(canvas.Read().At(0, 0), c.expected);
    }
}

// Squeezing 10 columns into 4 takes whole source columns, in order, never a
// mix of two neighbours.
TEST(ImageBlend, SqueezeDropsWholeColumns) {
    std::vector<uint32_t> row;
    for (int x = 0; x < 10; ++x) row.push_back(0xFF000000 | Rgb(20 * (x + 1), 0, 0));
    CImage image;
    MakeImage(image, row, 10);
    CMemoryCanvas canvas(10, 1, Rgb(0, 0, 255));
    ASSERT_TRUE(image.AlphaBlend(canvas.Dc(), 0, 0, 4, 1, 0, 0, 10, 1));
    Pixels out = canvas.Read();
    int lastColumn = -1;
    for (int x = 0; x < 4; ++x) {
        const uint32_t red = out.At(x, 0) >> 16;
        ASSERT_EQ(out.At(x, 0) & 0xFFFF, 0u) << "column " << x;
        ASSERT_EQ(red % 20, 0u) << "column " << x << " mixes neighbours: " << red;
        const int column = static_cast<int>(red / 20) - 1;
        EXPECT_GT(column, lastColumn);
        lastColumn = column;
    }
    for (int x = 4; x < 10; ++x) EXPECT_EQ(out.At(x, 0), Rgb(0, 0, 255)) << "column " << x;
}

TEST(ImageBlend, EmptyDestinationPaintsNothing) {
    CImage image;
    MakeImage(image, {0xFF112233, 0xFF112233}, 2);
    for (int width : {0, -3}) {
        CMemoryCanvas canvas(2, 1, Rgb(9, 9, 9));
        EXPECT_FALSE(image.AlphaBlend(canvas.Dc(), 0, 0, width, 1, 0, 0, 2, 1));
        EXPECT_EQ(canvas.Read().At(0, 0), Rgb(9, 9, 9)) << width;
    }
}

TEST(ImageBlend, EmptyImageDrawsNothing) {
    CImage image;
    CMemoryCanvas canvas(2, 2, Rgb(9, 9, 9));
    EXPECT_TRUE(image.IsNull());
    EXPECT_FALSE(image.BitBlt(canvas.Dc(), 0, 0));
    EXPECT_FALSE(image.AlphaBlend(canvas.Dc(), 0, 0));
    EXPECT_EQ(canvas.Read().At(1, 1), Rgb(9, 9, 9));
}

// FNV-1a over the RGBA bytes of every row, as Pillow decodes the files in
// res/ (tools/make_art.py draws them).
struct PictureCase {
    int id;
    int width;
    int height;
    uint32_t hash;
};

const PictureCase kPictures[] = {
    {144, 151, 50, 0xffa729a1}, {145, 151, 50, 0x89451cad},  {146, 151, 50, 0xaa600e05},
    {147, 151, 50, 0x95777ddc}, {148, 151, 50, 0x5852bc50},  {149, 151, 50, 0xdeefbeb7},
    {150, 151, 50, 0x7cc5dd12}, {151, 561, 219, 0xd664f888}, {152, 24, 24, 0x96001a7b},
    {153, 24, 24, 0xf16a32b7},  {154, 24, 24, 0x74709018},   {155, 355, 12, 0x69309da0},
    {200, 151, 50, 0xb18adb0d},
};

uint32_t RgbaHash(const CImage& image) {
    uint32_t hash = 0x811c9dc5;
    auto feed = [&hash](uint32_t byte) {
        hash ^= byte;
        hash *= 0x01000193;
    };
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x) {
            const uint32_t argb = ImagePixel(image, x, y);
            feed((argb >> 16) & 0xFF);
            feed((argb >> 8) & 0xFF);
            feed(argb & 0xFF);
            feed(argb >> 24);
        }
    return hash;
}

TEST(LoadPngResource, EveryPictureDecodesToItsStoredValues) {
    for (const PictureCase& c : kPictures) {
        SCOPED_TRACE(c.id);
        CImage image;
        ASSERT_TRUE(LoadPngResource(c.id, image));
        EXPECT_EQ(image.GetWidth(), c.width);
        EXPECT_EQ(image.GetHeight(), c.height);
        EXPECT_EQ(image.GetBPP(), 32);
        EXPECT_TRUE(image.HasAlphaChannel());
        EXPECT_EQ(RgbaHash(image), c.hash);
    }
}

// The same contract pixel by pixel, readable when it breaks: partly
// transparent pixels keep their colour unmultiplied.
TEST(LoadPngResource, KnownPixels) {
    struct {
        int id, x, y;
        uint32_t argb;
    } const kCases[] = {
        {200, 12, 3, 0xAD3A1D00},   // soft edge, alpha 173
        {200, 13, 1, 0x03000000},   // shadow, alpha 3
        {200, 0, 0, 0x00000000},    // transparent corner
        {200, 75, 25, 0xFFF1A322},  // face
        {151, 0, 0, 0xFFFF00FF},    // colour-key magenta
        {151, 280, 100, 0xFF18193B}, {155, 177, 6, 0xFF2094C4}, {155, 354, 11, 0xFF81BBC6},
    };
    for (const auto& c : kCases) {
        CImage image;
        ASSERT_TRUE(LoadPngResource(c.id, image));
        EXPECT_EQ(ImagePixel(image, c.x, c.y), c.argb)
            << "picture " << c.id << " at " << c.x << "," << c.y;
    }
}

TEST(LoadPngResource, MissingPictureLeavesAnEmptyImage) {
    CImage image;
    ASSERT_TRUE(LoadPngResource(151, image));
    EXPECT_FALSE(LoadPngResource(9999, image));
    EXPECT_TRUE(image.IsNull());
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
}

// GDI+ goes down with the last image and must come up again for the next.
TEST(LoadPngResource, DecodesAgainAfterEveryImageIsGone) {
    for (int round = 0; round < 3; ++round) {
        CImage image;
        EXPECT_TRUE(LoadPngResource(152, image)) << "round " << round;
    }
}

}  // namespace
