// CInternetHandle: the one owner of a WinINet handle (HINTERNET). Movable,
// not copyable; closes the handle when it goes.
#pragma once

#include <utility>

#include "framework/Afx.h"

#include <wininet.h>

class CInternetHandle {
public:
    CInternetHandle() = default;
    explicit CInternetHandle(HINTERNET hInternet) : m_hInternet(hInternet) {}
    ~CInternetHandle() { Close(); }

    CInternetHandle(CInternetHandle&& other) noexcept : m_hInternet(other.Release()) {}
    CInternetHandle& operator=(CInternetHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;

    HINTERNET Get() const { return m_hInternet; }
    explicit operator bool() const { return m_hInternet != nullptr; }

    HINTERNET Release() { return std::exchange(m_hInternet, nullptr); }
    void Reset(HINTERNET hInternet = nullptr) {
        Close();
        m_hInternet = hInternet;
    }
    void Close() {
        if (m_hInternet) InternetCloseHandle(std::exchange(m_hInternet, nullptr));
    }

private:
    HINTERNET m_hInternet = nullptr;
};
