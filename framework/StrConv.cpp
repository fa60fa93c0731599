#include "framework/StrConv.h"

#include "framework/Afx.h"

namespace {

std::wstring ToWide(const char* p, int n) {
    if (n <= 0) return {};
    int len = MultiByteToWideChar(CP_ACP, 0, p, n, nullptr, 0);
    std::wstring out(static_cast<size_t>(len), L'\0');
    MultiByteToWideChar(CP_ACP, 0, p, n, out.data(), len);
    return out;
}

std::string ToAnsi(const wchar_t* p, int n) {
    if (n <= 0) return {};
    int len = WideCharToMultiByte(CP_ACP, 0, p, n, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(len), '\0');
    WideCharToMultiByte(CP_ACP, 0, p, n, out.data(), len, nullptr, nullptr);
    return out;
}

}  // namespace

std::wstring AnsiToWide(const char* psz) {
    return psz ? ToWide(psz, static_cast<int>(strlen(psz))) : std::wstring();
}

std::wstring AnsiToWide(const std::string& str) {
    return ToWide(str.data(), static_cast<int>(str.size()));
}

std::string WideToAnsi(const wchar_t* psz) {
    return psz ? ToAnsi(psz, static_cast<int>(wcslen(psz))) : std::string();
}

std::string WideToAnsi(const std::wstring& str) {
    return ToAnsi(str.data(), static_cast<int>(str.size()));
}
