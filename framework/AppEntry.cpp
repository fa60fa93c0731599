// The program's entry point; kept out of the framework library so that test
// programs can link everything else.
#include "framework/WinApp.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) { return AfxWinMain(hInstance); }
