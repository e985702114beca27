// dialogs/installerdialog.cpp - the installer's main dialog and its About box.
#include "dialogs/installerdialog.h"

#include "base/system.h"
#include "controls/summary.h"
#include "platform/product.h"
#include "platform/scope.h"
#include "resources/resource.h"

#include <shellapi.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

const int kTextSize = 256;
const int kFolderSize = 260;
const int kToggleImageWidth = 20;
const int kBadgeImageWidth = 44;
const COLORREF kMaskColor = RGB(255, 255, 255);

// The cursor is an hourglass while an instance lives.
class WaitCursor {
public:
    WaitCursor() : old_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
    ~WaitCursor() { SetCursor(old_); }

private:
    HCURSOR old_;
};

HICON imageListIcon(int bitmapId, int imageWidth, int index)
{
    OwnedImageList list(ImageList_LoadImageA(installerModule(), MAKEINTRESOURCEA(bitmapId),
                                             imageWidth, 0, kMaskColor, IMAGE_BITMAP, LR_DEFAULTCOLOR));
    if (!list)
        return nullptr;
    return ImageList_GetIcon(list.get(), index, ILD_NORMAL);
}

}  // namespace

INT_PTR AboutDialog::run(HWND owner)
{
    return runModal(installerModule(), IDD_ABOUT, owner);
}

InstallerDialog::InstallerDialog(InstallerServices &services, const ModuleChain &product, FontScope scope)
    : services_(services), product_(product), scope_(scope), fontsChanged_(false), folderChosen_(false)
{
}

InstallerDialog::~InstallerDialog() = default;

INT_PTR InstallerDialog::run()
{
    return runModal(installerModule(), IDD_INSTALLER, nullptr);
}

int InstallerDialog::mode() const
{
    return static_cast<int>(SendDlgItemMessageA(hwnd_, IDC_MODE, CB_GETCURSEL, 0, 0));
}

bool InstallerDialog::dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT &result)
{
    typedef InstallerDialog C;
    static const ui::MessageMapEntry<C> kMap[] = {
        {WM_INITDIALOG, 0, 0, &C::OnInitDialog},
        {WM_SYSCOMMAND, 0, 0, &C::OnSysCommand},
        {WM_PAINT, 0, 0, &C::OnPaint},
        {WM_QUERYDRAGICON, 0, 0, &C::OnQueryDragIcon},
        {WM_COMMAND, BN_CLICKED, IDC_TO_WHERE, &C::OnToWhere},
        {WM_COMMAND, BN_CLICKED, IDOK, &C::OnStart},
        {WM_COMMAND, CBN_SELCHANGE, IDC_MODE, &C::OnModeSelected},
        {WM_COMMAND, BN_CLICKED, IDCANCEL, &C::OnExit},
        {WM_NOTIFY, TVN_SELCHANGEDA, IDC_FONT_TREE, &C::OnSelChanged},
        {WM_NOTIFY, TVN_SELCHANGEDW, IDC_FONT_TREE, &C::OnSelChanged},
        {WM_NOTIFY, TN_CHECKCHANGED, IDC_FONT_TREE, &C::OnCheckChanged},
        {WM_COMMAND, STN_CLICKED, IDC_LAYOUT_TOGGLE, &C::OnLayoutToggle},
        {DM_GETFOLDER, 0, 0, &C::OnGetFolder},
    };
    return ui::dispatchMessageMap(this, kMap, msg, wParam, lParam, result);
}

LRESULT InstallerDialog::OnInitDialog(WPARAM, LPARAM)
{
    char text[kTextSize];
    HMENU menu = GetSystemMenu(hwnd_, FALSE);
    if (menu && loadText(IDS_ABOUT_MENU, text, sizeof text)) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, kAboutCommand, text);
    }

    icon_.reset(static_cast<HICON>(LoadImageA(installerModule(), MAKEINTRESOURCEA(IDI_PROGRAM),
                                              IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                              GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.reset(static_cast<HICON>(LoadImageA(installerModule(), MAKEINTRESOURCEA(IDI_PROGRAM),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0)));
    send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

    for (UINT id : {IDS_MODE_INSTALL, IDS_MODE_UNINSTALL}) {
        loadText(id, text, sizeof text);
        SendDlgItemMessageA(hwnd_, IDC_MODE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }

    refreshContents();
    return TRUE;
}

void InstallerDialog::refreshContents()
{
    WaitCursor wait;
    bool firstTime = firstLoad_;
    // The controls are set up once per dialog, so that a second dialog in
    // the same process gets its own tree instead of none.
    bool setUp = !tree_;

    if (setUp) {
        tree_.reset(new FontTreeCtrl);
        tree_->subclass(item(IDC_FONT_TREE));
        tree_->init();
        summary_.init();
        summary_.render(item(IDC_SUMMARY));
        char folder[kFolderSize];
        if (services_.defaultFontFolder(product_, scope_, folder))
            setInstallFolder(folder);
        // A user's fonts go into the user's own fonts folder, and the
        // dialog says for whom they are.
        if (scope_ == FontScope::User) {
            char note[kTextSize];
            if (loadText(IDS_USER_SCOPE_NOTE, note, sizeof note))
                setItemText(IDC_SCOPE_NOTE, note);
            ShowWindow(item(IDC_SCOPE_NOTE), SW_SHOWNA);
        }
    }

    {
        // The tree is drawn once, when it is full and shows the mode.
        CheckBoxTreeCtrl::RedrawHold hold(*tree_);
        tree_->send(TM_DELETEALL);
        services_.loadCatalogue(catalogue_, product_, scope_, firstTime);
        std::vector<FontEntry *> entries;
        entries.reserve(catalogue_.size());
        for (size_t i = 0; i < catalogue_.size(); ++i)
            entries.push_back(catalogue_.at(i));
        tree_->send(TM_ADDENTRIES, entries.size(), reinterpret_cast<LPARAM>(entries.data()));

        if (setUp)
            SendDlgItemMessageA(hwnd_, IDC_MODE, CB_SETCURSEL, MODE_INSTALL, 0);
        updateModeControls();
    }

    if (setUp) {
        setToggleIcon(0);
        RECT client, toggle;
        GetClientRect(hwnd_, &client);
        GetWindowRect(item(IDC_LAYOUT_TOGGLE), &toggle);
        int height = toggle.bottom - toggle.top;
        SetWindowPos(item(IDC_LAYOUT_TOGGLE), nullptr, client.left, client.bottom - height, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        badgeIcon_.reset(imageListIcon(IDB_PROGRAM_BADGE, kBadgeImageWidth, 0));
        SendDlgItemMessageA(hwnd_, IDC_BADGE, STM_SETICON, reinterpret_cast<WPARAM>(badgeIcon_.get()),
                            0);
        showSample(nullptr);
    }
    firstLoad_ = false;
}

void InstallerDialog::setToggleIcon(int image)
{
    OwnedIcon icon(imageListIcon(IDB_LAYOUT_TOGGLE, kToggleImageWidth, image));
    SendDlgItemMessageA(hwnd_, IDC_LAYOUT_TOGGLE, STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
    toggleIcon_ = std::move(icon);
}

void InstallerDialog::updateModeControls()
{
    int current = mode();
    bool install = current == MODE_INSTALL;
    enableItem(IDC_TO_WHERE, install && scope_ == FontScope::Machine);
    enableItem(IDC_FOLDER, install);
    enableItem(IDOK, true);
    tree_->send(TM_SETMODE, static_cast<WPARAM>(current));
    updateSelectionCounts();
}

void InstallerDialog::updateSelectionCounts()
{
    CheckedParams checked;
    tree_->send(TM_GETCHECKEDPARAMS, 0, reinterpret_cast<LPARAM>(&checked));
    // The total is shown as a 32-bit number; a selection beyond its range
    // shows the largest one instead of wrapping round to a negative size.
    long long sum = 0;
    for (const FontEntry *entry : checked)
        sum += entry->getPropertyNumber(SIZE_ALL);
    long total = sum > LONG_MAX ? LONG_MAX : static_cast<long>(sum);

    char text[32];
    summary_.setValue(IDS_SUMMARY_REQUIRED, FormatMegabytes(total, text), nullptr);
    std::snprintf(text, sizeof text, "%d", static_cast<int>(checked.size()));
    summary_.setValue(IDS_SUMMARY_COUNT, text, item(IDC_SUMMARY));
}

void InstallerDialog::setInstallFolder(const char *path)
{
    setItemText(IDC_FOLDER, path);
    folderChosen_ = true;
    char root[] = "X:\\";
    root[0] = path[0];
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    char text[64] = "---";
    if (GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) {
        unsigned long long freeBytes = static_cast<unsigned long long>(sectorsPerCluster) *
                                       bytesPerSector * freeClusters;
        std::snprintf(text, sizeof text, "%.1fM", static_cast<double>(freeBytes >> 20));
    }
    summary_.setValue(IDS_SUMMARY_FREE, text, item(IDC_SUMMARY));
}

void InstallerDialog::showSample(const FontEntry *entry)
{
    char name[kTextSize] = "SAMPLE_MISSING";
    if (entry)
        entry->getProperty(NAME_POSTSCRIPT, name, sizeof name);
    OwnedBitmap bitmap(findProductBitmap(product_, name));
    HGDIOBJ previous = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(
        hwnd_, IDC_SAMPLE, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.get())));
    // The control hands back the bitmap shown before, or a copy that it made
    // of it; the dialog owns both, and the new one until the next change.
    if (previous && previous != sample_.get() && previous != bitmap.get())
        DeleteObject(previous);
    sample_ = std::move(bitmap);
}

void InstallerDialog::moveControlBy(int id, int dy, int dheight)
{
    HWND control = item(id);
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT *>(&r), 2);
    SetWindowPos(control, nullptr, r.left, r.top + dy, r.right - r.left, r.bottom - r.top + dheight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void InstallerDialog::toggleTallLayout()
{
    WINDOWPLACEMENT placement;
    placement.length = sizeof placement;
    GetWindowPlacement(hwnd_, &placement);
    const RECT &now = placement.rcNormalPosition;
    int width = now.right - now.left;
    if (!tallLayout_) {
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        normalRect_ = now;
        int gained = (work.bottom - work.top) - (now.bottom - now.top);
        SetWindowPos(hwnd_, nullptr, now.left, work.top, width, work.bottom - work.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        moveControlBy(IDC_FONT_TREE, 0, gained);
        moveControlBy(IDC_LAYOUT_TOGGLE, gained, 0);
        setToggleIcon(1);
        tallLayout_ = true;
    } else {
        int lost = (now.bottom - now.top) - (normalRect_.bottom - normalRect_.top);
        SetWindowPos(hwnd_, nullptr, now.left, normalRect_.top, width,
                     normalRect_.bottom - normalRect_.top, SWP_NOZORDER | SWP_NOACTIVATE);
        moveControlBy(IDC_FONT_TREE, 0, -lost);
        moveControlBy(IDC_LAYOUT_TOGGLE, -lost, 0);
        setToggleIcon(0);
        tallLayout_ = false;
    }
}

LRESULT InstallerDialog::OnSysCommand(WPARAM wParam, LPARAM)
{
    if ((wParam & 0xFFF0) == kAboutCommand) {
        AboutDialog about;
        about.run(hwnd_);
    } else {
        markUnhandled();
    }
    return 0;
}

LRESULT InstallerDialog::OnPaint(WPARAM, LPARAM)
{
    if (!IsIconic(hwnd_)) {
        markUnhandled();
        return 0;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT client;
    GetClientRect(hwnd_, &client);
    int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_.get());
    EndPaint(hwnd_, &ps);
    return 0;
}

LRESULT InstallerDialog::OnQueryDragIcon(WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>(icon_.get());
}

LRESULT InstallerDialog::OnToWhere(WPARAM, LPARAM)
{
    char folder[kFolderSize];
    if (!services_.chooseFolder(folder, sizeof folder))
        return 0;
    if (mode() == MODE_INSTALL && isNT4()) {
        char fonts[kFolderSize];
        if (services_.systemFontFolder(fonts) && lstrcmpiA(folder, fonts) == 0) {
            if (showMessage(IDS_NT4_FOLDER_WARNING, MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2) ==
                IDCANCEL)
                return 0;
        }
    }
    setInstallFolder(folder);
    return 0;
}

LRESULT InstallerDialog::OnStart(WPARAM, LPARAM)
{
    // Nothing ticked: Start does nothing.
    InstallJob job;
    job.mainDialog = hwnd_;
    job.product = &product_;
    job.scope = scope_;
    tree_->send(TM_GETCHECKEDPARAMS, 0, reinterpret_cast<LPARAM>(&job.entries));
    if (job.entries.empty())
        return 0;
    // The run takes the folder shown now; none when none has been set.
    char folder[kTextSize];
    if (folderText(folder) > 0)
        job.folder = folder;
    int current = mode();
    if (current == MODE_INSTALL) {
        RunSummary summary = services_.runInstall(job);
        // The entries go with the refresh: the refused font's name is kept.
        std::string refused;
        if (summary.systemFull) {
            const std::string *name = summary.systemFull->findProperty(NAME_LOCAL);
            if (!name)
                name = summary.systemFull->findProperty(NAME_POSTSCRIPT);
            refused = name ? *name : std::string();
        }
        refreshContents();
        fontsChanged_ = true;
        if (summary.systemFull)
            showFontListFull(refused.c_str());
    } else if (current == MODE_UNINSTALL) {
        RunSummary summary = services_.runUninstall(job);
        refreshContents();
        fontsChanged_ = true;
        // A font that could not be removed shows as installed in the view
        // just rebuilt, as a font that could not be installed shows as not
        // installed; the message says only what is true.
        if (summary.failed == 0)
            showMessage(IDS_FONTS_REMOVED, MB_OK);
    }
    return 0;
}

int showInstallerMessage(HWND owner, UINT textId, UINT type)
{
    char text[kTextSize], title[kTextSize];
    loadText(textId, text, sizeof text);
    loadText(IDS_PROGRAM_TITLE, title, sizeof title);
    return MessageBoxA(owner, text, title, type);
}

int InstallerDialog::showMessage(UINT textId, UINT type)
{
    return showInstallerMessage(hwnd_, textId, type);
}

void InstallerDialog::showFontListFull(const char *font)
{
    // The format has one %s, for the font's name (at most 255 bytes).
    char format[kTextSize * 2], text[kTextSize * 4], title[kTextSize];
    loadText(IDS_FONT_LIST_FULL, format, sizeof format);
    std::snprintf(text, sizeof text, format, font);
    loadText(IDS_PROGRAM_TITLE, title, sizeof title);
    MessageBoxA(hwnd_, text, title, MB_OK | MB_ICONEXCLAMATION);
}

LRESULT InstallerDialog::OnModeSelected(WPARAM, LPARAM)
{
    updateModeControls();
    return 0;
}

LRESULT InstallerDialog::OnExit(WPARAM, LPARAM)
{
    // Windows 95/98/Me register OpenType fonts with Adobe Type Manager, whose
    // own program is opened after a change.
    if (getProductFontType(product_) == 'O' && isWin9x() && fontsChanged_) {
        char opener[kTextSize];
        if (services_.findOtfOpener(opener))
            ShellExecuteA(nullptr, nullptr, opener, nullptr, nullptr, SW_SHOWNORMAL);
    }
    endDialog(0);
    return 0;
}

LRESULT InstallerDialog::OnSelChanged(WPARAM, LPARAM lParam)
{
    const NMTREEVIEWA *info = reinterpret_cast<const NMTREEVIEWA *>(lParam);
    if (info->action != TVC_UNKNOWN)
        showSample(reinterpret_cast<const FontEntry *>(info->itemNew.lParam));
    return 0;
}

LRESULT InstallerDialog::OnCheckChanged(WPARAM, LPARAM)
{
    updateSelectionCounts();
    return 0;
}

LRESULT InstallerDialog::OnLayoutToggle(WPARAM, LPARAM)
{
    toggleTallLayout();
    return 0;
}

LRESULT InstallerDialog::OnGetFolder(WPARAM, LPARAM lParam)
{
    char *buffer = reinterpret_cast<char *>(lParam);
    return buffer ? folderText(buffer) : 0;
}

int InstallerDialog::folderText(char *buffer) const
{
    // Until a folder is set, control 1024 shows only its template text,
    // which is no folder to install into.
    if (!folderChosen_) {
        buffer[0] = '\0';
        return 0;
    }
    return itemText(IDC_FOLDER, buffer, kTextSize);
}
