// tools/automation/remote.cpp - driving the installer's windows from another process.
#include "tools/automation/remote.h"

#include <cstring>

namespace automation {

namespace {

struct Search {
    DWORD pid;
    const std::string *caption;
    HWND except;
    HWND found;
};

BOOL CALLBACK match(HWND hwnd, LPARAM lParam)
{
    Search *s = reinterpret_cast<Search *>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid || !IsWindowVisible(hwnd) || hwnd == s->except)
        return TRUE;
    if (s->caption && windowText(hwnd) != *s->caption)
        return TRUE;
    s->found = hwnd;
    return FALSE;
}

}  // namespace

std::string windowText(HWND hwnd)
{
    char text[1024] = "";
    // WM_GETTEXT crosses processes with its buffer copied back.
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

HWND waitForWindow(DWORD pid, const std::string &caption, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 50) {
        Search s = {pid, &caption, nullptr, nullptr};
        EnumWindows(match, reinterpret_cast<LPARAM>(&s));
        if (s.found)
            return s.found;
        Sleep(50);
    }
    return nullptr;
}

HWND findOtherWindow(DWORD pid, HWND except)
{
    Search s = {pid, nullptr, except, nullptr};
    EnumWindows(match, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

bool waitForWindowGone(HWND hwnd, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 50) {
        if (!IsWindow(hwnd) || !IsWindowVisible(hwnd))
            return true;
        Sleep(50);
    }
    return false;
}

void click(HWND hwnd, POINT client)
{
    POINT screen = client;
    ClientToScreen(hwnd, &screen);
    SetCursorPos(screen.x, screen.y);
    Sleep(60);
    INPUT input[2];
    std::memset(input, 0, sizeof input);
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
    Sleep(250);
}

void clickCenter(HWND hwnd)
{
    RECT r;
    GetClientRect(hwnd, &r);
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    click(hwnd, p);
}

bool saveScreenshot(const std::string &path)
{
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    WindowDC screen(nullptr);
    OwnedMemoryDC memory(CreateCompatibleDC(screen.get()));
    OwnedBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    {
        SelectedObject selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY);
    }

    BITMAPINFOHEADER info;
    std::memset(&info, 0, sizeof info);
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    DWORD stride = ((width * 3) + 3) & ~3u;
    std::vector<char> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(memory.get(), bitmap.get(), 0, height, pixels.data(),
              reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS);

    BITMAPFILEHEADER file;
    std::memset(&file, 0, sizeof file);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    OwnedFile out(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!out)
        return false;
    DWORD n;
    return WriteFile(out.get(), &file, sizeof file, &n, nullptr) &&
           WriteFile(out.get(), &info, sizeof info, &n, nullptr) &&
           WriteFile(out.get(), pixels.data(), static_cast<DWORD>(pixels.size()), &n, nullptr);
}

RemoteTree::RemoteTree(HWND tree, DWORD pid) : tree_(tree), memory_(nullptr)
{
    process_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (process_)
        memory_ = static_cast<char *>(
            VirtualAllocEx(process_.get(), nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

RemoteTree::~RemoteTree()
{
    if (memory_)
        VirtualFreeEx(process_.get(), memory_, 0, MEM_RELEASE);
}

std::vector<TreeItem> RemoteTree::items()
{
    std::vector<TreeItem> out;
    struct Walk {
        static void run(RemoteTree *self, HTREEITEM item, HTREEITEM parent, int depth,
                        std::vector<TreeItem> *out)
        {
            for (; item; item = TreeView_GetNextSibling(self->tree_, item)) {
                TVITEMA tv;
                std::memset(&tv, 0, sizeof tv);
                tv.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_CHILDREN | TVIF_HANDLE;
                tv.hItem = item;
                tv.pszText = self->memory_ + 1024;
                tv.cchTextMax = 512;
                SIZE_T n;
                WriteProcessMemory(self->process_.get(), self->memory_, &tv, sizeof tv, &n);
                SendMessageA(self->tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(self->memory_));
                ReadProcessMemory(self->process_.get(), self->memory_, &tv, sizeof tv, &n);
                char text[513] = "";
                ReadProcessMemory(self->process_.get(), self->memory_ + 1024, text, 512, &n);
                TreeItem ti = {item, parent, depth, text, tv.iImage, tv.cChildren != 0};
                out->push_back(ti);
                run(self, TreeView_GetChild(self->tree_, item), item, depth + 1, out);
            }
        }
    };
    if (memory_)
        Walk::run(this, TreeView_GetRoot(tree_), nullptr, 0, &out);
    return out;
}

TreeItem RemoteTree::find(const std::string &text)
{
    for (const TreeItem &item : items()) {
        if (item.text == text)
            return item;
    }
    TreeItem none = {nullptr, nullptr, 0, "", -1, false};
    return none;
}

RECT RemoteTree::textRect(HTREEITEM item)
{
    RECT r = {0, 0, 0, 0};
    std::memcpy(&r, &item, sizeof item);
    SIZE_T n;
    WriteProcessMemory(process_.get(), memory_, &r, sizeof r, &n);
    SendMessageA(tree_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(memory_));
    ReadProcessMemory(process_.get(), memory_, &r, sizeof r, &n);
    return r;
}

void RemoteTree::clickBox(HTREEITEM item)
{
    TreeView_EnsureVisible(tree_, item);
    RECT r = textRect(item);
    POINT p = {r.left - 10, (r.top + r.bottom) / 2};
    click(tree_, p);
}

void RemoteTree::expandAll()
{
    for (int pass = 0; pass < 3; ++pass) {
        for (const TreeItem &item : items()) {
            if (item.hasChildren)
                TreeView_Expand(tree_, item.handle, TVE_EXPAND);
        }
    }
}

}  // namespace automation
