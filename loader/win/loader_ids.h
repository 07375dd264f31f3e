// Resource identifiers of fwx_load.exe, shared by its resource script and
// its code. The dialog templates have names: "ComPropertiesDlg" and
// "ProgressDlg".
#pragma once

#define IDI_FWX_LOAD 1

#define IDC_DOWNLOAD_VIA 1001
#define IDC_COM_PORT 1002
#define IDC_BAUD_RATE 1003
#define IDC_DOWNLOAD_VIA_LABEL 1004
#define IDC_COM_PORT_LABEL 1005
#define IDC_BAUD_RATE_LABEL 1006

#define IDC_PROGRESS_TEXT 1010
#define IDC_PROGRESS_BAR 1011
