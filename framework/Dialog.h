// CDialog: a modal dialog from a dialog template resource.
//
// Differs from MFC: DoModal runs the system's modal dialog loop
// (DialogBoxParamW) rather than a loop of its own; the effects the launcher
// relies on are the same (Enter ends with IDOK, Escape and WM_CLOSE with
// IDCANCEL, EndModalLoop ends with any code, -1 when creation fails).
#pragma once

#include "framework/Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int nResult);
    void EndModalLoop(int nResult) override;

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

protected:
    void OnPaint();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};
