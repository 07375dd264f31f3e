// The progress dialog of the transfers and the worker thread behind it.
#include "shell/win/transfer_dialog.h"

#include <commctrl.h>

#include <atomic>
#include <memory>

#include "comm/win/serial_port_win.h"
#include "shell/captions.h"
#include "shell/win/designer.h"
#include "shell/win/transfer_dialog_ids.h"
#include "ui/win/dialog_support.h"

namespace fw::win {

namespace {

// Notices from the worker; wParam carries the value.
constexpr UINT kNoticeProgress = WM_APP + 1;   // the bar position changed (0..100)
constexpr UINT kNoticeRecords = WM_APP + 2;    // the count of records received changed
constexpr UINT kNoticeEnded = WM_APP + 3;      // the session is over, the port closed

struct TransferJob {
    explicit TransferJob(const PreparedTransfer& t) : transfer(t) {}
    const PreparedTransfer& transfer;
    TransferCancel cancel;
    HWND dialog = nullptr;
    HANDLE thread = nullptr;
    bool closedByUser = false;   // dialog thread only
    // Written by the worker before its end notice, read after the join.
    TransferOutcome outcome;
    // The latest progress and record count, and whether a notice of each is
    // on its way: the worker posts a notice only when none is waiting, so a
    // fast transfer can never fill the dialog's queue and crowd out the end
    // notice.
    std::atomic<int> position{0};
    std::atomic<int> records{0};
    std::atomic<bool> positionPosted{false};
    std::atomic<bool> recordsPosted{false};
    // When the bar and the count were last shown, and whether a timer will
    // show a change that came sooner than kRefreshMs after that.
    DWORD shownAt = 0;
    bool refreshPending = false;
};

// The bar and the count are shown at most ten times a second: a paint for
// every block would cost the designer more than the transfer itself, and
// nobody reads faster. A change that comes too soon is shown by a timer, so
// the dialog never stays behind.
constexpr UINT kRefreshMs = 100;
constexpr UINT_PTR kRefreshTimer = 1;

// Everything the worker reports reaches the dialog as a posted message: the
// worker never waits for the dialog thread, so that the dialog may wait for
// the worker without a deadlock.
class DialogNotices final : public TransferObserver {
public:
    explicit DialogNotices(TransferJob& job) : job_(job) {}
    void progress(int position) override {
        // The engine reports every block; the bar moves every other one.
        if (job_.position.exchange(position) == position) return;
        notify(job_.positionPosted, kNoticeProgress);
    }
    void recordCount(int records) override {
        job_.records = records;
        notify(job_.recordsPosted, kNoticeRecords);
    }

private:
    void notify(std::atomic<bool>& posted, UINT notice) {
        if (!posted.exchange(true) && !PostMessageW(job_.dialog, notice, 0, 0)) posted = false;
    }

    TransferJob& job_;
};

DWORD WINAPI transferThread(void* parameter) {
    auto* job = static_cast<TransferJob*>(parameter);
    WinSerialSystem system;
    DialogNotices notices(*job);
    job->outcome = runPreparedTransfer(system, job->transfer, &notices, &job->cancel);
    PostMessageW(job->dialog, kNoticeEnded, 0, 0);
    return 0;
}

TransferJob* jobOf(HWND dlg) { return reinterpret_cast<TransferJob*>(GetWindowLongPtrW(dlg, DWLP_USER)); }

void setReceiveLayout(HWND dlg) {
    ShowWindow(GetDlgItem(dlg, IDC_PROGRESS_BAR), SW_HIDE);
    RECT r;
    GetWindowRect(dlg, &r);
    SetWindowPos(dlg, nullptr, 0, 0, r.right - r.left, (r.bottom - r.top) * 5 / 7,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    setText(GetDlgItem(dlg, IDC_PROGRESS_TEXT), receivedCountText(0));
}

BOOL initDialog(HWND dlg, TransferJob& job) {
    SetWindowLongPtrW(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(&job));
    job.dialog = dlg;
    applyCaption(dlg, kTextProgressTitle);
    applyCaption(GetDlgItem(dlg, IDC_PROGRESS_TEXT), kTextDownloading);
    SendDlgItemMessageW(dlg, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageW(dlg, IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
    if (job.transfer.kind == TransferKind::receive) setReceiveLayout(dlg);
    // Owned by the terminal window, so it stays in front of it (and of the
    // terminal kept "always on top"), not in front of every other program.

    // Started only now that the notices have somewhere to go.
    job.thread = CreateThread(nullptr, 0, transferThread, &job, CREATE_SUSPENDED, nullptr);
    if (!job.thread) {
        job.outcome.result = kFailedToEstablishConnection;
        EndDialog(dlg, kFailedToEstablishConnection);
        return TRUE;
    }
    SetThreadPriority(job.thread, THREAD_PRIORITY_HIGHEST);
    ResumeThread(job.thread);
    return TRUE;
}

void showProgress(HWND dlg, TransferJob& job) {
    SendDlgItemMessageW(dlg, IDC_PROGRESS_BAR, PBM_SETPOS, WPARAM(job.position.load()), 0);
    if (job.transfer.kind == TransferKind::receive)
        setText(GetDlgItem(dlg, IDC_PROGRESS_TEXT), receivedCountText(job.records.load()));
    job.shownAt = GetTickCount();
}

void onProgressNotice(HWND dlg, TransferJob& job) {
    if (job.refreshPending) return;
    const DWORD since = GetTickCount() - job.shownAt;
    if (since < kRefreshMs && SetTimer(dlg, kRefreshTimer, kRefreshMs - since, nullptr)) {
        job.refreshPending = true;
        return;
    }
    showProgress(dlg, job);
}

void onEnded(HWND dlg, TransferJob& job) {
    WaitForSingleObject(job.thread, INFINITE);
    CloseHandle(job.thread);
    job.thread = nullptr;
    // The user closed the dialog: nothing to report, unless the transfer
    // had completed in the meantime.
    if (job.closedByUser && job.outcome.result != kTransferDone) job.outcome.result = kTransferCancelled;
    EndDialog(dlg, job.outcome.result);
}

// The close box (or Esc): the worker stops at once when it waits on the
// port, and its end notice closes the dialog.
void onClose(TransferJob& job) {
    if (job.closedByUser) return;
    job.closedByUser = true;
    job.cancel.request();
}

}  // namespace

std::string receivedCountText(int count) {
    return captionText(kTextDataReceived, "Data received :") + " " + std::to_string(count);
}

std::string receiveDoneQuestion(int count) {
    return captionText(kTextDoneLeading, "Done : ") + std::to_string(count) +
           captionText(kTextDoneTrailing, " records received.\nView the received data?");
}

INT_PTR CALLBACK progressDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) return initDialog(dlg, *reinterpret_cast<TransferJob*>(lParam));
    TransferJob* job = jobOf(dlg);
    if (!job) return FALSE;
    switch (msg) {
        case kNoticeProgress:
            // Cleared before reading: a change after the read posts again.
            job->positionPosted = false;
            onProgressNotice(dlg, *job);
            return TRUE;
        case kNoticeRecords:
            job->recordsPosted = false;
            onProgressNotice(dlg, *job);
            return TRUE;
        case WM_TIMER:
            if (wParam != kRefreshTimer) return FALSE;
            KillTimer(dlg, kRefreshTimer);
            job->refreshPending = false;
            showProgress(dlg, *job);
            return TRUE;
        case kNoticeEnded:
            onEnded(dlg, *job);
            return TRUE;
        case WM_CLOSE:
            onClose(*job);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDCANCEL) return FALSE;
            onClose(*job);
            return TRUE;
        default:
            return FALSE;
    }
}

TransferOutcome runTransferWithProgress(HWND owner, HINSTANCE instance, const PreparedTransfer& transfer) {
    TransferJob job(transfer);
    const INT_PTR r = DialogBoxParamW(instance, L"ProgressDlg", owner, progressDialogProc,
                                      reinterpret_cast<LPARAM>(&job));
    if (job.thread) {
        // The dialog went without the end notice (it cannot, short of
        // being destroyed from outside): the worker still must not outlive
        // the job.
        job.cancel.request();
        WaitForSingleObject(job.thread, INFINITE);
        CloseHandle(job.thread);
    } else if (r == -1) {
        // The dialog could not be made: nothing ran.
        job.outcome.result = kFailedToEstablishConnection;
    }
    return job.outcome;
}

}  // namespace fw::win
