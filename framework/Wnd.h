// CWnd: one C++ object per window, linked to its HWND while the window is
// created (a CBT hook subclasses the new window, so even a dialog's first
// message reaches the object) and unlinked at WM_NCDESTROY.
//
// Differs from MFC: no message-map macros. WindowProc calls the virtual
// OnWndMsg, which a class overrides to route the messages it handles; a
// message it does not handle goes to the default procedure. There are no
// temporary CWnd objects: GetParent returns the parent's object only when
// the parent is linked to one.
#pragma once

#include "framework/Afx.h"

class CWnd : public CObject {
public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    static CWnd* FromHandlePermanent(HWND hWnd);

    BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();

    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    BOOL ShowWindow(int nCmdShow);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    CWnd* GetParent() const;
    int GetDlgCtrlID() const;
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, HRGN hrgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    CWnd* SetCapture();
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Ends the modal loop this window runs (CDialog::DoModal) with nResult.
    virtual void EndModalLoop(int nResult);

    // Passes the message being handled to the default procedure.
    LRESULT Default();

    // Called for every message; returns TRUE with *pResult set when handled.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window is gone and the object unlinked.
    virtual void PostNcDestroy() {}

protected:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCbtFilterHook(int, WPARAM, LPARAM);
    void AttachCreated(HWND hWnd);
    void DetachDestroyed();

    WNDPROC m_pfnSuper = nullptr;
};

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Links the next window created on this thread to pWnd.
void AfxHookWindowCreate(CWnd* pWnd);
// Returns FALSE when the hooked creation never happened.
BOOL AfxUnhookWindowCreate();

// The class CreateEx uses when it is given none: no background brush, no
// double clicks (a fast second press must stay a press), arrow cursor.
LPCWSTR AfxDefaultWndClass();
