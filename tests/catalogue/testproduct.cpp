// A product module for the tests: `start`, and with MINE_TEST an
// IsMyFontFile export that claims exactly the files whose name holds "ABCD"
// (the opposite of the built-in maker test, so that its use shows).
#include <windows.h>

#include <cstring>

extern "C" __declspec(dllexport) int start(int)
{
    return 1;
}

#ifdef MINE_TEST
extern "C" __declspec(dllexport) unsigned char IsMyFontFile(const char *path)
{
    return std::strstr(path, "ABCD") != nullptr ? 1 : 0;
}
#endif
