// Resource identifiers of the program: window templates (IDD), controls (IDC),
// menu commands (IDM), strings (IDS), icons (IDR) and bitmaps (IDB).
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Manager window
#define IDD_FMGR_DIALOG     102
#define IDC_CATEGORY_LIST   1000
#define IDC_FILTER_LIST     1001
#define IDC_ADD             1002
#define IDC_REMOVE          1003
#define IDS_ABOUTBOX        101
#define IDM_ABOUTBOX        0x0010
#define IDR_MAINFRAME       128

// Add Filter dialog
#define IDD_ADDFILTER       129
#define IDC_FILTER_TREE     1001

// About box
#define IDD_ABOUT           2100
#define IDB_ABOUT_LOGO      2102
#define IDB_ABOUT_LOGO_2X   2108 // the logo at twice the size, scaled down at other dpi
#define IDC_ABOUT_LOGO      2102
#define IDC_ABOUT_TITLE     2103
#define IDC_ABOUT_COPYRIGHT 2106
#define IDC_ABOUT_LINK      2107
