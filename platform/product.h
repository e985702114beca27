// platform/product.h - binding of the product module and lookups across modules.
//
// The module chain holds, in order: the null handle (the process image for
// the resource calls), the program's own instance and the product module.
// Every lookup walks it from the last entry to the first, so the product
// module is asked first and the program itself last. The run that binds the
// product module owns its chain and hands it to whoever looks things up.
#ifndef PLATFORM_PRODUCT_H
#define PLATFORM_PRODUCT_H

#include "base/system.h"

#include <windows.h>

#include <istream>
#include <memory>
#include <vector>

class ModuleChain {
public:
    void clear() { modules_.clear(); }
    void append(HMODULE module) { modules_.push_back(module); }
    size_t size() const { return modules_.size(); }
    // Entry i counted from the last one: at(0) is asked first.
    HMODULE fromLast(size_t i) const { return modules_[modules_.size() - 1 - i]; }

private:
    std::vector<HMODULE> modules_;
};

// Buffer sizes (chars, NUL included) of the package strings.
const int kCdromNameSize = 960;
const int kRequestCdSize = 256;
const int kNameMapFileSize = 260;
const int kFontTypeSize = 2;
const int kExtensionsSize = 260;

// Drive ("C:") and directory (with its trailing backslash) of the file of
// module into drive (_MAX_DRIVE chars) and dir (_MAX_DIR chars).
bool moduleFolder(HMODULE module, char *drive, char *dir);
// "%s%s%s" of the three parts into out; false when it would not fit.
bool joinPath(char *out, size_t size, const char *a, const char *b, const char *c);

// The string id that key names in module's STRMAP, 0 when there is none.
// Keys are case-sensitive; the first matching line wins.
UINT lookupStringId(HMODULE module, const char *key);

// The package string of key, loaded from the module of chain whose STRMAP
// names it; nullptr when no module answers.
char *findProductString(const ModuleChain &chain, const char *key, char *buffer, int size);
// A new NUL-terminated copy of the first TEXT resource name along the chain;
// the caller frees it with delete[]. nullptr when no module has it.
char *findProductTextResource(const ModuleChain &chain, const char *name);
// The first bitmap of that name along the chain; the caller deletes it.
HBITMAP findProductBitmap(const ModuleChain &chain, const char *name);
// The first export of that name along the chain; the module that has it
// goes to *from when from is given.
FARPROC findProductExport(const ModuleChain &chain, const char *name, HMODULE *from = nullptr);

// 'O' OpenType, 'T' TrueType, 0 when the package names no font type.
char getProductFontType(const ModuleChain &chain);

// Drive letter of the package disc (found by volume label), or 0.
char findProductDisc(const ModuleChain &chain);
// As findProductDisc, asking the user to insert the disc until it is found
// or the user cancels (then 0). A prompt that cannot be shown counts as a
// cancel.
char requestProductDisc(const ModuleChain &chain);

// How the name-map loader opens a file for reading; tests stand in files
// that the disk cannot easily give, such as one that reads back fewer bytes
// than its size.
class FileOpener {
public:
    virtual ~FileOpener() = default;
    // The file at path, or nullptr when it cannot be opened.
    virtual std::unique_ptr<std::istream> open(const char *path) const;
};

// A new NUL-terminated copy of the name-map text: the file named by
// PRODUCT_NAMEMAP beside the program when it can be read whole, else the
// "NameMap.csv" resource. The caller frees it with delete[].
char *loadNameMapText(const ModuleChain &chain, const FileOpener &files = FileOpener());

#endif
