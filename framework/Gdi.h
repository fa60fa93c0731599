// Device contexts and fonts: CDC borrows an HDC, CPaintDC begins and ends a
// paint cycle, CFont owns an HFONT.
//
// Differs from MFC: no temporary-object maps; SelectObject takes and returns
// raw GDI handles.
#pragma once

#include <string>

#include "framework/Afx.h"

class CWnd;

class CDC {
public:
    CDC() = default;
    explicit CDC(HDC hDC) : m_hDC(hDC) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC() = default;

    HDC m_hDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    COLORREF SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    int DrawText(const std::wstring& text, LPRECT lpRect, UINT nFormat) {
        return ::DrawTextW(m_hDC, text.c_str(), static_cast<int>(text.size()), lpRect, nFormat);
    }
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }
};

// Selects a GDI object into a DC and selects the previous one back when it
// goes. A selection that fails (no object) leaves the DC as it was.
class CSelectedObject {
public:
    CSelectedObject(HDC hDC, HGDIOBJ hObject)
        : m_hDC(hDC), m_hOld(hObject ? ::SelectObject(hDC, hObject) : nullptr) {}
    CSelectedObject(const CSelectedObject&) = delete;
    CSelectedObject& operator=(const CSelectedObject&) = delete;
    ~CSelectedObject() {
        if (m_hOld && m_hOld != HGDI_ERROR) ::SelectObject(m_hDC, m_hOld);
    }

    bool IsSelected() const { return m_hOld && m_hOld != HGDI_ERROR; }

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};

class CFont {
public:
    CFont() = default;
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;
    ~CFont() { DeleteObject(); }

    HFONT m_hObject = nullptr;
    operator HFONT() const { return m_hObject; }

    BOOL DeleteObject();
    // nPointSize in tenths of a point; with no pDC the screen's vertical
    // resolution converts it to pixels.
    BOOL CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, CDC* pDC = nullptr);
};
