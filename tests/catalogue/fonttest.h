// tests/catalogue/fonttest.h - shared pieces of the Windows tests of font
// registration, Adobe Type Manager support and catalogue loading.
#ifndef TESTS_CATALOGUE_FONTTEST_H
#define TESTS_CATALOGUE_FONTTEST_H

#include "base/handles.h"
#include "platform/product.h"
#include "tests/win/winutil.h"

#include <windows.h>

#include <string>

namespace fonttest {

// The platform rows the installer tells apart.
enum Platform { kWin9x, kNT3, kNT4, kNT5Plus, kOther };
Platform platform();
const char *platformName(Platform p);

// The fonts made at build time, in the "fonts" folder beside the program.
std::string fontFile(const char *name);
using testutil::windowsDir;
// The Windows directory followed by "\Fonts".
std::string systemFonts();
// Copies a generated font to path; false on failure.
bool copyFont(const char *name, const std::string &path);

// Binds the test product module dll (beside the program) as the installer
// binds its product: the chain is nullptr, the program, the module. An empty
// name binds no product module.
class ProductBinding {
public:
    explicit ProductBinding(const char *dll);
    HMODULE module() const { return module_.get(); }
    const ModuleChain &chain() const { return chain_; }

private:
    OwnedModule module_;
    ModuleChain chain_;
};

// A hidden top-level window of the test thread that counts the
// WM_FONTCHANGE messages broadcast to all top-level windows.
class FontChangeCounter {
public:
    FontChangeCounter();
    ~FontChangeCounter();
    // Delivers what was posted so far and returns the count since the last
    // reset.
    int count();
    void reset();

private:
    HWND window_;
};

// The Fonts key of the running platform family, spelled out.
const char *expectedFontsKey();
// Data of a value of the running family's Fonts key; false when missing.
bool fontsValue(const std::string &name, std::string *data);
bool hasFontsValue(const char *key, const std::string &name);
void setRawFontsValue(const std::string &name, const std::string &data);
void deleteFontsValue(const std::string &name);

// A font file damaged in a given way: first 100 bytes only, random bytes,
// a table count of 0xFFFF, a name table claiming 0xFFFF records.
enum Damage { kTruncated, kRandom, kHugeTableCount, kHugeNameCount };
bool writeDamagedFont(const char *sourceName, Damage damage, const std::string &path);

// The emulated version, for failure messages.
std::string versionLabel();

}  // namespace fonttest

#endif
