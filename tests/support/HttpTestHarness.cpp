#include "tests/support/HttpTestHarness.h"

#include <algorithm>
#include <cstdio>

#include "download/DownloadMessages.h"

namespace {

bool IsFinal(UINT message) {
    return message == WM_DOWNLOAD_FINISHED || message == WM_DOWNLOAD_ERROR;
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    HANDLE hFind = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(hFind, &data));
        FindClose(hFind);
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

bool MessageRecorder::WaitForFinal(DWORD nMaxMs) {
    return PumpUntil([this] { return !Finals().empty(); }, nMaxMs);
}

bool MessageRecorder::WaitForProgress(DWORD nMaxMs) {
    return PumpUntil([this] { return !Progress().empty(); }, nMaxMs);
}

void MessageRecorder::Drain() { DrainQueue(); }

std::vector<DownloadMessage> MessageRecorder::Progress() const {
    std::vector<DownloadMessage> out;
    for (const auto& m : Messages())
        if (m.message == WM_DOWNLOAD_PROGRESS) out.push_back(m);
    return out;
}

std::vector<DownloadMessage> MessageRecorder::Finals() const {
    std::vector<DownloadMessage> out;
    for (const auto& m : Messages())
        if (IsFinal(m.message)) out.push_back(m);
    return out;
}

WorkerHarness::WorkerHarness(HWND hNotifyWnd) {
    m_pWorker = static_cast<CHttpFileObject*>(AfxBeginThread(RUNTIME_CLASS(CHttpFileObject)));
    m_hStopEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!m_pWorker) return;
    m_pWorker->m_bAutoDelete = FALSE;
    m_pWorker->m_hNotifyWnd = hNotifyWnd;
}

WorkerHarness::~WorkerHarness() {
    // A thread that would not end keeps its object: deleting it under the
    // thread would be worse than the leak.
    if (m_pWorker && (m_bEnded || Quit(10000))) delete m_pWorker;
    if (m_hStopEvent) CloseHandle(m_hStopEvent);
}

bool WorkerHarness::Start(const std::wstring& url, const std::wstring& localPath, bool bResume,
                          __time64_t fileTime) {
    if (!m_pWorker || !m_pWorker->PrepareRequest(url, L"", L"", L"", L"")) return false;
    ULARGE_INTEGER time;
    time.QuadPart = static_cast<ULONGLONG>(fileTime);
    m_pWorker->StartRequest(localPath, bResume, m_hStopEvent, time.LowPart, time.HighPart);
    return true;
}

bool WorkerHarness::Quit(DWORD nMaxMs) {
    if (!m_pWorker) return false;
    if (m_bEnded) return true;
    SetEvent(m_hStopEvent);
    PostThreadMessageW(m_pWorker->m_nThreadID, WM_QUIT, 0, 0);
    m_bEnded = WaitForSingleObject(m_pWorker->m_hThread, nMaxMs) == WAIT_OBJECT_0;
    return m_bEnded;
}

ScratchDir::ScratchDir() {
    static unsigned s_nCounter = 0;
    WCHAR szTemp[MAX_PATH];
    GetTempPathW(MAX_PATH, szTemp);
    m_path = std::wstring(szTemp) + L"http_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
             std::to_wstring(++s_nCounter);
    RemoveTree(m_path);
    CreateDirectoryW(m_path.c_str(), nullptr);
}

ScratchDir::~ScratchDir() { RemoveTree(m_path); }

std::string MakeBody(size_t nSize, unsigned nSeed) {
    std::string body(nSize, '\0');
    unsigned x = nSeed * 2654435761u + 12345u;
    for (size_t i = 0; i < nSize; ++i) {
        x = x * 1103515245u + 12345u;
        body[i] = static_cast<char>(x >> 16);
    }
    return body;
}

std::string ReadWholeFile(const std::wstring& path) {
    std::string data;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return data;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0) data.append(buffer, n);
    fclose(f);
    return data;
}

void WriteWholeFile(const std::wstring& path, const std::string& data) {
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return;
    fwrite(data.data(), 1, data.size(), f);
    fclose(f);
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CanOpenExclusively(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

std::string Chunked(const std::string& data, size_t nPiece) {
    std::string out;
    char szSize[32];
    for (size_t i = 0; i < data.size(); i += nPiece) {
        size_t n = std::min(nPiece, data.size() - i);
        snprintf(szSize, sizeof(szSize), "%zx\r\n", n);
        out += szSize;
        out.append(data, i, n);
        out += "\r\n";
    }
    return out + "0\r\n\r\n";
}

::testing::AssertionResult SameBytes(const std::string& expected, const std::string& actual) {
    if (expected == actual) return ::testing::AssertionSuccess();
    size_t i = 0;
    while (i < expected.size() && i < actual.size() && expected[i] == actual[i]) ++i;
    return ::testing::AssertionFailure() << "expected " << expected.size() << " bytes, got "
                                         << actual.size() << ", first difference at " << i;
}
