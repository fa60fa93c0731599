// What texture, text and progress-bar widgets paint, read back from the
// host window's pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "simpleui/SimpleUIProgressBar.h"
#include "simpleui/SimpleUIText.h"
#include "simpleui/SimpleUITexture.h"
#include "tests/widgets/WidgetTestSupport.h"

using namespace widget_test;

namespace {

const uint32_t kBackground = Rgb(40, 30, 20);

class WidgetKinds : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_host.Create(50, 50, 600, 260)); }

    Pixels Area(int x, int y, int w, int h) const { return CaptureClient(m_host).Crop(x, y, w, h); }

    CTestHost m_host{RGB(40, 30, 20)};
};

// ---- texture

TEST_F(WidgetKinds, TextureSizesItselfToItsPictureAndCopiesIt) {
    SimpleUITexture texture("t");
    texture.CreateWnd(&m_host);
    texture.SetPosition(10, 20);
    texture.SetTexture(151);
    EXPECT_EQ(texture.m_width, 561);
    EXPECT_EQ(texture.m_height, 219);
    RECT rect;
    texture.GetClientRect(&rect);
    EXPECT_EQ(rect.right, 561);
    EXPECT_EQ(rect.bottom, 219);

    CImage picture;
    LoadPicture(151, picture);
    CMemoryCanvas expected(561, 219, 0);
    picture.BitBlt(expected.Dc(), 0, 0);
    EXPECT_TRUE(Area(10, 20, 561, 219) == expected.Read());
}

TEST_F(WidgetKinds, TextureWithAMissingPictureBecomesEmpty) {
    SimpleUITexture texture("t");
    texture.CreateWnd(&m_host);
    texture.SetTexture(152);
    texture.SetTexture(9999);
    EXPECT_EQ(texture.m_width, 0);
    EXPECT_EQ(texture.m_height, 0);
    RECT rect;
    texture.GetWindowRect(&rect);
    EXPECT_EQ(rect.right - rect.left, 0);
    EXPECT_EQ(rect.bottom - rect.top, 0);
}

// ---- text

class TextWidget : public WidgetKinds {
protected:
    void SetUp() override {
        WidgetKinds::SetUp();
        m_text.CreateWnd(&m_host);
        m_text.SetColor(RGB(0, 255, 0));
        m_text.SetPointFont(90, L"simhei");
    }

    // Bounding box of the pixels that differ from the background in an area.
    static RECT Ink(const Pixels& pixels) {
        RECT box = {pixels.width, pixels.height, -1, -1};
        for (int y = 0; y < pixels.height; ++y)
            for (int x = 0; x < pixels.width; ++x)
                if (pixels.At(x, y) != kBackground) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box;
    }

    SimpleUIText m_text{"text"};
};

TEST_F(TextWidget, PointFontIsNinePointsAtTheScreensResolution) {
    LOGFONTW lf = {};
    ASSERT_TRUE(::GetObjectW(m_text.m_font, sizeof(lf), &lf));
    HDC hScreen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(hScreen, LOGPIXELSY);
    ::ReleaseDC(nullptr, hScreen);
    EXPECT_EQ(lf.lfHeight, -::MulDiv(dpi, 90, 720));
    EXPECT_EQ(lf.lfWeight, 0);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    EXPECT_STREQ(lf.lfFaceName, L"simhei");
}

TEST_F(TextWidget, EmptyTextPaintsNothing) {
    m_text.SetPosition(20, 20);
    m_text.SetSize(200, 30);
    m_text.SetText(L"visible first");
    ASSERT_GE(Ink(Area(0, 0, 300, 80)).right, 0) << "the text should have painted";
    m_text.SetText(L"");
    EXPECT_EQ(Ink(Area(0, 0, 300, 80)).right, -1);
}

TEST_F(TextWidget, LongTextIsCutAtTheRightEdge) {
    m_text.SetPosition(20, 20);
    m_text.SetSize(100, 20);
    m_text.SetText(std::wstring(60, L'W'));
    const RECT ink = Ink(Area(0, 0, 400, 100));
    EXPECT_GE(ink.left, 20);
    EXPECT_LE(ink.left, 22);
    EXPECT_GE(ink.right, 110);  // reaches the edge...
    EXPECT_LE(ink.right, 120);  // ...and stops there
    EXPECT_GE(ink.top, 20);
    EXPECT_LE(ink.bottom, 40);
}

// DT_VCENTER without DT_SINGLELINE centres nothing: line one starts at the
// top-left corner and a line break starts line two at the left edge.
TEST_F(TextWidget, LineBreakStartsASecondLineAtTheLeft) {
    m_text.SetPosition(20, 20);
    m_text.SetSize(200, 60);
    m_text.SetText(L"MMMM\nMMMM");
    const Pixels area = Area(20, 20, 200, 60);
    const RECT all = Ink(area);
    ASSERT_GE(all.right, 0);
    EXPECT_LE(all.top, 4);
    const int middle = (all.top + all.bottom) / 2;
    const RECT first = Ink(area.Crop(0, 0, 200, middle));
    const RECT second = Ink(area.Crop(0, middle, 200, 60 - middle));
    ASSERT_GE(first.right, 0);
    ASSERT_GE(second.right, 0);
    EXPECT_LE(first.left, 2);
    EXPECT_EQ(second.left, first.left);
    EXPECT_EQ(second.right, first.right);
}

TEST_F(TextWidget, TextWindowIsDisabledSoTheMousePassesThrough) {
    EXPECT_FALSE(m_text.IsWindowEnabled());
}

// ---- progress bar

TEST(ProgressFillWidth, TruncatesAndRefusesWhatIsNotAWidth) {
    const float kInf = std::numeric_limits<float>::infinity();
    const float kNaN = std::numeric_limits<float>::quiet_NaN();
    struct {
        float value, minimum, maximum;
        int width, expected;
    } const kCases[] = {
        {0.5f, 0, 1, 355, 177},       // 177.5 truncated
        {1.0f, 0, 1, 355, 355},       // the whole bar
        {0.0f, 0, 1, 355, 0},         // nothing
        {0.001f, 0, 1, 355, 0},       // less than a pixel
        {kNaN, 0, 1, 355, 0},         // 0 / 0
        {kInf, 0, 1, 355, 0},         // 1 / 0
        {-0.5f, 0, 1, 355, 0},        // below the minimum
        {2.0f, 0, 1, 355, 710},       // wider than the bar: the window clips it
        {1e10f, 0, 1, 355, 0},        // does not fit an int
        {0.5f, 0.5f, 1.5f, 100, 50},  // the minimum is not taken off the value
        {0.5f, 1.0f, 1.0f, 100, 0},   // empty range
    };
    for (const auto& c : kCases)
        EXPECT_EQ(ProgressFillWidth(c.value, c.minimum, c.maximum, c.width), c.expected)
            << c.value << " of " << c.minimum << ".." << c.maximum;
}

TEST_F(WidgetKinds, ProgressBarBlendsTheWholePictureIntoItsFill) {
    SimpleUIProgressBar bar("bar");
    bar.CreateWnd(&m_host);
    bar.SetFillTexture(155);
    bar.SetSize(355, 12);
    bar.SetPosition(25, 145);
    EXPECT_FALSE(bar.IsWindowEnabled());

    CImage picture;
    LoadPicture(155, picture);
    const float kZero = 0.0f;
    struct {
        float value;
        int fill;
    } const kCases[] = {{0.5f, 177}, {1.0f, 355}, {0.0f, 0}, {kZero / kZero, 0}, {1 / kZero, 0}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.value);
        bar.SetValue(c.value);
        CMemoryCanvas expected(355, 12, kBackground);
        if (c.fill > 0) picture.AlphaBlend(expected.Dc(), 0, 0, c.fill, 12, 0, 0, 355, 12);
        const Pixels shown = Area(25, 145, 355, 12);
        EXPECT_TRUE(shown == expected.Read());
        if (c.fill > 0) {
            EXPECT_NE(shown.At(c.fill - 1, 6), kBackground);
        }
        if (c.fill < 355) {
            EXPECT_EQ(shown.At(c.fill, 6), kBackground);
        }
    }
}

// At 1.0 the fill is the picture itself, column for column.
TEST_F(WidgetKinds, FullProgressBarShowsThePictureUnsqueezed) {
    SimpleUIProgressBar bar("bar");
    bar.CreateWnd(&m_host);
    bar.SetFillTexture(155);
    bar.SetSize(355, 12);
    bar.SetPosition(25, 145);
    bar.SetValue(1.0f);

    CImage picture;
    LoadPicture(155, picture);
    const Pixels shown = Area(25, 145, 355, 12);
    for (int y = 0; y < 12; y += 5)
        for (int x = 0; x < 355; ++x)
            ASSERT_EQ(shown.At(x, y), ImagePixel(picture, x, y) & 0xFFFFFF) << x << "," << y;
}

TEST_F(WidgetKinds, ProgressBarWithoutAPicturePaintsNothing) {
    SimpleUIProgressBar bar("bar");
    bar.CreateWnd(&m_host);
    bar.SetFillTexture(9999);
    bar.SetSize(355, 12);
    bar.SetPosition(25, 145);
    bar.SetValue(1.0f);
    CMemoryCanvas expected(355, 12, kBackground);
    EXPECT_TRUE(Area(25, 145, 355, 12) == expected.Read());
}

}  // namespace
