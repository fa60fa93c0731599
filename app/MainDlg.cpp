#include "app/MainDlg.h"

#include "app/ErrorBox.h"
#include "app/LauncherController.h"
#include "download/DownloadManager.h"
#include "download/HttpFileObject.h"
#include "framework/Gdi.h"
#include "framework/WinApp.h"
#include "launcher_ui/SimpleUISystem.h"
#include "simpleui/SimpleUIRoot.h"

namespace {
constexpr UINT IDR_MAINFRAME = 101;
}

CMainDlg::CMainDlg() : CDialog(IDD) {
    m_hIcon = LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CMainDlg::~CMainDlg() = default;

BOOL CMainDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LauncherController::Instance().HandleMessage(message, wParam, lParam);
    switch (message) {
        case WM_PAINT:
            OnPaint();
            *pResult = 0;
            return TRUE;
        case WM_ERASEBKGND: *pResult = FALSE; return TRUE;
        case WM_QUERYDRAGICON: *pResult = reinterpret_cast<LRESULT>(m_hIcon); return TRUE;
        case WM_CLOSE:
            OnClose();
            *pResult = 0;
            return TRUE;
    }
    return CDialog::OnWndMsg(message, wParam, lParam, pResult);
}

BOOL CMainDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    if (!SetLayeredWindowAttributes(m_hWnd, kColorKey, 0, LWA_COLORKEY)) ShowLastErrorBox(0);

    LauncherUi().m_pOwner = this;
    LauncherUi().InitWidgets();
    LauncherController::Instance().Start(m_hWnd);

    int cxScreen = GetSystemMetrics(SM_CXSCREEN);
    int cyScreen = GetSystemMetrics(SM_CYSCREEN);
    MoveWindow(CentredOrigin(cxScreen, kWidth), CentredOrigin(cyScreen, kHeight), kWidth, kHeight,
               TRUE);
    return TRUE;
}

void CMainDlg::OnPaint() {
    if (!IsIconic(m_hWnd)) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    int cxIcon = GetSystemMetrics(SM_CXICON);
    int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    int x = (rect.right - rect.left - cxIcon + 1) / 2;
    int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
}

// Tears down the widgets and stops the worker before the dialog ends.
void CMainDlg::OnClose() {
    SimpleUISystem& ui = LauncherUi();
    if (ui.m_pRoot) {
        delete ui.m_pRoot;
        ui.m_pRoot = nullptr;
    }
    DownloadManager& manager = DownloadManager::Instance();
    SetEvent(manager.m_hStopEvent);
    if (CHttpFileObject* pWorker = manager.m_pHttpWorker) {
        PostThreadMessageW(pWorker->m_nThreadID, WM_QUIT, 0, 0);
        // A worker still running after the wait keeps its object until the
        // process ends; destroying it under the thread would be worse.
        if (WaitForSingleObject(pWorker->m_hThread, kWorkerWaitMs) == WAIT_OBJECT_0) delete pWorker;
        manager.m_pHttpWorker = nullptr;
    }
    Default();
}
