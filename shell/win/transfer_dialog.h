// One transfer behind the modal progress dialog "ProgressDlg". The core
// has prepared it in full (port, link, the bytes to send); a worker thread
// carries it out (link opening, the exchange with its reply timer and
// resends, the files) over the Win32 serial driver, and every engine call
// happens on that one thread. The dialog only shows what the worker posts to
// it, and its close box asks the worker to stop.
#pragma once

#include <windows.h>

#include <string>

#include "comm/transfer_session.h"

namespace fw::win {

// Runs the prepared transfer on a worker and returns when the dialog has
// closed, the port is released and the worker has ended. Closing the dialog
// gives 0 unless the transfer had completed by then; whether the terminal
// accepted a program download's opening is reported either way.
TransferOutcome runTransferWithProgress(HWND owner, HINSTANCE instance, const PreparedTransfer& transfer);

// The receive layout's text: "Data received :", a blank and the count.
std::string receivedCountText(int count);

// The question after a receive with records: "Done : %d records
// received.\nView the received data?", or under a language file its
// leading text, the count and its trailing text.
std::string receiveDoneQuestion(int count);

INT_PTR CALLBACK progressDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace fw::win
