#include "launcher_ui/SimpleUISystem.h"

#include <boost/bind/bind.hpp>

#include "framework/Wnd.h"
#include "simpleui/SimpleUIButton.h"
#include "simpleui/SimpleUIProgressBar.h"
#include "simpleui/SimpleUIRoot.h"

SimpleUISystem& LauncherUi() {
    static SimpleUISystem s_instance;
    return s_instance;
}

namespace {

SimpleUIButton::ClickHandler RouteToLauncherUi() {
    return boost::bind(&SimpleUISystem::OnWidgetClick, &LauncherUi(), boost::placeholders::_1,
                       boost::placeholders::_2);
}

SimpleUIButton* MakeButton(const char* name, CWnd* pParent, const int (&pictures)[4], int x, int y,
                           int width, int height) {
    auto* pButton = new SimpleUIButton(name);
    pButton->CreateWnd(pParent);
    for (int state = 0; state < 4; ++state)
        if (pictures[state]) pButton->SetStateTexture(state, pictures[state]);
    pButton->SetPosition(x, y);
    pButton->SetSize(width, height);
    return pButton;
}

SimpleUIProgressBar* MakeProgressBar(const char* name, CWnd* pParent, int y) {
    auto* pBar = new SimpleUIProgressBar(name);
    pBar->CreateWnd(pParent);
    pBar->SetFillTexture(155);
    pBar->SetSize(355, 12);
    pBar->SetPosition(25, y);
    return pBar;
}

}  // namespace

void SimpleUISystem::InitWidgets() {
    m_pRoot = new SimpleUIRoot("root");
    m_pRoot->CreateWnd(m_pOwner);
    m_pRoot->SetTexture(151);

    m_pStart = MakeButton("start", m_pRoot, {200, 145, 144, 146}, 400, 135, 151, 50);
    m_pStart->Disable();
    m_pStart->SetClickHandler(RouteToLauncherUi());

    m_pStart2 = MakeButton("start2", m_pRoot, {147, 148, 149, 150}, 400, 135, 151, 50);
    m_pStart2->SetVisible(false);
    m_pStart2->SetClickHandler(RouteToLauncherUi());

    SimpleUIButton* pClose = MakeButton("close", m_pRoot, {152, 154, 153, 0}, 524, 37, 32, 32);
    pClose->SetClickHandler(RouteToLauncherUi());

    m_pProgressBar = MakeProgressBar("progressbar", m_pRoot, 145);
    m_pProgressBar2 = MakeProgressBar("progressbar2", m_pRoot, 163);

    m_pProgressText = new SimpleUIText("progresstext");
    m_pProgressText->CreateWnd(m_pRoot);
    m_pProgressText->SetColor(RGB(210, 173, 25));
    m_pProgressText->SetPointFont(90, L"simhei");
    m_pProgressText->SetText(L"测试测试");
    m_pProgressText->SetPosition(25, 130);
    m_pProgressText->SetSize(500, 15);
}

void SimpleUISystem::OnWidgetClick(void*, const std::string& name) {
    if (name == "close") {
        m_pOwner->EndModalLoop(IDCANCEL);
    } else if (name == "start") {
        m_pStart->SetVisible(false);
        m_pStart2->SetVisible(true);
    } else if (name == "start2") {
        m_pOwner->EndModalLoop(IDOK);
    }
}

void SimpleUISystem::SetProgressText(const wchar_t* text) {
    if (m_pProgressText) m_pProgressText->SetText(text ? std::wstring(text) : std::wstring());
}
