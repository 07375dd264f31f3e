// One transfer behind the modal progress dialog "ProgressDlg". A worker
// thread runs the whole transfer session of the core (link opening, the
// exchange with its reply timer and resends, the files) over the Win32
// serial driver; every engine call happens on that one thread. The dialog
// only shows what the worker posts to it, and its close box asks the worker
// to stop.
#pragma once

#include <windows.h>

#include <string>

#include "comm/transfer_session.h"

namespace fw::win {

enum class TransferKind { program, lookup, receive };

struct TransferRequest {
    TransferKind kind = TransferKind::program;
    LinkChoice link;
    std::string path;   // lookup: the file to send; receive: the file to create
};

struct TransferRun {
    int result = kTransferCancelled;   // 0, 1 or the number of the failure's text
    int records = 0;                   // receive: records written and acknowledged
};

// The link of a transfer from the preferences: the given link type, the
// configured port and speed.
LinkChoice transferLink(int linkType);

// Runs the transfer and returns when the dialog has closed, the port is
// released and the worker has ended. A program download works on a copy of
// the program and brings the copy's normalisation back into the model afterwards
// (the simulator keeps reading the model meanwhile). Closing the dialog gives
// 0 unless the transfer had completed by then.
TransferRun runTransferWithProgress(HWND owner, const TransferRequest& request);

// The receive layout's text: "Data received :", a blank and the count.
std::string receivedCountText(int count);

// The question after a receive with records: "Done : %d records
// received.\nView the received data?", or under a language file its
// leading text, the count and its trailing text.
std::string receiveDoneQuestion(int count);

INT_PTR CALLBACK progressDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace fw::win
