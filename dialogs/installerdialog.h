// dialogs/installerdialog.h - the installer's main dialog and its About box.
#ifndef DIALOGS_INSTALLERDIALOG_H
#define DIALOGS_INSTALLERDIALOG_H

#include "base/handles.h"
#include "base/window.h"
#include "controls/fonttree.h"
#include "controls/summary.h"
#include "dialogs/services.h"

#include <memory>

// Sent to the main dialog: copy the destination folder into the buffer in
// lParam (256 chars); returns the length copied, 0 when none is set.
const UINT DM_GETFOLDER = WM_USER + 2;
// System-menu command of the About box.
const UINT kAboutCommand = 16;

// A message box owned by owner with text textId and the program's title as
// caption; MessageBoxA's answer.
int showInstallerMessage(HWND owner, UINT textId, UINT type);

class AboutDialog : public ui::SimpleDialog {
public:
    INT_PTR run(HWND owner);
};

class InstallerDialog : public ui::Dialog {
public:
    // The dialog shows the package bound in product, installs for scope's
    // users, and loads and runs through services.
    InstallerDialog(InstallerServices &services, const ModuleChain &product, FontScope scope);
    ~InstallerDialog() override;
    InstallerDialog(const InstallerDialog &) = delete;
    InstallerDialog &operator=(const InstallerDialog &) = delete;

    INT_PTR run();

    // Rebuilds the tree (and, the first time, the controls around it) from a
    // freshly loaded catalogue.
    void refreshContents();
    void updateModeControls();
    void updateSelectionCounts();
    // Shows path as the destination and its drive's free space.
    void setInstallFolder(const char *path);
    // Sample bitmap of entry, or "SAMPLE_MISSING" when there is none.
    void showSample(const FontEntry *entry);
    void toggleTallLayout();

    int mode() const;
    FontTreeCtrl *fontTree() const { return tree_.get(); }
    // The entries that the tree shows, the package they are of, and for
    // whom the dialog installs.
    FontCatalogue &catalogue() { return catalogue_; }
    const ModuleChain &product() const { return product_; }
    FontScope scope() const { return scope_; }
    bool fontsChanged() const { return fontsChanged_; }

protected:
    bool dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT &result) override;

    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    LRESULT OnToWhere(WPARAM wParam, LPARAM lParam);
    LRESULT OnStart(WPARAM wParam, LPARAM lParam);
    LRESULT OnModeSelected(WPARAM wParam, LPARAM lParam);
    LRESULT OnExit(WPARAM wParam, LPARAM lParam);
    LRESULT OnSelChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnCheckChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnLayoutToggle(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetFolder(WPARAM wParam, LPARAM lParam);

private:
    // A message box with the program's title as caption.
    // Tells that Windows 95/98/Me refused the font named font because its
    // font list is full, and that the fonts after it were not installed.
    void showFontListFull(const char *font);
    int showMessage(UINT textId, UINT type);
    // The destination folder into buffer (256 chars); its length, 0 when
    // none has been set.
    int folderText(char *buffer) const;

    void setToggleIcon(int image);
    void moveControlBy(int id, int dy, int dheight);

    InstallerServices &services_;
    const ModuleChain &product_;
    FontScope scope_;
    // The package's fonts; the tree's items point into it, so it is
    // rebuilt only together with the tree.
    FontCatalogue catalogue_;
    std::unique_ptr<FontTreeCtrl> tree_;
    SelectionSummary summary_;
    OwnedIcon icon_;
    OwnedIcon smallIcon_;
    OwnedIcon toggleIcon_;
    OwnedIcon badgeIcon_;
    OwnedBitmap sample_;  // the sample bitmap that the dialog shows
    bool fontsChanged_;
    bool folderChosen_;  // a destination has been set; before that, none
    bool firstLoad_ = true;  // the next load is the first (it asks for the disc)
    bool tallLayout_ = false;
    RECT normalRect_ = {};  // the window's place before the tall layout
};

#endif
