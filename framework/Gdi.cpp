#include "framework/Gdi.h"

#include "framework/Wnd.h"

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }

CPaintDC::~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }

BOOL CFont::DeleteObject() {
    if (!m_hObject) return FALSE;
    BOOL bOk = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return bOk;
}

BOOL CFont::CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, CDC* pDC) {
    HDC hDC = pDC ? pDC->m_hDC : ::GetDC(nullptr);
    // Tenths of a point to logical units through device points, as a
    // mapping-mode aware conversion would do for MM_TEXT.
    POINT pt = {0, ::MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), nPointSize, 720)};
    POINT ptOrg = {0, 0};
    ::DPtoLP(hDC, &pt, 1);
    ::DPtoLP(hDC, &ptOrg, 1);
    if (!pDC) ::ReleaseDC(nullptr, hDC);

    LOGFONTW lf = {};
    lf.lfHeight = -abs(pt.y - ptOrg.y);
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
    DeleteObject();
    m_hObject = ::CreateFontIndirectW(&lf);
    return m_hObject != nullptr;
}
