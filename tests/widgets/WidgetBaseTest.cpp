// The widget base: creation, placement, visibility, entry tracking, redraw
// order and ownership, on real child windows of a test host.
#include <gtest/gtest.h>

#include "simpleui/SimpleUIWidget.h"
#include "tests/widgets/WidgetTestSupport.h"

using namespace widget_test;

namespace {

// Records its paints in the shared log and counts entries and deletions.
class CLoggingWidget : public SimpleUIWidget {
public:
    CLoggingWidget(const std::string& name, PaintLog* pLog = nullptr, int* pDeleted = nullptr)
        : SimpleUIWidget(name), m_pLog(pLog), m_pDeleted(pDeleted) {}
    ~CLoggingWidget() override {
        if (m_pDeleted) ++*m_pDeleted;
    }

    void Draw(CDC& dc) override {
        RECT clip;
        ::GetClipBox(dc, &clip);
        if (m_pLog) m_pLog->push_back({m_name, clip});
    }
    void OnMouseEnter() override { ++m_nEntries; }

    PaintLog* m_pLog;
    int* m_pDeleted;
    int m_nEntries = 0;
};

class WidgetBase : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_host.Create(100, 100, 400, 200)); }

    RECT RectInHost(HWND hWnd) const {
        RECT rect;
        ::GetWindowRect(hWnd, &rect);
        ::MapWindowPoints(nullptr, m_host.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    PaintLog m_log;
    CTestHost m_host{RGB(30, 30, 30), &m_log};
};

TEST_F(WidgetBase, ControlIdentifiersCountUpInCreationOrder) {
    CLoggingWidget first("first"), second("second"), third("third");
    first.CreateWnd(&m_host);
    second.CreateWnd(&first);
    third.CreateWnd(&m_host);
    const int id = first.GetDlgCtrlID();
    EXPECT_GE(id, 500);
    EXPECT_EQ(second.GetDlgCtrlID(), id + 1);
    EXPECT_EQ(third.GetDlgCtrlID(), id + 2);
}

TEST_F(WidgetBase, UnplacedWidgetIs50By50AtTheParentsCorner) {
    CLoggingWidget widget("w");
    widget.CreateWnd(&m_host);
    RECT rect = RectInHost(widget);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 50);
    EXPECT_EQ(rect.bottom, 50);
    EXPECT_TRUE(widget.IsWindowVisible());
    EXPECT_TRUE(widget.IsWindowEnabled());
    EXPECT_EQ(::GetWindowLongW(widget, GWL_EXSTYLE) & WS_EX_TRANSPARENT, WS_EX_TRANSPARENT);
}

TEST_F(WidgetBase, PositionAndSizeMoveTheWindow) {
    CLoggingWidget widget("w");
    widget.CreateWnd(&m_host);
    widget.SetPosition(30, 40);
    widget.SetSize(60, 20);
    RECT rect = RectInHost(widget);
    EXPECT_EQ(rect.left, 30);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(rect.right, 90);
    EXPECT_EQ(rect.bottom, 60);
}

// The recorded flag decides, not the window: hiding or showing the window
// behind the widget's back shows that an unchanged value makes no call.
TEST_F(WidgetBase, SetVisibleWithTheSameValueMakesNoWindowCall) {
    CLoggingWidget widget("w");
    widget.CreateWnd(&m_host);

    ::ShowWindow(widget, SW_HIDE);
    widget.SetVisible(true);
    EXPECT_FALSE(widget.IsWindowVisible());

    widget.SetVisible(false);
    EXPECT_FALSE(widget.m_visible);
    ::ShowWindow(widget, SW_SHOW);
    widget.SetVisible(false);
    EXPECT_TRUE(widget.IsWindowVisible());

    widget.SetVisible(true);
    widget.SetVisible(false);
    EXPECT_FALSE(widget.IsWindowVisible());
    widget.SetVisible(true);
    EXPECT_TRUE(widget.IsWindowVisible());
}

// The parent repaints the widget's stored rectangle first, then the widget
// paints over it, both before Redraw returns.
TEST_F(WidgetBase, RedrawPaintsTheParentAreaThenTheWidget) {
    CLoggingWidget widget("w", &m_log);
    widget.CreateWnd(&m_host);
    widget.SetPosition(30, 40);
    widget.SetSize(60, 20);
    ::UpdateWindow(m_host);
    PumpFor(50);

    // Grown by other means: the stored size still bounds the parent's part.
    ::MoveWindow(widget, 30, 40, 100, 50, FALSE);
    ::ValidateRect(m_host, nullptr);
    ::ValidateRect(widget, nullptr);
    m_log.clear();
    widget.Redraw();

    ASSERT_GE(m_log.size(), 2u);
    EXPECT_EQ(m_log.front().who, "host");
    const RECT& parentRect = m_log.front().rect;
    EXPECT_EQ(parentRect.left, 30);
    EXPECT_EQ(parentRect.top, 40);
    EXPECT_EQ(parentRect.right, 90);
    EXPECT_EQ(parentRect.bottom, 60);
    EXPECT_EQ(m_log.back().who, "w");
    EXPECT_EQ(m_log.back().rect.right, 100);
    EXPECT_EQ(m_log.back().rect.bottom, 50);
}

TEST_F(WidgetBase, RedrawWithoutAParentRepaintsOnlyTheWidget) {
    CLoggingWidget widget("w", &m_log);
    widget.CreateWnd(&m_host);
    ::SetParent(widget, nullptr);
    PumpFor(50);
    const int nHostPaints = m_host.m_nPaints;
    m_log.clear();
    widget.Redraw();
    ASSERT_FALSE(m_log.empty());
    for (const PaintRecord& record : m_log) EXPECT_EQ(record.who, "w");
    EXPECT_EQ(m_host.m_nPaints, nHostPaints);
}

TEST_F(WidgetBase, RedrawBeforeCreationDoesNothing) {
    CLoggingWidget widget("w", &m_log);
    ::ValidateRect(m_host, nullptr);
    m_log.clear();
    widget.Redraw();
    EXPECT_TRUE(m_log.empty());
}

// Entry is noticed once per visit, however many moves follow, and again
// after the leave notification.
TEST_F(WidgetBase, MouseEnterRunsOncePerEntry) {
    ::SystemParametersInfoW(SPI_SETMOUSEHOVERTIME, 50, nullptr, 0);
    CLoggingWidget widget("w");
    widget.CreateWnd(&m_host);
    widget.SetPosition(100, 50);
    widget.SetSize(80, 40);
    PumpFor(50);

    const POINT outside = ClientToScreenPoint(m_host, 20, 20);
    ASSERT_TRUE(MouseTo(outside.x, outside.y));
    PumpFor(100);
    ASSERT_EQ(widget.m_nEntries, 0);

    for (int visit = 1; visit <= 2; ++visit) {
        SCOPED_TRACE(visit);
        for (int step = 0; step < 5; ++step) {
            const POINT inside = ClientToScreenPoint(widget, 10 + 10 * step, 20);
            ASSERT_TRUE(MouseTo(inside.x, inside.y));
            PumpFor(30);
        }
        EXPECT_EQ(widget.m_nEntries, visit);
        EXPECT_TRUE(widget.m_hovering);

        ASSERT_TRUE(MouseTo(outside.x, outside.y));
        EXPECT_TRUE(PumpUntil([&] { return !widget.m_hovering; }));
        EXPECT_EQ(widget.m_nEntries, visit);
    }
}

// Only widgets in m_children are deleted with their parent; the windows of
// all others go with the parent's window.
TEST_F(WidgetBase, DeletingAWidgetDeletesOnlyItsListedChildren) {
    int nDeleted = 0;
    auto* pParent = new CLoggingWidget("parent", nullptr, &nDeleted);
    pParent->CreateWnd(&m_host);
    auto* pListed = new CLoggingWidget("listed", nullptr, &nDeleted);
    pListed->CreateWnd(pParent);
    pParent->m_children.push_back(pListed);
    CLoggingWidget unlisted("unlisted", nullptr, &nDeleted);
    unlisted.CreateWnd(pParent);
    const HWND hParent = *pParent, hListed = *pListed, hUnlisted = unlisted;

    delete pParent;

    EXPECT_EQ(nDeleted, 2);
    EXPECT_FALSE(::IsWindow(hParent));
    EXPECT_FALSE(::IsWindow(hListed));
    EXPECT_FALSE(::IsWindow(hUnlisted));
    EXPECT_EQ(unlisted.m_hWnd, nullptr);
}

}  // namespace
