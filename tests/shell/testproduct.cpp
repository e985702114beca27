// Entry of the test product modules; START_RESULT selects what `start` says.
#include <windows.h>

#ifndef NO_START
extern "C" __declspec(dllexport) int start(int)
{
    return START_RESULT;
}
#endif

extern "C" __declspec(dllexport) int productMarker()
{
    return 7;
}
