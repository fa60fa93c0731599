// SimpleUISystem: the launcher window's widgets and the router of their
// clicks. LauncherUi() is its one instance.
#pragma once

#include <string>

class CWnd;
class SimpleUIRoot;
class SimpleUIButton;
class SimpleUIText;
class SimpleUIProgressBar;

class SimpleUISystem {
public:
    // Builds the widget tree inside m_pOwner, which must exist.
    void InitWidgets();
    void OnWidgetClick(void* sender, const std::string& name);
    // Shows the characters before the first NUL.
    void SetProgressText(const wchar_t* text);

    CWnd* m_pOwner = nullptr;
    SimpleUIRoot* m_pRoot = nullptr;
    SimpleUIButton* m_pStart = nullptr;
    SimpleUIButton* m_pStart2 = nullptr;
    SimpleUIText* m_pProgressText = nullptr;
    SimpleUIProgressBar* m_pProgressBar = nullptr;
    SimpleUIProgressBar* m_pProgressBar2 = nullptr;
};

// The widgets are owned by the window tree, not by the record.
SimpleUISystem& LauncherUi();
