// Numbers shared by the resource scripts and the program.
#pragma once

// Commands of the popup menu "PopMenuK400" and the accelerators "FWK400".
#define IDM_NEW 1010
#define IDM_OPEN 1020
#define IDM_SAVE 1030
#define IDM_SAVEAS 1040
#define IDM_EXIT 1090
#define IDM_EDIT 2000
#define IDM_PREFERENCES 2100
#define IDM_DOWNLOAD_APP 3020
#define IDM_RECEIVE_DATA 3030
#define IDM_DOWNLOAD_LOOKUP 3040
#define IDM_RECENT_FIRST 3300
#define IDM_RECENT_LAST 3303
#define IDM_ABOUT 9030

// Child window id of the "Client" window.
#define IDC_CLIENT 100

// About box.
#define IDC_ABOUT_ICON 101
#define IDC_ABOUT_TEXT 102

// Bitmaps of the terminal face.
#define IDB_BODY 500
#define IDB_KEY_FIRST 501
#define IDB_KEY_PRESSED_FIRST 521
#define IDB_CURSOR 541
#define IDB_HIGHLIGHT 542
#define IDB_BLANK 543
#define IDB_ALPHA_ON 544
#define IDB_ALPHA_OFF 545
