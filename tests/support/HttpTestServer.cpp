#include "tests/support/HttpTestServer.h"

#include <algorithm>

#include <ws2tcpip.h>

namespace {

constexpr DWORD kRequestReadMs = 5000;
constexpr DWORD kGateMaxMs = 20000;
constexpr DWORD kSilentMaxMs = 30000;

bool SendAll(SOCKET s, const char* p, size_t n) {
    while (n > 0) {
        int nSent = send(s, p, static_cast<int>(std::min<size_t>(n, 65536)), 0);
        if (nSent <= 0) return false;
        p += nSent;
        n -= static_cast<size_t>(nSent);
    }
    return true;
}

}  // namespace

HttpAnswer HttpAnswer::Make(int status, const std::string& reason, const std::string& body,
                            const std::vector<std::string>& extraHeaders, bool bWithLength) {
    HttpAnswer answer;
    answer.head = "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\n";
    for (const auto& line : extraHeaders) answer.head += line + "\r\n";
    if (bWithLength) answer.head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    answer.head += "Connection: close\r\n\r\n";
    answer.body = body;
    return answer;
}

HttpAnswer HttpAnswer::Silent() {
    HttpAnswer answer;
    answer.bSilent = true;
    return answer;
}

HttpTestServer::HttpTestServer() {
    WSADATA data;
    m_bWinsock = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    m_hStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_hGate = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return;
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    int cbAddr = sizeof(addr);
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 || listen(s, 8) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&addr), &cbAddr) != 0) {
        closesocket(s);
        return;
    }
    m_listen = s;
    m_nPort = ntohs(addr.sin_port);
    m_thread = std::thread([this, s] { Serve(s); });
}

HttpTestServer::~HttpTestServer() {
    Stop();
    if (m_hStop) CloseHandle(m_hStop);
    if (m_hGate) CloseHandle(m_hGate);
    if (m_bWinsock) WSACleanup();
}

std::wstring HttpTestServer::Url(const std::wstring& path) const {
    return L"http://127.0.0.1:" + std::to_wstring(m_nPort) + path;
}

void HttpTestServer::Enqueue(HttpAnswer answer) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answers.push_back(std::move(answer));
}

std::vector<std::string> HttpTestServer::Requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void HttpTestServer::ReleaseGate() { SetEvent(m_hGate); }

void HttpTestServer::Stop() {
    if (m_hStop) SetEvent(m_hStop);
    if (m_listen != INVALID_SOCKET) {
        closesocket(m_listen);  // ends the accept
        m_listen = INVALID_SOCKET;
    }
    if (m_thread.joinable()) m_thread.join();
}

void HttpTestServer::Serve(SOCKET listening) {
    for (;;) {
        SOCKET client = accept(listening, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        if (WaitForSingleObject(m_hStop, 0) == WAIT_OBJECT_0) {
            closesocket(client);
            return;
        }
        HandleConnection(client);
        shutdown(client, SD_BOTH);
        closesocket(client);
    }
}

HttpAnswer HttpTestServer::NextAnswer() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_answers.empty()) return HttpAnswer::Make(500, "No Answer Scripted", "");
    HttpAnswer answer = std::move(m_answers.front());
    m_answers.pop_front();
    return answer;
}

void HttpTestServer::HandleConnection(SOCKET client) {
    BOOL bNoDelay = TRUE;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&bNoDelay),
               sizeof(bNoDelay));
    DWORD nTimeout = kRequestReadMs;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&nTimeout),
               sizeof(nTimeout));
    if (!ReadRequest(client)) return;
    HttpAnswer answer = NextAnswer();
    if (answer.bSilent) {
        WaitForClientToGo(client, kSilentMaxMs);
        return;
    }
    SendAnswer(client, answer);
}

// Reads up to the blank line that ends a GET's head.
bool HttpTestServer::ReadRequest(SOCKET client) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        int n = recv(client, buffer, sizeof(buffer), 0);
        if (n <= 0) return false;
        request.append(buffer, static_cast<size_t>(n));
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.push_back(request);
    return true;
}

void HttpTestServer::SendAnswer(SOCKET client, const HttpAnswer& answer) {
    if (!SendAll(client, answer.head.data(), answer.head.size())) return;
    SendBody(client, answer);
}

// Sends the body up to each scripted point in turn, acting at each.
bool HttpTestServer::SendBody(SOCKET client, const HttpAnswer& answer) {
    const size_t nSize = answer.body.size();
    size_t nSent = 0;
    for (;;) {
        if (!ActAt(answer, nSent)) return false;
        if (nSent >= nSize) return true;
        size_t nNext = nSize;
        for (size_t mark : {answer.nCutAfter, answer.nStallAt, answer.nGateAt}) {
            if (mark > nSent && mark < nNext) nNext = mark;
        }
        if (answer.nPieceSize) nNext = std::min(nNext, nSent + answer.nPieceSize);
        if (!SendAll(client, answer.body.data() + nSent, nNext - nSent)) return false;
        nSent = nNext;
        if (answer.nPieceSize && nSent < nSize &&
            WaitForSingleObject(m_hStop, answer.nPieceDelayMs) == WAIT_OBJECT_0) {
            return false;
        }
    }
}

// The scripted action at a body position; false when the connection ends.
bool HttpTestServer::ActAt(const HttpAnswer& answer, size_t nPosition) {
    if (nPosition == answer.nCutAfter) return false;
    if (nPosition == answer.nStallAt &&
        WaitForSingleObject(m_hStop, answer.nStallMs) == WAIT_OBJECT_0) {
        return false;
    }
    if (nPosition == answer.nGateAt) {
        HANDLE waits[2] = {m_hStop, m_hGate};
        if (WaitForMultipleObjects(2, waits, FALSE, kGateMaxMs) != WAIT_OBJECT_0 + 1) return false;
    }
    return true;
}

// Holds a connection open without answering, until the client closes it,
// the server stops or nMaxMs pass.
void HttpTestServer::WaitForClientToGo(SOCKET client, DWORD nMaxMs) {
    ULONGLONG nEnd = GetTickCount64() + nMaxMs;
    while (GetTickCount64() < nEnd && WaitForSingleObject(m_hStop, 0) == WAIT_TIMEOUT) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(client, &readable);
        timeval tv = {0, 100000};
        int n = select(0, &readable, nullptr, nullptr, &tv);
        if (n < 0) return;
        if (n == 0) continue;
        char c;
        if (recv(client, &c, 1, 0) <= 0) return;
    }
}
