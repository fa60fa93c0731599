// CException: the root of the framework's exceptions. As in MFC they are
// thrown as pointers to heap objects (throw new CFileException(...)); the
// catcher reads what it needs and calls Delete().
//
// Differs from MFC: no auto-delete flag (every exception is on the heap) and
// no help contexts; GetErrorMessage always sets *pnHelpContext to 0.
#pragma once

#include <string>

#include "framework/Afx.h"

class CException : public CObject {
public:
    CException() = default;

    // Copies the description, cut to fit, into lpszError (always terminated).
    // FALSE when there is no description to give.
    virtual BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError,
                                 PUINT pnHelpContext = nullptr) const;
    void Delete() { delete this; }

protected:
    // Fills lpszError from text; shared by the derived classes.
    static BOOL CopyMessage(const std::wstring& text, LPWSTR lpszError, UINT nMaxError,
                            PUINT pnHelpContext);
};

// The system's description of a Win32 error code, from hModule's message
// table when it has one (WinINet's codes) or from the system's. Empty when
// neither knows the code.
std::wstring SystemErrorText(DWORD dwError, HMODULE hModule = nullptr);
