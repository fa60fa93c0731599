// Posts WM_CLOSE to every launcher window (a layered dialog) on the desktop,
// as the window system does when the user closes it; exit code = windows found.
#include <windows.h>

namespace {

BOOL CALLBACK CloseLauncher(HWND hwnd, LPARAM lParam) {
    wchar_t cls[16] = L"";
    GetClassNameW(hwnd, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0 && (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED)) {
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
        ++*reinterpret_cast<int*>(lParam);
    }
    return TRUE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int found = 0;
    EnumWindows(CloseLauncher, reinterpret_cast<LPARAM>(&found));
    return found;
}
