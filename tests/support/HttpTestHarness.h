// What the download worker tests share: a hidden window that records the
// worker's messages, the worker on its own thread with a stop event, a
// scratch directory, and file helpers.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/DownloadMessages.h"
#include "download/HttpFileObject.h"
#include "tests/support/MessageSink.h"

using DownloadMessage = RecordedMessage;

// A hidden top-level window of the test's thread recording the download
// messages posted to it.
class MessageRecorder {
public:
    HWND Hwnd() const { return m_sink.hwnd(); }
    // Pumps until a WM_DOWNLOAD_FINISHED or WM_DOWNLOAD_ERROR has arrived
    // or nMaxMs have passed; true when one arrived.
    bool WaitForFinal(DWORD nMaxMs = 20000);
    // Pumps until some progress has arrived or nMaxMs have passed.
    bool WaitForProgress(DWORD nMaxMs = 20000);
    // Handles whatever is queued now.
    void Drain();
    void Clear() { m_sink.Clear(); }

    const std::vector<DownloadMessage>& Messages() const { return m_sink.messages(); }
    std::vector<DownloadMessage> Progress() const;
    std::vector<DownloadMessage> Finals() const;

private:
    MessageSink m_sink{WM_DOWNLOAD_ERROR, WM_DOWNLOAD_FINISHED};
};

// A worker thread started the way the manager starts it, with an
// auto-reset stop event of its own. Ends the thread when it goes.
class WorkerHarness {
public:
    explicit WorkerHarness(HWND hNotifyWnd);
    ~WorkerHarness();
    WorkerHarness(const WorkerHarness&) = delete;
    WorkerHarness& operator=(const WorkerHarness&) = delete;

    CHttpFileObject* Worker() const { return m_pWorker; }
    HANDLE StopEvent() const { return m_hStopEvent; }

    // PrepareRequest then StartRequest, as the manager's dispatch does.
    bool Start(const std::wstring& url, const std::wstring& localPath, bool bResume = true,
               __time64_t fileTime = 0);
    // Sets the stop event, posts WM_QUIT and waits up to nMaxMs for the
    // thread; true when it ended.
    bool Quit(DWORD nMaxMs);

private:
    CHttpFileObject* m_pWorker = nullptr;
    HANDLE m_hStopEvent = nullptr;
    bool m_bEnded = false;
};

// A fresh directory under %TEMP%, removed with everything in it.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

// Deterministic bytes that differ from position to position and by seed.
std::string MakeBody(size_t nSize, unsigned nSeed = 1);
std::string ReadWholeFile(const std::wstring& path);
void WriteWholeFile(const std::wstring& path, const std::string& data);
bool FileExists(const std::wstring& path);
// Opens the file for writing with no sharing; true when nobody else holds it.
bool CanOpenExclusively(const std::wstring& path);
// Encodes data as an HTTP chunked body of pieces of nPiece bytes.
std::string Chunked(const std::string& data, size_t nPiece);
// Compares contents without printing kilobytes of binary on failure.
::testing::AssertionResult SameBytes(const std::string& expected, const std::string& actual);
