// Resource and command numbers shared by the resource script and the window code.
#pragma once

#define IDD_MAIN_WINDOW 101
#define IDD_CONFIGURATION 103
#define IDM_TRAY_MENU 104
#define IDI_VANTREL 105

#define IDC_CLOSE_COMMAND 2 /* "Exit", Escape, Alt+F4 and a second start's close request */
#define IDM_CONFIGURE 40001
#define IDM_START_WITH_WINDOWS 40002
#define IDM_HIDE_MOUSE 40003
#define IDM_TRIP_LOG 40005
#define IDM_ALWAYS_ON_TOP 40006
