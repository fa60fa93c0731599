#include "framework/ParseUrl.h"

#include <cwctype>

namespace {

struct SchemeInfo {
    const wchar_t* name;
    DWORD service;
    INTERNET_PORT defaultPort;
    bool hierarchical;  // "scheme://authority/path"
};

const SchemeInfo kSchemes[] = {
    {L"ftp", AFX_INET_SERVICE_FTP, 21, true},   {L"gopher", AFX_INET_SERVICE_GOPHER, 70, true},
    {L"http", AFX_INET_SERVICE_HTTP, 80, true}, {L"https", AFX_INET_SERVICE_HTTPS, 443, true},
    {L"file", AFX_INET_SERVICE_FILE, 0, true},  {L"mailto", AFX_INET_SERVICE_MAILTO, 0, false},
    {L"news", AFX_INET_SERVICE_NEWS, 0, false},
};

bool IsSchemeChar(wchar_t c, bool first) {
    if (c < 128 && std::iswalpha(c)) return true;
    return !first && ((c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.');
}

std::wstring Lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

const SchemeInfo* FindScheme(const std::wstring& scheme) {
    for (const auto& info : kSchemes)
        if (scheme == info.name) return &info;
    return nullptr;
}

bool ParsePort(const std::wstring& text, INTERNET_PORT& nPort) {
    if (text.empty() || text.size() > 5) return false;
    unsigned long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<unsigned long>(c - L'0');
    }
    if (value == 0 || value > 65535) return false;
    nPort = static_cast<INTERNET_PORT>(value);
    return true;
}

// "user:password@host:port"
bool SplitAuthority(const std::wstring& authority, ParsedUrl& out) {
    std::wstring hostPort = authority;
    size_t at = authority.rfind(L'@');
    if (at != std::wstring::npos) {
        std::wstring userInfo = authority.substr(0, at);
        hostPort = authority.substr(at + 1);
        size_t colon = userInfo.find(L':');
        out.strUserName = userInfo.substr(0, colon);
        if (colon != std::wstring::npos) out.strPassword = userInfo.substr(colon + 1);
    }
    size_t colon = hostPort.rfind(L':');
    if (colon != std::wstring::npos && hostPort.find(L']', colon) == std::wstring::npos) {
        if (!ParsePort(hostPort.substr(colon + 1), out.nPort)) return false;
        hostPort.resize(colon);
    }
    out.strServer = hostPort;
    return true;
}

// Escapes what a browser would (spaces, unsafe characters) before splitting.
bool Canonicalize(LPCWSTR pstrURL, std::wstring& out) {
    DWORD cch = static_cast<DWORD>(wcslen(pstrURL) * 3 + 64);
    for (int attempt = 0; attempt < 2; ++attempt) {
        out.assign(cch + 1, L'\0');
        if (InternetCanonicalizeUrlW(pstrURL, out.data(), &cch, ICU_BROWSER_MODE)) {
            out.resize(cch);
            return true;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    }
    return false;
}

}  // namespace

bool SplitUrl(const std::wstring& url, ParsedUrl& out) {
    out = ParsedUrl();
    size_t colon = url.find(L':');
    if (colon == std::wstring::npos || colon == 0) return false;
    for (size_t i = 0; i < colon; ++i)
        if (!IsSchemeChar(url[i], i == 0)) return false;

    std::wstring scheme = Lower(url.substr(0, colon));
    const SchemeInfo* pInfo = FindScheme(scheme);
    std::wstring rest = url.substr(colon + 1);
    if (!pInfo) {
        out.dwServiceType = AFX_INET_SERVICE_UNK;
        out.strObject = rest;
        return true;
    }
    out.dwServiceType = pInfo->service;
    if (!pInfo->hierarchical) {
        out.strObject = rest;
        return !rest.empty();
    }
    if (rest.compare(0, 2, L"//") != 0) return false;
    rest.erase(0, 2);
    size_t slash = rest.find(L'/');
    std::wstring authority = rest.substr(0, slash);
    out.strObject = slash == std::wstring::npos ? L"/" : rest.substr(slash);
    out.nPort = pInfo->defaultPort;
    if (!SplitAuthority(authority, out)) return false;
    return pInfo->service == AFX_INET_SERVICE_FILE || !out.strServer.empty();
}

BOOL AfxParseURLEx(LPCWSTR pstrURL, DWORD& dwServiceType, std::wstring& strServer,
                   std::wstring& strObject, INTERNET_PORT& nPort, std::wstring& strUserName,
                   std::wstring& strPassword) {
    dwServiceType = AFX_INET_SERVICE_UNK;
    if (!pstrURL || !*pstrURL) return FALSE;

    std::wstring canonical;
    if (!Canonicalize(pstrURL, canonical)) return FALSE;

    ParsedUrl parsed;
    if (!SplitUrl(canonical, parsed)) return FALSE;
    dwServiceType = parsed.dwServiceType;
    strServer = parsed.strServer;
    strObject = parsed.strObject;
    nPort = parsed.nPort;
    strUserName = parsed.strUserName;
    strPassword = parsed.strPassword;
    return TRUE;
}

BOOL AfxParseURL(LPCWSTR pstrURL, DWORD& dwServiceType, std::wstring& strServer,
                 std::wstring& strObject, INTERNET_PORT& nPort) {
    std::wstring user, password;
    return AfxParseURLEx(pstrURL, dwServiceType, strServer, strObject, nPort, user, password);
}
