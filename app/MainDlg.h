// CMainDlg: the borderless, colour-keyed main window. Every message goes to
// the launcher controller before the dialog's own handling.
#pragma once

#include "framework/Dialog.h"

class CMainDlg : public CDialog {
public:
    CMainDlg();
    ~CMainDlg() override;

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnInitDialog() override;

    static constexpr UINT IDD = 103;
    static constexpr int kWidth = 561;
    static constexpr int kHeight = 219;
    static constexpr COLORREF kColorKey = RGB(255, 0, 255);
    static constexpr DWORD kWorkerWaitMs = 5000;

protected:
    void OnPaint();
    void OnClose();

    HICON m_hIcon;
};
