// AfxParseURL: canonicalises a URL the way a browser does and splits it into
// service type, server, object path and port.
#pragma once

#include <string>

#include "framework/Afx.h"

#include <wininet.h>

constexpr DWORD AFX_INET_SERVICE_FTP = 1;
constexpr DWORD AFX_INET_SERVICE_GOPHER = 2;
constexpr DWORD AFX_INET_SERVICE_HTTP = 3;
constexpr DWORD AFX_INET_SERVICE_UNK = 0x1000;
constexpr DWORD AFX_INET_SERVICE_FILE = 0x1001;
constexpr DWORD AFX_INET_SERVICE_MAILTO = 0x1002;
constexpr DWORD AFX_INET_SERVICE_MID = 0x1003;
constexpr DWORD AFX_INET_SERVICE_CID = 0x1004;
constexpr DWORD AFX_INET_SERVICE_NEWS = 0x1006;
constexpr DWORD AFX_INET_SERVICE_NNTP = 0x1007;
constexpr DWORD AFX_INET_SERVICE_PROSPERO = 0x1008;
constexpr DWORD AFX_INET_SERVICE_TELNET = 0x1009;
constexpr DWORD AFX_INET_SERVICE_WAIS = 0x100A;
constexpr DWORD AFX_INET_SERVICE_HTTPS = 0x100B;

struct ParsedUrl {
    DWORD dwServiceType = 0;
    std::wstring strServer;
    std::wstring strObject;
    std::wstring strUserName;
    std::wstring strPassword;
    INTERNET_PORT nPort = 0;
};

// Splits an already canonical URL; false when it is not a URL.
bool SplitUrl(const std::wstring& url, ParsedUrl& out);

BOOL AfxParseURL(LPCWSTR pstrURL, DWORD& dwServiceType, std::wstring& strServer,
                 std::wstring& strObject, INTERNET_PORT& nPort);
// Also yields the user name and password of the URL, if it holds them.
BOOL AfxParseURLEx(LPCWSTR pstrURL, DWORD& dwServiceType, std::wstring& strServer,
                   std::wstring& strObject, INTERNET_PORT& nPort, std::wstring& strUserName,
                   std::wstring& strPassword);
