// A scripted HTTP server for download tests: listens on 127.0.0.1 at an
// ephemeral port, on a thread of its own, takes one connection at a time,
// records each request's bytes exactly, and answers each connection with
// the next scripted HttpAnswer (500 when none is left). Every wait in it is
// bounded and ends when the server stops.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/Afx.h"

struct HttpAnswer {
    static constexpr size_t kNever = SIZE_MAX;

    std::string head;  // status line and headers, up to and with the blank line
    std::string body;  // the bytes after the head, sent as they are
    // Read the request, then answer nothing until the client goes.
    bool bSilent = false;
    // Close the connection after this many body bytes.
    size_t nCutAfter = kNever;
    // After this many body bytes, send nothing for nStallMs, then go on.
    size_t nStallAt = kNever;
    DWORD nStallMs = 0;
    // After this many body bytes, wait for ReleaseGate (at most 20 s).
    size_t nGateAt = kNever;
    // Send the body in pieces of nPieceSize with nPieceDelayMs between them.
    size_t nPieceSize = 0;
    DWORD nPieceDelayMs = 0;

    // "HTTP/1.1 <status> <reason>" with the extra header lines (each without
    // its CR LF), Content-Length unless bWithLength is false, and
    // "Connection: close", so that no connection is kept for a later test.
    static HttpAnswer Make(int status, const std::string& reason, const std::string& body,
                           const std::vector<std::string>& extraHeaders = {},
                           bool bWithLength = true);
    static HttpAnswer Silent();
};

class HttpTestServer {
public:
    HttpTestServer();
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    bool IsListening() const { return m_listen != INVALID_SOCKET; }
    USHORT Port() const { return m_nPort; }
    // "http://127.0.0.1:<port><path>"; path starts with "/".
    std::wstring Url(const std::wstring& path) const;

    void Enqueue(HttpAnswer answer);
    // The bytes of every request head received so far, in order.
    std::vector<std::string> Requests() const;
    // Lets a body waiting at nGateAt go on.
    void ReleaseGate();
    // Ends every wait, closes the listening socket and joins the thread.
    void Stop();

private:
    void Serve(SOCKET listening);
    void HandleConnection(SOCKET client);
    bool ReadRequest(SOCKET client);
    void SendAnswer(SOCKET client, const HttpAnswer& answer);
    bool SendBody(SOCKET client, const HttpAnswer& answer);
    bool ActAt(const HttpAnswer& answer, size_t nPosition);
    void WaitForClientToGo(SOCKET client, DWORD nMaxMs);
    HttpAnswer NextAnswer();

    SOCKET m_listen = INVALID_SOCKET;
    USHORT m_nPort = 0;
    HANDLE m_hStop = nullptr;  // manual-reset
    HANDLE m_hGate = nullptr;  // auto-reset
    mutable std::mutex m_mutex;
    std::deque<HttpAnswer> m_answers;
    std::vector<std::string> m_requests;
    std::thread m_thread;
    bool m_bWinsock = false;
};
