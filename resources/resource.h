// resources/resource.h - ids of the installer's own resources.
#ifndef RESOURCES_RESOURCE_H
#define RESOURCES_RESOURCE_H

#include "product/contract.h"

#define IDD_ABOUT 100
#define IDD_PROGRESS 101
#define IDD_INSTALLER 102

#define IDI_PROGRAM 128
#define IDB_LAYOUT_TOGGLE 143
#define IDB_PROGRAM_BADGE 157

#define IDS_ABOUT_MENU 101
// 25001-25010: the product module's string ids (IDS_PRODUCT_...), whose
// meanings the installer's own table describes.
#define IDS_RESERVED_25005 25005
#define IDS_RESERVED_25006 25006
#define IDS_STRMAP_TEST 25011
#define IDS_PRODUCT_MODULE 25012
#define IDS_SUMMARY_COUNT 26001
#define IDS_SUMMARY_REQUIRED 26002
#define IDS_SUMMARY_FREE 26003
#define IDS_SUMMARY_INSTALL_TO 26004
#define IDS_SUMMARY_EMBED 26005
#define IDS_SUMMARY_EMBED_VALUE 26006
#define IDS_ATM_NT4_UNINSTALL 30003
#define IDS_NT4_FOLDER_WARNING 30004
#define IDS_FONTS_REMOVED 30006
#define IDS_ALREADY_RUNNING 30007
#define IDS_USER_SCOPE_NOTE 30008
#define IDS_NEED_ADMINISTRATOR 30009
#define IDS_FONT_LIST_FULL 30010
#define IDS_MODE_INSTALL 27000
#define IDS_MODE_UNINSTALL 27001
#define IDS_PROGRAM_TITLE 57344

// Controls of the About box.
#define IDC_ABOUT_ICON 1002

// Controls of the main dialog.
#define IDC_MODE 1000
#define IDC_FONT_TREE 1001
#define IDC_TO_WHERE 1003
#define IDC_SAMPLE 1012
#define IDC_BADGE 1014
#define IDC_SUMMARY 1015
#define IDC_LAYOUT_TOGGLE 1023
#define IDC_FOLDER 1024
#define IDC_SCOPE_NOTE 1025

// Controls of the progress dialog.
#define IDC_PROGRESS_BAR 1001
#define IDC_PERCENT 1005
#define IDC_FONT_NAME 6553

#endif
