// controls/folderchooser.cpp - the system's folder chooser, asked again
// until the choice is a folder of the file system.
#include "controls/folderchooser.h"

#include "base/handles.h"
#include "base/path.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

bool browseForFolder(char *buffer, int capacity)
{
    ComRef<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.receive())) || !allocator)
        return false;
    char path[MAX_PATH];
    std::memset(path, 0, sizeof path);

    for (;;) {
        LPITEMIDLIST rootList = nullptr;
        if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &rootList)) || !rootList)
            return false;
        OwnedItemList root(allocator.get(), rootList);
        BROWSEINFOA info;
        std::memset(&info, 0, sizeof info);
        info.hwndOwner = nullptr;
        info.pidlRoot = root.get();
        info.pszDisplayName = path;
        info.lpszTitle = "";
        info.ulFlags = 0;
        OwnedItemList item(allocator.get(), SHBrowseForFolderA(&info));
        if (!item.get())
            return false;

        BOOL converted = SHGetPathFromIDListA(item.get(), path);
        DWORD attributes = converted ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            if (capacity > 0) {
                // At most capacity - 1 bytes, never half a double-byte character.
                size_t n = fitChars(path, static_cast<size_t>(capacity) - 1);
                std::memcpy(buffer, path, n);
                buffer[n] = '\0';
            }
            return true;
        }
        MessageBoxA(nullptr, "Not a file directory", "Warning", MB_OK | MB_ICONWARNING);
    }
}
