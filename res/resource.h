// Resource identifiers shared by the resource script and the program.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_NUV_TALV_DIALOG 102
#define IDD_MENU_DIALOG 103
#define IDD_SUBMENU_DIALOG 104
#define IDD_WARNING_DIALOG 105
#define IDR_MAINFRAME 159
#define IDM_ABOUTBOX 0x0010
#define IDC_ABOUT_VERSION 1000
#define IDC_ABOUT_COPYRIGHT 1001
