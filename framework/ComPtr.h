// CComPtr<T>: the one owner of one COM reference.
//
// Differs from ATL: not copyable (move it, or AddRef explicitly through
// CopyFrom); no operator& (use Receive(), which insists the pointer is empty,
// so an out-parameter can never overwrite and leak a held reference).
#pragma once

#include <unknwn.h>

#include <utility>

template <class T>
class CComPtr {
public:
    CComPtr() = default;
    // Takes over a reference the caller already holds.
    explicit CComPtr(T* p) : m_p(p) {}
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;
    CComPtr(CComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    CComPtr& operator=(CComPtr&& other) noexcept {
        if (this != &other) Attach(std::exchange(other.m_p, nullptr));
        return *this;
    }
    ~CComPtr() { Release(); }

    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // Adds a reference of its own to p.
    void CopyFrom(T* p) {
        if (p) p->AddRef();
        Attach(p);
    }
    // Takes over p's reference, dropping the one held before.
    void Attach(T* p) {
        T* pOld = std::exchange(m_p, p);
        if (pOld) pOld->Release();
    }
    // Gives the reference to the caller.
    T* Detach() { return std::exchange(m_p, nullptr); }
    void Release() { Attach(nullptr); }

    // The slot for an out-parameter; drops what was held first.
    T** Receive() {
        Release();
        return &m_p;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

    template <class Q>
    HRESULT QueryInterface(REFIID riid, CComPtr<Q>& result) const {
        if (!m_p) return E_POINTER;
        return m_p->QueryInterface(riid, result.ReceiveVoid());
    }

private:
    T* m_p = nullptr;
};
