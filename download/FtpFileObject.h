// CFtpFileObject: the FTP download worker. The manager keeps a slot for it
// but never creates one.
#pragma once

#include <string>

#include "framework/WinThread.h"

class CFtpFileObject : public CWinThread {
    DECLARE_DYNCREATE(CFtpFileObject)
public:
    CFtpFileObject() = default;

    bool PrepareRequest(const std::wstring& url, const std::wstring& text1,
                        const std::wstring& text2, const std::wstring& user,
                        const std::wstring& password);
    void StartRequest(const std::wstring& localPath, bool resume, HANDLE hStopEvent);
};
