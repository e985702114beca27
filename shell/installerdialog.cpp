// shell/installerdialog.cpp - the installer's main dialog.
#include "shell/product.h"

#include "base/system.h"
#include "resources/resource.h"

namespace {

INT_PTR CALLBACK mainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

INT_PTR runMainDialog()
{
    return DialogBoxParamA(installerModule(), MAKEINTRESOURCEA(IDD_INSTALLER), NULL,
                           mainDialogProc, 0);
}
