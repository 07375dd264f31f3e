// Controls of the transfer progress dialog "ProgressDlg", shared by its
// resource script and its dialog procedure.
#pragma once

#define IDC_PROGRESS_TEXT 301
#define IDC_PROGRESS_BAR 302
