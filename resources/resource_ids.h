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
#define IDM_CHECK_PROGRAM 2200
#define IDM_REPORT 2210
#define IDM_DOWNLOAD_APP 3020
#define IDM_RECEIVE_DATA 3030
#define IDM_DOWNLOAD_LOOKUP 3040
#define IDM_COLLECTED_DATA 3050
#define IDM_RECENT_FIRST 3300
#define IDM_RECENT_LAST 3303
#define IDM_ABOUT 9030

// Child window id of the "Client" window.
#define IDC_CLIENT 100

// About box.
#define IDC_ABOUT_ICON 101
#define IDC_ABOUT_TEXT 102
#define IDC_ABOUT_KEYS_LABEL 103
#define IDC_ABOUT_KEYS 104

// Bitmaps of the terminal face.
#define IDB_BODY 500
#define IDB_KEY_FIRST 501
#define IDB_KEY_PRESSED_FIRST 521
#define IDB_CURSOR 541
#define IDB_HIGHLIGHT 542
#define IDB_BLANK 543
#define IDB_ALPHA_ON 544
#define IDB_ALPHA_OFF 545

// Preferences dialog "PreferencesDlg".
#define IDC_PREF_DOWNLOAD_LABEL 201
#define IDC_PREF_DOWNLOAD_VIA 202
#define IDC_PREF_RECEIVE_LABEL 203
#define IDC_PREF_RECEIVE_VIA 204
#define IDC_PREF_PORT_LABEL 205
#define IDC_PREF_PORT 206
#define IDC_PREF_BAUD_LABEL 207
#define IDC_PREF_BAUD 208
#define IDC_PREF_AUTO_PRELOAD 209
#define IDC_PREF_ALWAYS_ON_TOP 210
#define IDC_PREF_LANGUAGE_LABEL 211
#define IDC_PREF_LANGUAGE 212
#define IDC_PREF_DETECT_CRADLE 213

// "Collected data..." window "CollectedDataDlg".
#define IDC_COLLECTED_SUMMARY 301
#define IDC_COLLECTED_HEADING 302
#define IDC_COLLECTED_LIST 303
#define IDC_COLLECTED_SAVEAS 304
#define IDC_COLLECTED_CLEAR 305

// "Check program..." dialog "CheckProgramDlg".
#define IDC_CHECK_SUMMARY 321
#define IDC_CHECK_LIST_LABEL 322
#define IDC_CHECK_LIST 323
#define IDC_CHECK_DETAIL 324
