// The reference for the launcher's start-up: a bare Win32 window of the
// launcher's size that fills itself and draws one line of text. With a file
// name on its command line it writes there the performance-counter time (in
// seconds) at which its first WM_PAINT ended.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "bench/BenchClock.h"

namespace {

char g_report[MAX_PATH] = "";
bool g_reported = false;

LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(hwnd, &ps);
            RECT rect;
            GetClientRect(hwnd, &rect);
            HBRUSH hBrush = CreateSolidBrush(RGB(40, 60, 90));
            FillRect(hdc, &rect, hBrush);
            DeleteObject(hBrush);
            SetBkMode(hdc, TRANSPARENT);
            SetTextColor(hdc, RGB(210, 173, 25));
            DrawTextW(hdc, L"bare window", -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            EndPaint(hwnd, &ps);
            if (!g_reported && g_report[0]) {
                g_reported = true;
                double at = bench::Seconds();
                if (FILE* f = fopen(g_report, "w")) {
                    fprintf(f, "%.6f\n", at);
                    fclose(f);
                }
            }
            return 0;
        }
        case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nShow) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv && argc > 1)
        WideCharToMultiByte(CP_ACP, 0, argv[1], -1, g_report, sizeof(g_report), nullptr, nullptr);
    LocalFree(argv);

    WNDCLASSEXW wc = {sizeof(wc)};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"BenchBareWindow";
    RegisterClassExW(&wc);
    int x = (GetSystemMetrics(SM_CXSCREEN) - 561) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - 219) / 2;
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"bare", WS_POPUP, x, y, 561, 219, nullptr,
                                nullptr, hInstance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, nShow == SW_HIDE ? SW_SHOWNORMAL : nShow);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
