// CCmdTarget: the root of framework objects that are also COM objects. The
// object has one reference count; its interfaces are nested objects that
// forward IUnknown to it, and QueryInterface walks the class's interface map
// and then the maps of its bases.
//
// Differs from MFC: no command routing, automation or aggregation (the
// External* and Internal* functions do the same); a map entry names a
// function that returns the nested object instead of a byte offset.
#pragma once

#include <unknwn.h>

#include <span>

#include "framework/Afx.h"
#include "framework/ModuleState.h"

class CCmdTarget;

struct AFX_INTERFACEMAP_ENTRY {
    const IID* piid;
    IUnknown* (*pfnGetInterface)(CCmdTarget* pTarget);
};

struct AFX_INTERFACEMAP {
    const AFX_INTERFACEMAP* pBaseMap;
    std::span<const AFX_INTERFACEMAP_ENTRY> entries;
};

template <class T, class X, X T::*pMember>
IUnknown* AfxNestedInterface(CCmdTarget* pTarget) {
    return &(static_cast<T*>(pTarget)->*pMember);
}

// One map entry: iid answered by theClass's nested member m_x<localClass>.
#define INTERFACE_PART(theClass, iid, localClass) \
    { &iid, &AfxNestedInterface<theClass, theClass::X##localClass, &theClass::m_x##localClass> }

class CCmdTarget : public CObject {
public:
    // The count starts at 1, the creator's reference; the creator gives it up
    // with InternalRelease, and the object deletes itself at 0.
    CCmdTarget();
    ~CCmdTarget() override;

    ULONG InternalAddRef();
    ULONG InternalRelease();
    HRESULT InternalQueryInterface(const void* pIID, void** ppvObj);
    ULONG ExternalAddRef() { return InternalAddRef(); }
    ULONG ExternalRelease() { return InternalRelease(); }
    HRESULT ExternalQueryInterface(const void* pIID, void** ppvObj) {
        return InternalQueryInterface(pIID, ppvObj);
    }

    // The object's COM identity (no reference added): the first interface of
    // the most derived map that has one; null for an object without any.
    IUnknown* GetControllingUnknown();

    // The module state the object was made in; its COM methods enter it.
    AFX_MODULE_STATE* m_pModuleState;

protected:
    virtual const AFX_INTERFACEMAP* GetInterfaceMap() const { return &interfaceMap; }
    // Runs when the last reference goes.
    virtual void OnFinalRelease() { delete this; }

    static const AFX_INTERFACEMAP interfaceMap;

private:
    IUnknown* GetInterface(REFIID iid);

    LONG m_dwRef = 1;
};

// The base of a nested interface object: IUnknown goes to the outer object.
template <class I>
class CNestedInterface : public I {
public:
    explicit CNestedInterface(CCmdTarget* pOuter) : m_pOuter(pOuter) {}
    CNestedInterface(const CNestedInterface&) = delete;
    CNestedInterface& operator=(const CNestedInterface&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        return m_pOuter->ExternalQueryInterface(&riid, ppvObject);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return m_pOuter->ExternalAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_pOuter->ExternalRelease(); }

protected:
    ~CNestedInterface() = default;

    CCmdTarget* m_pOuter;
};
