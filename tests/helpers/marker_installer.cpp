// Stands in for the game's installer in tests: records that it ran, and
// from which directory, in "installer_ran.txt" in its current directory.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(directory), directory);
    HANDLE hFile = CreateFileA("installer_ran.txt", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(hFile, directory, lstrlenA(directory), &written, nullptr);
    WriteFile(hFile, "\n", 1, &written, nullptr);
    CloseHandle(hFile);
    return 0;
}
