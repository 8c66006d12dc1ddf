// The platform's attach routine: no work of its own, success for every notification.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance, (void)reason, (void)reserved;
    return TRUE;
}
