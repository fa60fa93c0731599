// CMainApp: the application object. Installs the browser-control support,
// then runs the main dialog as the program's only main loop.
#pragma once

#include "framework/WinApp.h"

class CMainApp : public CWinAppEx {
public:
    CMainApp();
    ~CMainApp() override;

    // TRUE when the dialog ended with IDCANCEL, FALSE for any other end.
    BOOL InitInstance() override;
};
