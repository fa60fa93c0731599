// The project's own thin stand-in for the MFC core: the Win32 headers in the
// order they must come, the object root with runtime classes (enough for
// DECLARE_DYNCREATE / AfxBeginThread), and the exception base.
//
// Differs from MFC: strings are std::wstring / std::string, not CString;
// there are no message-map macros (a class routes messages in its virtual
// OnWndMsg); CObject has no serialisation or diagnostics.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <winsock2.h>
#include <windows.h>

#include "framework/Compat.h"

class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    CObject* (*m_pfnCreateObject)();

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
};

class CObject {
public:
    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
    virtual ~CObject() = default;
    virtual CRuntimeClass* GetRuntimeClass() const { return nullptr; }
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNCREATE(class_name)       \
public:                                     \
    static CRuntimeClass class##class_name; \
    static CObject* CreateObject();         \
    CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNCREATE(class_name)                                                     \
    CRuntimeClass class_name::class##class_name = {#class_name, &class_name::CreateObject}; \
    CObject* class_name::CreateObject() { return new class_name; }                          \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }
