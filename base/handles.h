// base/handles.h - owners of system handles: each releases its handle when it
// goes out of scope, so that no return path can leak one. Owners move but
// never copy. get() lends the handle; release() gives it up without closing.
#ifndef BASE_HANDLES_H
#define BASE_HANDLES_H

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>

// One handle of the kind that Traits describes: Traits::Type, the value that
// means "none" (Traits::none()) and the call that releases it (Traits::close).
template <class Traits>
class Owned {
public:
    typedef typename Traits::Type Type;

    Owned() : handle_(Traits::none()) {}
    explicit Owned(Type handle) : handle_(handle) {}
    Owned(Owned &&other) : handle_(other.release()) {}
    Owned &operator=(Owned &&other)
    {
        reset(other.release());
        return *this;
    }
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;
    ~Owned() { reset(); }

    Type get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::none(); }
    Type release()
    {
        Type handle = handle_;
        handle_ = Traits::none();
        return handle;
    }
    void reset(Type handle = Traits::none())
    {
        if (handle_ != Traits::none())
            Traits::close(handle_);
        handle_ = handle;
    }
    // The address to pass to a call that hands out a new handle.
    Type *receive()
    {
        reset();
        return &handle_;
    }

private:
    Type handle_;
};

namespace handle_traits {

struct Kernel {  // threads, processes, events: none is nullptr
    typedef HANDLE Type;
    static Type none() { return nullptr; }
    static void close(Type h) { CloseHandle(h); }
};
struct File {  // CreateFileA: none is INVALID_HANDLE_VALUE
    typedef HANDLE Type;
    static Type none() { return INVALID_HANDLE_VALUE; }
    static void close(Type h) { CloseHandle(h); }
};
struct Find {
    typedef HANDLE Type;
    static Type none() { return INVALID_HANDLE_VALUE; }
    static void close(Type h) { FindClose(h); }
};
struct Key {
    typedef HKEY Type;
    static Type none() { return nullptr; }
    static void close(Type h) { RegCloseKey(h); }
};
struct Stdio {
    typedef FILE *Type;
    static Type none() { return nullptr; }
    static void close(Type h) { std::fclose(h); }
};
template <class T>
struct Gdi {
    typedef T Type;
    static Type none() { return nullptr; }
    static void close(Type h) { DeleteObject(h); }
};
struct Icon {
    typedef HICON Type;
    static Type none() { return nullptr; }
    static void close(Type h) { DestroyIcon(h); }
};
struct ImageList {
    typedef HIMAGELIST Type;
    static Type none() { return nullptr; }
    static void close(Type h) { ImageList_Destroy(h); }
};
struct Module {
    typedef HMODULE Type;
    static Type none() { return nullptr; }
    static void close(Type h) { FreeLibrary(h); }
};
struct MemoryDC {
    typedef HDC Type;
    static Type none() { return nullptr; }
    static void close(Type h) { DeleteDC(h); }
};
template <class T>
struct Com {
    typedef T *Type;
    static Type none() { return nullptr; }
    static void close(Type p) { p->Release(); }
};

}  // namespace handle_traits

typedef Owned<handle_traits::Kernel> OwnedHandle;
typedef Owned<handle_traits::File> OwnedFile;
typedef Owned<handle_traits::Find> OwnedFind;
typedef Owned<handle_traits::Key> OwnedKey;
typedef Owned<handle_traits::Icon> OwnedIcon;
typedef Owned<handle_traits::ImageList> OwnedImageList;
typedef Owned<handle_traits::Module> OwnedModule;
typedef Owned<handle_traits::MemoryDC> OwnedMemoryDC;  // CreateCompatibleDC
typedef Owned<handle_traits::Gdi<HBITMAP>> OwnedBitmap;
typedef Owned<handle_traits::Gdi<HFONT>> OwnedFont;
template <class T>
using ComRef = Owned<handle_traits::Com<T>>;

// A C stream; close() reports whether the last buffered writes reached the file.
class OwnedStdio : public Owned<handle_traits::Stdio> {
public:
    OwnedStdio() = default;
    explicit OwnedStdio(FILE *f) : Owned(f) {}
    // fclose's result: false when the stream could not be closed cleanly
    // (or was not open).
    bool close()
    {
        FILE *f = release();
        return f && std::fclose(f) == 0;
    }
};

// The device context of a window, from GetDC, given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDC(const WindowDC &) = delete;
    WindowDC &operator=(const WindowDC &) = delete;
    ~WindowDC()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
// A null object selects nothing.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr)
    {
    }
    SelectedObject(const SelectedObject &) = delete;
    SelectedObject &operator=(const SelectedObject &) = delete;
    ~SelectedObject()
    {
        if (previous_)
            SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// An item list of the shell, freed through the shell's allocator.
class OwnedItemList {
public:
    OwnedItemList(IMalloc *allocator, LPITEMIDLIST list) : allocator_(allocator), list_(list) {}
    OwnedItemList(const OwnedItemList &) = delete;
    OwnedItemList &operator=(const OwnedItemList &) = delete;
    ~OwnedItemList()
    {
        if (list_)
            allocator_->Free(list_);
    }
    LPITEMIDLIST get() const { return list_; }

private:
    IMalloc *allocator_;
    LPITEMIDLIST list_;
};

#endif
