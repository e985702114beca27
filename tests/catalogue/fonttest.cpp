// tests/catalogue/fonttest.cpp - shared pieces of the Windows font tests.
#include "tests/catalogue/fonttest.h"

#include "platform/product.h"
#include "tests/win/winutil.h"

#include <cstdio>

namespace fonttest {

Platform platform()
{
    OSVERSIONINFOA v;
    v.dwOSVersionInfoSize = sizeof v;
    GetVersionExA(&v);
    if (v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        return kWin9x;
    if (v.dwPlatformId != VER_PLATFORM_WIN32_NT)
        return kOther;
    if (v.dwMajorVersion == 3)
        return kNT3;
    if (v.dwMajorVersion == 4)
        return kNT4;
    return kNT5Plus;
}

const char *platformName(Platform p)
{
    switch (p) {
    case kWin9x: return "Windows 95/98/Me";
    case kNT3: return "NT 3.x";
    case kNT4: return "NT 4.0";
    case kNT5Plus: return "NT 5 and later";
    default: return "other";
    }
}

std::string fontFile(const char *name)
{
    return testutil::programFolder() + "fonts\\" + name;
}

std::string systemFonts()
{
    return windowsDir() + "\\Fonts";
}

bool copyFont(const char *name, const std::string &path)
{
    return CopyFileA(fontFile(name).c_str(), path.c_str(), FALSE) != FALSE;
}

ProductBinding::ProductBinding(const char *dll)
{
    chain_.append(nullptr);
    chain_.append(GetModuleHandleA(nullptr));
    if (dll && *dll) {
        module_.reset(LoadLibraryA((testutil::programFolder() + dll).c_str()));
        if (module_)
            chain_.append(module_.get());
    }
}

namespace {

int gFontChanges = 0;

LRESULT CALLBACK counterProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_FONTCHANGE)
        ++gFontChanges;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void pump()
{
    // Posted broadcasts reach this thread's queue at once; a few rounds
    // make sure that nothing is still on its way.
    for (int round = 0; round < 5; ++round) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

}  // namespace

FontChangeCounter::FontChangeCounter() : window_(nullptr)
{
    WNDCLASSA cls;
    ZeroMemory(&cls, sizeof cls);
    cls.lpfnWndProc = counterProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "FontChangeCounter";
    RegisterClassA(&cls);
    window_ = CreateWindowA("FontChangeCounter", "font change counter", WS_OVERLAPPED, 0, 0, 10,
                            10, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    reset();
}

FontChangeCounter::~FontChangeCounter()
{
    if (window_)
        DestroyWindow(window_);
    pump();
}

int FontChangeCounter::count()
{
    pump();
    return gFontChanges;
}

void FontChangeCounter::reset()
{
    pump();
    gFontChanges = 0;
}

const char *expectedFontsKey()
{
    return platform() == kWin9x ? "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts"
                                : "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
}

bool fontsValue(const std::string &name, std::string *data)
{
    return testutil::regGetString(HKEY_LOCAL_MACHINE, expectedFontsKey(), name.c_str(), data);
}

bool hasFontsValue(const char *key, const std::string &name)
{
    std::string data;
    return testutil::regGetString(HKEY_LOCAL_MACHINE, key, name.c_str(), &data);
}

void setRawFontsValue(const std::string &name, const std::string &data)
{
    OwnedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, expectedFontsKey(), 0, KEY_SET_VALUE, key.receive()) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
}

void deleteFontsValue(const std::string &name)
{
    OwnedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, expectedFontsKey(), 0, KEY_SET_VALUE, key.receive()) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key.get(), name.c_str());
}

namespace {

unsigned u16(const std::string &s, size_t at)
{
    return (static_cast<unsigned char>(s[at]) << 8) | static_cast<unsigned char>(s[at + 1]);
}

unsigned u32(const std::string &s, size_t at)
{
    return (u16(s, at) << 16) | u16(s, at + 2);
}

}  // namespace

bool writeDamagedFont(const char *sourceName, Damage damage, const std::string &path)
{
    std::string font = testutil::readFile(fontFile(sourceName));
    if (font.size() < 12)
        return false;
    switch (damage) {
    case kTruncated:
        font.resize(100);
        break;
    case kRandom: {
        unsigned seed = 12345;
        for (size_t i = 0; i < font.size(); ++i) {
            seed = seed * 1103515245u + 12345u;
            font[i] = static_cast<char>(seed >> 16);
        }
        break;
    }
    case kHugeTableCount:
        font[4] = font[5] = '\xFF';
        break;
    case kHugeNameCount: {
        unsigned tables = u16(font, 4);
        bool patched = false;
        for (unsigned i = 0; i < tables; ++i) {
            size_t record = 12 + 16 * i;
            if (font.compare(record, 4, "name") == 0) {
                size_t offset = u32(font, record + 8);
                font[offset + 2] = font[offset + 3] = '\xFF';
                patched = true;
            }
        }
        if (!patched)
            return false;
        break;
    }
    }
    return testutil::writeFile(path, font);
}

std::string versionLabel()
{
    return testutil::versionText() + ", " + platformName(platform());
}

}  // namespace fonttest
