#include "tests/ftp/FtpTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

#include "download/DownloadMessages.h"
#include "framework/StrConv.h"

namespace {

std::wstring EnvironmentValue(const wchar_t* pszName) {
    wchar_t szValue[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(pszName, szValue, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(szValue, n) : std::wstring();
}

// Wine shows the Linux file system as drive Z:.
std::wstring WindowsPath(const std::wstring& linuxPath) {
    std::wstring path = L"Z:" + linuxPath;
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

INTERNET_PORT ReadPort(const std::wstring& path) {
    std::ifstream in(path.c_str());
    unsigned nPort = 0;
    in >> nPort;
    return static_cast<INTERNET_PORT>(nPort);
}

FILETIME ToFileTime(__time64_t time) {
    FILETIME ft = {};
    CTime(time).GetAsFileTime(ft);
    return ft;
}

}  // namespace

const FtpServers& FtpServers::Get() {
    static const FtpServers servers;
    return servers;
}

FtpServers::FtpServers() {
    std::wstring state = EnvironmentValue(L"FTP_TEST_STATE");
    if (state.empty()) return;
    std::wstring dir = WindowsPath(state);
    m_strRoot = dir + L"\\root";
    m_nPort = ReadPort(dir + L"\\port");
    m_nPortWithoutMdtm = ReadPort(dir + L"\\port-no-mdtm");
}

std::wstring FtpServers::Url(const std::wstring& name, INTERNET_PORT nPort,
                             const std::wstring& userInfo) const {
    std::wstring login = userInfo.empty() ? L"" : userInfo + L"@";
    return L"ftp://" + login + L"127.0.0.1:" + std::to_wstring(nPort ? nPort : m_nPort) + L"/" +
           name;
}

std::wstring FtpServers::Serve(const std::wstring& name, const std::string& bytes,
                               __time64_t modified) const {
    std::wstring path = m_strRoot + L"\\" + name;
    WriteWholeFile(path, bytes);
    SetLastWrite(path, modified);
    return path;
}

std::wstring UniqueName(const std::wstring& suffix) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::wstring name = AnsiToWide(info->name());
    for (auto& c : name)
        if (c == L'/') c = L'_';
    return name + L"-" + std::to_wstring(GetCurrentProcessId()) + suffix;
}

std::string Utf16Bytes(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

void SetLastWrite(const std::wstring& path, __time64_t time) {
    HANDLE hFile = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hFile) << "cannot stamp " << WideToAnsi(path);
    FILETIME ft = ToFileTime(time);
    EXPECT_TRUE(SetFileTime(hFile, nullptr, nullptr, &ft));
    CloseHandle(hFile);
}

__time64_t LastWrite(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return CTime(data.ftLastWriteTime).GetTime();
}

FtpWorker::FtpWorker() : m_sink(WM_DOWNLOAD_ERROR, WM_DOWNLOAD_FINISHED) {
    m_pWorker = static_cast<CFtpFileObject*>(AfxBeginThread(RUNTIME_CLASS(CFtpFileObject)));
    if (m_pWorker) {
        m_pWorker->m_bAutoDelete = FALSE;
        m_pWorker->m_hNotifyWnd = m_sink.hwnd();
    }
    m_hStopEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

FtpWorker::~FtpWorker() {
    if (m_pWorker) {
        SetEvent(m_hStopEvent);
        // A worker that will not end is left behind rather than deleted
        // under its own feet.
        if (Quit()) delete m_pWorker;
    }
    CloseHandle(m_hStopEvent);
}

bool FtpWorker::Start(const std::wstring& url, const std::wstring& localPath, bool bResume) {
    if (!m_pWorker->PrepareRequest(url, L"", L"", L"", L"")) return false;
    m_pWorker->StartRequest(localPath, bResume, m_hStopEvent);
    return true;
}

bool FtpWorker::WaitForFinal(DWORD nMaxMs) {
    return PumpUntil([this] { return Count(WM_DOWNLOAD_FINISHED) + Count(WM_DOWNLOAD_ERROR) > 0; },
                     nMaxMs);
}

bool FtpWorker::Quit(DWORD nMaxMs) {
    if (m_bEnded) return true;
    m_pWorker->PostThreadMessage(WM_QUIT, 0, 0);
    m_bEnded = WaitForSingleObject(m_pWorker->m_hThread, nMaxMs) == WAIT_OBJECT_0;
    return m_bEnded;
}

std::vector<std::pair<WPARAM, LPARAM>> FtpWorker::Progress() const {
    std::vector<std::pair<WPARAM, LPARAM>> out;
    for (const auto& m : m_sink.messages())
        if (m.message == WM_DOWNLOAD_PROGRESS) out.emplace_back(m.wParam, m.lParam);
    return out;
}
