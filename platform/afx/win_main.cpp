// The program's entry point: the framework runs the application object.

#include "afxwin.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nShowCmd) {
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nShowCmd);
}
