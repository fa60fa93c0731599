// The demo's stand-in for the game's installer: shows that it is running and
// leaves "demo_installer_ran.txt" (its directory and start time) beside it.
#include <windows.h>

#include <cstdio>

namespace {

void WriteMarker() {
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(directory), directory);
    SYSTEMTIME now;
    GetLocalTime(&now);
    char line[MAX_PATH + 64];
    int n = snprintf(line, sizeof(line), "%s %04u-%02u-%02u %02u:%02u:%02u\n", directory, now.wYear,
                     now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    HANDLE hFile = CreateFileA("demo_installer_ran.txt", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    if (n > 0) WriteFile(hFile, line, static_cast<DWORD>(n), &written, nullptr);
    CloseHandle(hFile);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    WriteMarker();
    MessageBoxW(nullptr,
                L"The game installer is running.\n\n(This is the launcher's demo installer.)",
                L"Demo installer", MB_OK | MB_ICONINFORMATION);
    return 0;
}
