// Control numbers of the Menu page ("MENUDLG") and its file-name dialog
// ("FILENAMEDLG"). Shared by resources/menu_dialogs.rc and the dialog
// procedures. Row controls are numbered base + row.
#ifndef FW_EDITOR_MENU_DIALOG_IDS_H
#define FW_EDITOR_MENU_DIALOG_IDS_H

#define IDC_MENU_NAME 2000
#define IDC_MENU_FONT 2001
#define IDC_MENU_ESC 2002
#define IDC_MENU_CAPTION_ON 2003
#define IDC_MENU_CAPTION 2004
#define IDC_MENU_SAVE_CAPTION 2005
#define IDC_MENU_SAVE_ITEM 2006
#define IDC_MENU_PASS_DOWN 2007
#define IDC_MENU_SEPARATE 2008
#define IDC_MENU_EDIT_FILE_NAME 2009
#define IDC_MENU_RESET 2010
#define IDC_MENU_NAME_LABEL 2020
#define IDC_MENU_FONT_LABEL 2021
#define IDC_MENU_ESC_LABEL 2022
#define IDC_MENU_DATA_GROUP 2023
#define IDC_MENU_HEAD_NO 2024       /* two columns of headings: +0, +1 */
#define IDC_MENU_HEAD_NAME 2026
#define IDC_MENU_HEAD_NEXT 2028
#define IDC_MENU_ITEM_LABEL 2040    /* 2040-2049 */
#define IDC_MENU_ITEM_NAME 2050     /* 2050-2059 */
#define IDC_MENU_ITEM_NEXT 2060     /* 2060-2069 */

/* File-name dialog: one check box and one box per form. */
#define IDC_FILENAME_ON 2100        /* 2100-2109 */
#define IDC_FILENAME_BOX 2110       /* 2110-2119 */
#define IDC_FILENAME_RESET 2120

#endif
