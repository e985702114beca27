// tests/ui/showcase.cpp - shows the real main dialog over the installer's own
// name map for screenshots (tools/screenshot.sh).
//
//   showcase.exe [/tip | /user] RECTFILE
//
// The catalogue comes from the stand-in services: the ten fonts of the installer's
// NAMEMAP.CSV in the user's language, six of them on the "disc", two
// installed, two nowhere. Two fonts are ticked; once the dialog is up the
// screen rectangle of its client area is written to RECTFILE, and the program ends when that
// file has been removed. With /tip the fonts carry longer labels two levels
// deep, every category is open and the mouse rests on the first label that
// the size column cuts, so that its tool tip shows the whole name. With /user
// the dialog installs for the current user alone, into the user's own fonts
// folder, as for a user without administrator rights on Windows 10 1809 and later.
#include "base/handles.h"
#include "controls/checkboxtree.h"
#include "dialogs/installerdialog.h"
#include "platform/fontreg.h"
#include "platform/product.h"
#include "platform/scope.h"
#include "tests/ui/catalogue_double.h"

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <thread>

namespace {

const char *const kKeys[] = {NAME_SUITCASE, NAME_MARUKAN, NAME_LOCAL, NAME_ROMAN,
                             NAME_POSTSCRIPT, NAME_CATEGORY, NAME_LOCAL_SHORT, NAME_REGISTRY};
const char *const kSizes[] = {"2345678", "3100000", "1048576", "4500000", "5000000",
                              "2000000", "3456789", "2222222"};

// With longNames, each font sits two levels deep, under its family (its
// local name without the weight), and is labelled with its full local name:
// longer labels, as a real package has.
void loadRows(bool longNames, catalogue_double::Settings &settings)
{
    DWORD size = 0;
    const char *bytes = findTextResource(GetModuleHandleA(nullptr), "NAMEMAP.CSV", &size);
    if (!bytes)
        return;
    std::string text(bytes, size);
    std::istringstream lines(text);
    std::string line;
    int index = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        catalogue_double::Row row;
        std::istringstream fields(line);
        std::string field;
        std::string local;
        for (const char *key : kKeys) {
            if (!std::getline(fields, field, ','))
                break;
            if (longNames && key == NAME_LOCAL)
                local = field;
            if (longNames && key == NAME_CATEGORY)
                field += "\\" + local.substr(0, local.rfind(' '));
            if (longNames && key == NAME_LOCAL_SHORT)
                field = local;
            row.push_back({key, field});
        }
        if (index < 6)
            row.push_back({F_AVAILABLE, "1"});
        else if (index < 8)
            row.push_back({F_INSTALLED, "1"});
        if (index < 8)
            row.push_back({SIZE_ALL, kSizes[index]});
        settings.rows.push_back(row);
        ++index;
    }
}

void expandAll(HWND tree, HTREEITEM parent)
{
    for (HTREEITEM it = reinterpret_cast<HTREEITEM>(
             SendMessageA(tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
         it; it = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(it)))) {
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(it));
        expandAll(tree, it);
    }
}

// Moves the mouse, as a user would, onto the visible part of the first label
// that reaches under the size column.
void hoverCutLabel(FontTreeCtrl *fonts)
{
    HWND tree = fonts->handle();
    expandAll(tree, nullptr);
    RECT column;
    GetWindowRect(fonts->sizeColumn(), &column);
    MapWindowPoints(nullptr, tree, reinterpret_cast<POINT *>(&column), 2);
    for (HTREEITEM it = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); it;
         it = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(it)))) {
        SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(it));
        RECT r;
        std::memcpy(&r, &it, sizeof it);
        if (!SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)) || r.right <= column.left)
            continue;
        POINT pt = {(r.left + column.left) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(tree, &pt);
        SetCursorPos(pt.x, pt.y);
        INPUT input;
        ZeroMemory(&input, sizeof input);
        input.type = INPUT_MOUSE;
        int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        input.mi.dx = (pt.x * 65536 + width - 1) / width;
        input.mi.dy = (pt.y * 65536 + height - 1) / height;
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof input);
        return;
    }
}

void stage(InstallerDialog *dialog, const char *rectFile, bool tip)
{
    while (!dialog->handle() || !IsWindowVisible(dialog->handle()))
        Sleep(50);
    HWND tree = dialog->fontTree()->handle();
    HTREEITEM category = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(category));
    HTREEITEM first = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(category)));
    FontTreeCtrl *fonts = dialog->fontTree();
    // Tick the first two fonts that can be chosen; the tree never makes a
    // grayed mixed box by itself, so the last font that is gray and
    // unchecked shows one, and all six pictures are on screen.
    int ticked = 0;
    HTREEITEM last = nullptr;
    for (HTREEITEM it = first; it; it = reinterpret_cast<HTREEITEM>(
                                       SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(it)))) {
        if (fonts->isItemEnabled(it) && ticked < 2) {
            fonts->toggleItem(it);
            ++ticked;
        } else if (!fonts->isItemEnabled(it) && fonts->getCheckState(it) == CHECK_NONE) {
            last = it;
        }
    }
    if (last)
        fonts->setCheckState(last, CHECK_MIXED);
    SetForegroundWindow(dialog->handle());
    if (tip)
        hoverCutLabel(fonts);
    InvalidateRect(dialog->handle(), nullptr, TRUE);
    Sleep(1500);

    // The client area: without a window manager no frame is drawn.
    RECT r;
    GetClientRect(dialog->handle(), &r);
    MapWindowPoints(dialog->handle(), nullptr, reinterpret_cast<POINT *>(&r), 2);
    if (OwnedStdio f{std::fopen(rectFile, "w")})
        std::fprintf(f.get(), "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    while (GetFileAttributesA(rectFile) != INVALID_FILE_ATTRIBUTES)
        Sleep(100);
    PostMessageA(dialog->handle(), WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    InitCommonControls();
    catalogue_double::FakeServices services;
    ModuleChain chain;
    chain.append(nullptr);
    chain.append(GetModuleHandleA(nullptr));
    std::string args = commandLine ? commandLine : "";
    bool tip = args.compare(0, 5, "/tip ") == 0;
    if (tip)
        args.erase(0, 5);
    bool user = args.compare(0, 6, "/user ") == 0;
    if (user) {
        args.erase(0, 6);
        char folder[kFontsValueSize];
        if (getUserFontFolder(folder, sizeof folder))
            services.settings.defaultFolder = folder;
    }
    loadRows(tip, services.settings);
    std::string rectFile = !args.empty() ? args : "showcase-rect.txt";
    InstallerDialog dialog(services, chain, user ? FontScope::User : FontScope::Machine);
    std::thread stager(stage, &dialog, rectFile.c_str(), tip);
    dialog.run();
    stager.join();
    return 0;
}
