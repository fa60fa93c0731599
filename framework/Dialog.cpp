#include "framework/Dialog.h"

#include "framework/WinApp.h"

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

INT_PTR CDialog::DoModal() {
    AfxHookWindowCreate(this);
    INT_PTR nResult = DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate),
                                      m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, DialogProc,
                                      reinterpret_cast<LPARAM>(this));
    AfxUnhookWindowCreate();
    return nResult;
}

// The system's dialog procedure is the default procedure of the subclassed
// window; it calls back here only for what it leaves to the application.
INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    auto* pDlg = static_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    if (!pDlg) return TRUE;
    try {
        return pDlg->OnInitDialog();
    } catch (...) {
        OutputDebugStringA("exception in OnInitDialog");
        return TRUE;
    }
}

BOOL CDialog::OnInitDialog() { return TRUE; }
void CDialog::OnOK() { EndDialog(IDOK); }
void CDialog::OnCancel() { EndDialog(IDCANCEL); }
void CDialog::EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }
void CDialog::EndModalLoop(int nResult) { EndDialog(nResult); }
void CDialog::OnPaint() { Default(); }

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND && HIWORD(wParam) == 0) {
        switch (LOWORD(wParam)) {
            case IDOK:
                OnOK();
                *pResult = 0;
                return TRUE;
            case IDCANCEL:
                OnCancel();
                *pResult = 0;
                return TRUE;
        }
    }
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}
