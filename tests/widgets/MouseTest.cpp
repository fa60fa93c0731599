// Buttons and the root under real mouse input (SendInput): the state
// machine, the click, what a disabled button shows, and dragging the window.
#include <gtest/gtest.h>

#include <memory>

#include "simpleui/SimpleUIButton.h"
#include "simpleui/SimpleUIProgressBar.h"
#include "simpleui/SimpleUIRoot.h"
#include "tests/widgets/WidgetTestSupport.h"

using namespace widget_test;

namespace {

const uint32_t kBackground = Rgb(40, 30, 20);
const int kHostX = 200, kHostY = 150;

// Remembers every state it redraws in, so a test sees the whole path.
class CRecordingButton : public SimpleUIButton {
public:
    using SimpleUIButton::SimpleUIButton;
    void Redraw() override {
        m_redrawStates.push_back(m_state);
        SimpleUIButton::Redraw();
    }
    std::vector<int> m_redrawStates;
};

struct Click {
    void* sender;
    std::string name;
    int state;
};

class Mouse : public ::testing::Test {
protected:
    void SetUp() override {
        ::SystemParametersInfoW(SPI_SETMOUSEHOVERTIME, 50, nullptr, 0);
        ASSERT_TRUE(m_host.Create(kHostX, kHostY, 561, 219));
        // Start every test with the cursor away from the host.
        ASSERT_TRUE(MouseTo(kHostX - 50, kHostY - 50));
        PumpFor(50);
    }
    void TearDown() override {
        MouseButton(false);
        PumpFor(20);
    }

    POINT At(HWND hWnd, int x, int y) const { return ClientToScreenPoint(hWnd, x, y); }
    bool MoveTo(POINT point) {
        const bool bOk = MouseTo(point.x, point.y);
        PumpFor(30);
        return bOk;
    }

    CTestHost m_host{RGB(40, 30, 20)};
};

class ButtonMouse : public Mouse {
protected:
    void SetUp() override {
        Mouse::SetUp();
        m_button.CreateWnd(&m_host);
        const int pictures[4] = {200, 145, 144, 146};
        for (int state = 0; state < 4; ++state) {
            m_button.SetStateTexture(state, pictures[state]);
            LoadPicture(pictures[state], m_pictures[state]);
        }
        m_button.SetPosition(100, 60);
        m_button.SetSize(151, 50);
        m_button.SetClickHandler([this](void* sender, const std::string& name) {
            m_clicks.push_back({sender, name, m_button.m_state});
        });
        m_button.Redraw();
        PumpFor(30);
    }

    // The button's area must show this state's picture over a freshly painted
    // background: blended once, never over its own previous image.
    void ExpectPicture(int state) {
        CMemoryCanvas expected(151, 50, kBackground);
        m_pictures[state].AlphaBlend(expected.Dc(), 0, 0);
        EXPECT_TRUE(CaptureClient(m_host).Crop(100, 60, 151, 50) == expected.Read())
            << "picture of state " << state;
    }

    CRecordingButton m_button{"play"};
    CImage m_pictures[4];
    std::vector<Click> m_clicks;
};

TEST_F(ButtonMouse, PressAndReleaseInsideClicksOnceInHover) {
    ExpectPicture(SimpleUIButton::Normal);

    ASSERT_TRUE(MoveTo(At(m_button, 20, 20)));
    ASSERT_TRUE(PumpUntil([&] { return m_button.m_state == SimpleUIButton::Hover; }));
    ASSERT_TRUE(MoveTo(At(m_button, 30, 25)));
    ExpectPicture(SimpleUIButton::Hover);

    MouseButton(true);
    ASSERT_TRUE(PumpUntil([&] { return m_button.m_state == SimpleUIButton::Pressed; }));
    EXPECT_EQ(::GetCapture(), m_button.m_hWnd);
    ExpectPicture(SimpleUIButton::Pressed);

    MouseButton(false);
    ASSERT_TRUE(PumpUntil([&] { return !m_clicks.empty(); }));
    PumpFor(50);
    ASSERT_EQ(m_clicks.size(), 1u);
    EXPECT_EQ(m_clicks[0].name, "play");
    EXPECT_EQ(m_clicks[0].sender, static_cast<void*>(&m_button));
    EXPECT_EQ(m_clicks[0].state, SimpleUIButton::Hover);
    EXPECT_EQ(::GetCapture(), nullptr);
    ExpectPicture(SimpleUIButton::Hover);

    // Pressing again clicks again.
    MouseButton(true);
    ASSERT_TRUE(PumpUntil([&] { return m_button.m_state == SimpleUIButton::Pressed; }));
    MouseButton(false);
    ASSERT_TRUE(PumpUntil([&] { return m_clicks.size() == 2; }));
}

// The capture follows the mouse out; released there, the button neither
// clicks nor turns Hover, and the leave notification makes it Normal.
TEST_F(ButtonMouse, ReleaseOutsideCallsNothing) {
    ASSERT_TRUE(MoveTo(At(m_button, 20, 20)));
    ASSERT_TRUE(PumpUntil([&] { return m_button.m_state == SimpleUIButton::Hover; }));
    MouseButton(true);
    ASSERT_TRUE(PumpUntil([&] { return m_button.m_state == SimpleUIButton::Pressed; }));
    const size_t nBeforeLeaving = m_button.m_redrawStates.size();

    ASSERT_TRUE(MoveTo(At(m_host, 20, 150)));
    MouseButton(false);
    ASSERT_TRUE(PumpUntil([&] { return ::GetCapture() == nullptr; }));
    ASSERT_TRUE(PumpUntil([&] { return m_button.m_state == SimpleUIButton::Normal; }));
    PumpFor(100);

    EXPECT_TRUE(m_clicks.empty());
    for (size_t i = nBeforeLeaving; i < m_button.m_redrawStates.size(); ++i)
        EXPECT_NE(m_button.m_redrawStates[i], SimpleUIButton::Hover) << "redraw " << i;
    EXPECT_EQ(m_button.m_state, SimpleUIButton::Normal);
    ExpectPicture(SimpleUIButton::Normal);
}

// A press that began elsewhere is not a click of the button it ends on.
TEST_F(ButtonMouse, ReleaseWithoutAPressOnTheButtonCallsNothing) {
    ASSERT_TRUE(MoveTo(At(m_host, 20, 150)));
    MouseButton(true);
    PumpFor(30);
    ASSERT_TRUE(MoveTo(At(m_button, 20, 20)));
    ASSERT_TRUE(PumpUntil([&] { return m_button.m_state == SimpleUIButton::Hover; }));
    MouseButton(false);
    PumpFor(100);
    EXPECT_TRUE(m_clicks.empty());
    EXPECT_EQ(m_button.m_state, SimpleUIButton::Hover);
}

TEST_F(ButtonMouse, DisabledButtonKeepsItsPictureWhateverTheMouseDoes) {
    m_button.Disable();
    EXPECT_FALSE(m_button.IsWindowEnabled());
    ExpectPicture(SimpleUIButton::Disabled);

    ASSERT_TRUE(MoveTo(At(m_button, 20, 20)));
    ASSERT_TRUE(MoveTo(At(m_button, 40, 30)));
    MouseButton(true);
    PumpFor(50);
    MouseButton(false);
    ASSERT_TRUE(MoveTo(At(m_host, 20, 150)));
    PumpFor(150);

    EXPECT_EQ(m_button.m_state, SimpleUIButton::Disabled);
    EXPECT_TRUE(m_clicks.empty());
    ExpectPicture(SimpleUIButton::Disabled);
}

TEST_F(ButtonMouse, StateWithoutAPictureShowsOnlyTheBackground) {
    m_button.SetStateTexture(SimpleUIButton::Normal, 9999);
    m_button.Redraw();
    CMemoryCanvas expected(151, 50, kBackground);
    EXPECT_TRUE(CaptureClient(m_host).Crop(100, 60, 151, 50) == expected.Read());
}

// The launcher's arrangement: a root over the whole window and, above it,
// widgets that pass the mouse through. Pressing on any of them drags the
// top-level window pixel for pixel.
class RootDrag : public Mouse {
protected:
    void SetUp() override {
        Mouse::SetUp();
        m_root.CreateWnd(&m_host);
        m_root.SetTexture(151);

        m_start.CreateWnd(&m_root);
        m_start.SetStateTexture(SimpleUIButton::Disabled, 146);
        m_start.SetPosition(400, 135);
        m_start.SetSize(151, 50);
        m_start.Disable();

        m_bar.CreateWnd(&m_root);
        m_bar.SetFillTexture(155);
        m_bar.SetSize(355, 12);
        m_bar.SetPosition(25, 145);

        m_text.CreateWnd(&m_root);
        m_text.SetText(L"status");
        m_text.SetPosition(25, 130);
        m_text.SetSize(300, 15);
        PumpFor(30);
    }

    SimpleUIRoot m_root{"root"};
    SimpleUIButton m_start{"start"};
    SimpleUIProgressBar m_bar{"bar"};
    SimpleUIText m_text{"text"};
};

TEST_F(RootDrag, PressAndMoveDragsTheWindowByExactlyTheCursorOffset) {
    struct {
        const char* what;
        int x, y;  // in the root's client area
    } const kPressPoints[] = {
        {"root", 100, 60},
        {"disabled button", 450, 160},
        {"progress bar", 100, 150},
        {"text", 100, 137},
    };
    for (const auto& c : kPressPoints) {
        SCOPED_TRACE(c.what);
        RECT before;
        ::GetWindowRect(m_host, &before);
        const POINT press = At(m_root, c.x, c.y);
        ASSERT_TRUE(MoveTo(press));
        MouseButton(true);
        ASSERT_TRUE(PumpUntil([&] { return ::GetCapture() == m_root.m_hWnd; }));

        // Two steps that add up to (+10, -5).
        ASSERT_TRUE(MoveTo({press.x + 4, press.y - 1}));
        ASSERT_TRUE(MoveTo({press.x + 10, press.y - 5}));
        MouseButton(false);
        ASSERT_TRUE(PumpUntil([&] { return ::GetCapture() == nullptr; }));

        RECT after;
        ::GetWindowRect(m_host, &after);
        EXPECT_EQ(after.left, before.left + 10);
        EXPECT_EQ(after.top, before.top - 5);
        EXPECT_EQ(after.right - after.left, before.right - before.left);
        EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);

        // Released: moving on leaves the window where it is.
        ASSERT_TRUE(MoveTo({press.x + 30, press.y + 20}));
        RECT still;
        ::GetWindowRect(m_host, &still);
        EXPECT_EQ(still.left, after.left);
        EXPECT_EQ(still.top, after.top);
    }
    EXPECT_EQ(m_start.m_state, SimpleUIButton::Disabled);
}

// The disabled button shows its Disabled picture over the background
// picture, and still does after being pressed on and dragged.
TEST_F(RootDrag, DisabledButtonShowsItsPictureOverTheRoot) {
    CImage background, disabled;
    LoadPicture(151, background);
    LoadPicture(146, disabled);
    CMemoryCanvas expected(561, 219, 0);
    background.BitBlt(expected.Dc(), 0, 0);
    disabled.AlphaBlend(expected.Dc(), 400, 135);
    const Pixels expectedButton = expected.Read().Crop(400, 135, 151, 50);
    EXPECT_TRUE(CaptureClient(m_root).Crop(400, 135, 151, 50) == expectedButton);

    const POINT press = At(m_start, 50, 25);
    ASSERT_TRUE(MoveTo(press));
    MouseButton(true);
    ASSERT_TRUE(PumpUntil([&] { return ::GetCapture() == m_root.m_hWnd; }));
    ASSERT_TRUE(MoveTo({press.x + 10, press.y - 5}));
    MouseButton(false);
    ASSERT_TRUE(PumpUntil([&] { return ::GetCapture() == nullptr; }));
    ::UpdateWindow(m_host);
    PumpFor(50);
    EXPECT_TRUE(CaptureClient(m_root).Crop(400, 135, 151, 50) == expectedButton);
}

}  // namespace
