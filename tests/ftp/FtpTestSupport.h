// What the FTP tests share: the servers of the ftp_servers fixture and the
// directory they serve, and an FTP worker on its own thread reporting to a
// recording window. Scratch directories and file helpers are the download
// tests' own (tests/support/HttpTestHarness.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "download/FtpFileObject.h"
#include "tests/support/HttpTestHarness.h"
#include "tests/support/MessageSink.h"

constexpr __time64_t kServedTime = 1614834367;  // 2021-03-04 05:06:07 UTC
constexpr DWORD kFinalWaitMs = 20000;

// The fixture's servers, found through FTP_TEST_STATE. Both serve Root().
class FtpServers {
public:
    static const FtpServers& Get();

    bool IsAvailable() const { return m_nPort != 0 && m_nPortWithoutMdtm != 0; }
    INTERNET_PORT Port() const { return m_nPort; }
    // A server that does not know MDTM.
    INTERNET_PORT PortWithoutMdtm() const { return m_nPortWithoutMdtm; }
    // "ftp://[userInfo@]127.0.0.1:<port>/<name>"
    std::wstring Url(const std::wstring& name, INTERNET_PORT nPort = 0,
                     const std::wstring& userInfo = L"anne:secret") const;
    // Puts a file of these bytes and this modification time where the
    // servers serve it; returns its local path.
    std::wstring Serve(const std::wstring& name, const std::string& bytes,
                       __time64_t modified = kServedTime) const;

private:
    FtpServers();
    std::wstring m_strRoot;
    INTERNET_PORT m_nPort = 0;
    INTERNET_PORT m_nPortWithoutMdtm = 0;
};

// A name unique to the running test and process.
std::wstring UniqueName(const std::wstring& suffix);

// The stamp as the resume file holds it: UTF-16LE, no BOM, no terminator.
std::string Utf16Bytes(const std::wstring& text);
void SetLastWrite(const std::wstring& path, __time64_t time);
__time64_t LastWrite(const std::wstring& path);

// An FTP worker thread started the way the manager starts the HTTP one,
// reporting to a hidden recording window, with an auto-reset stop event.
class FtpWorker {
public:
    FtpWorker();
    ~FtpWorker();
    FtpWorker(const FtpWorker&) = delete;
    FtpWorker& operator=(const FtpWorker&) = delete;

    bool IsRunning() const { return m_pWorker != nullptr; }
    CFtpFileObject& Object() const { return *m_pWorker; }
    HANDLE StopEvent() const { return m_hStopEvent; }
    const MessageSink& Sink() const { return m_sink; }

    // PrepareRequest with no texts but the URL (the manager's call), then
    // StartRequest when it succeeds; the result of PrepareRequest.
    bool Start(const std::wstring& url, const std::wstring& localPath, bool bResume = true);
    // Pumps until the request's final message; true when one came.
    bool WaitForFinal(DWORD nMaxMs = kFinalWaitMs);
    // Posts WM_QUIT and waits for the thread: every request queued before
    // has ended when this returns true.
    bool Quit(DWORD nMaxMs = kFinalWaitMs);

    size_t Count(UINT message) const { return m_sink.Count(message); }
    std::vector<std::pair<WPARAM, LPARAM>> Progress() const;

private:
    MessageSink m_sink;
    CFtpFileObject* m_pWorker = nullptr;
    HANDLE m_hStopEvent = nullptr;
    bool m_bEnded = false;
};
