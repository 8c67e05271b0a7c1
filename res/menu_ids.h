// Identifiers of the two pop-up menus (macro context menu, tray menu) in both
// languages and of their commands. Shared by the resource script and the program,
// so plain preprocessor definitions only.
#pragma once

// Menu resources. Each holds one outer pop-up that is never shown; its
// sub-menu 0 is the menu the user sees.
#define IDR_MENU_MACRO_EN 154
#define IDR_MENU_TRAY_EN 157
#define IDR_MENU_MACRO_CN 161
#define IDR_MENU_TRAY_CN 162

// Tray menu.
#define ID_TRAY_EXIT_EN 32800
#define ID_TRAY_SHOW_EN 32801
#define ID_TRAY_SHOW_CN 32837
#define ID_TRAY_EXIT_CN 32838

// Macro context menu, English.
#define ID_MACRO_MODIFY_DELAY_EN 32780
#define ID_MACRO_DELETE_EN 32781
#define ID_ADD_FORWARD_LEFT_DOWN_EN 32802
#define ID_ADD_FORWARD_LEFT_UP_EN 32803
#define ID_ADD_FORWARD_RIGHT_DOWN_EN 32804
#define ID_ADD_FORWARD_RIGHT_UP_EN 32805
#define ID_ADD_FORWARD_MID_DOWN_EN 32806
#define ID_ADD_FORWARD_MID_UP_EN 32807
#define ID_ADD_BACKWARD_LEFT_DOWN_EN 32809
#define ID_ADD_BACKWARD_LEFT_UP_EN 32810
#define ID_ADD_BACKWARD_RIGHT_DOWN_EN 32811
#define ID_ADD_BACKWARD_RIGHT_UP_EN 32812
#define ID_ADD_BACKWARD_MID_DOWN_EN 32813
#define ID_ADD_BACKWARD_MID_UP_EN 32814

// Macro context menu, second language.
#define ID_ADD_FORWARD_LEFT_DOWN_CN 32817
#define ID_ADD_FORWARD_LEFT_UP_CN 32818
#define ID_ADD_FORWARD_RIGHT_DOWN_CN 32820
#define ID_ADD_FORWARD_RIGHT_UP_CN 32821
#define ID_ADD_FORWARD_MID_DOWN_CN 32823
#define ID_ADD_FORWARD_MID_UP_CN 32824
#define ID_ADD_BACKWARD_LEFT_DOWN_CN 32829
#define ID_ADD_BACKWARD_LEFT_UP_CN 32830
#define ID_ADD_BACKWARD_RIGHT_DOWN_CN 32831
#define ID_ADD_BACKWARD_RIGHT_UP_CN 32832
#define ID_ADD_BACKWARD_MID_DOWN_CN 32833
#define ID_ADD_BACKWARD_MID_UP_CN 32834
#define ID_MACRO_MODIFY_DELAY_CN 32835
#define ID_MACRO_DELETE_CN 32836
