#include "download/FtpFileObject.h"

IMPLEMENT_DYNCREATE(CFtpFileObject)

bool CFtpFileObject::PrepareRequest(const std::wstring&, const std::wstring&, const std::wstring&,
                                    const std::wstring&, const std::wstring&) {
    return false;
}

void CFtpFileObject::StartRequest(const std::wstring&, bool, HANDLE) {}
