#include "download/RequestHeaders.h"

#include <cwchar>

const wchar_t kRequestHeaderBlock[] =
    L"Accept: */*\r\nUser-Agent:  Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n";

std::wstring BuildRequestHeaders(DWORD nResumeOffset) {
    std::wstring headers = kRequestHeaderBlock;
    if (nResumeOffset == 0) return headers;
    // Signed on purpose: files of 2 GiB and more are outside the design.
    wchar_t szRange[64];
    swprintf(szRange, 64, L"Range: bytes=%d-\r\n", static_cast<int>(nResumeOffset));
    return headers + szRange;
}
