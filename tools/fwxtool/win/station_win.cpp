// The station's part of fwxtool on Windows: the machine's name, and fwxtool
// as a Windows service (`fwxtool station --service`, registered
// with `sc create`): the service control manager starts the process, which
// hands it the main thread through StartServiceCtrlDispatcherW; the
// service's own thread runs the station until a stop or a shutdown sets the
// flag that Ctrl+C sets at a console.
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

#include "texts/code_page.h"
#include "tools/fwxtool/platform.h"

namespace fw::tool {

namespace {

// The SCM calls back without a context of ours: one service per process.
struct ServiceRun {
    const std::function<int(std::atomic<bool>&)>* body = nullptr;
    std::atomic<bool> stop{false};
    SERVICE_STATUS_HANDLE handle = nullptr;
    // The control handler (on the dispatcher's thread) and the service's
    // thread both report: one at a time, and a stop reported first is not
    // hidden by the service's own "running" that comes after it.
    std::mutex statusMutex;
    SERVICE_STATUS status{};
    bool ran = false;   // the station ran; else nothing was done
    int exitCode = 0;
};
ServiceRun* gRun = nullptr;

void report(DWORD state, DWORD waitHintMs = 0) {
    std::lock_guard<std::mutex> lock(gRun->statusMutex);
    // A stop that is already under way is not undone by a late report.
    if (gRun->status.dwCurrentState == SERVICE_STOPPED ||
        (gRun->status.dwCurrentState == SERVICE_STOP_PENDING && state != SERVICE_STOPPED)) {
        return;
    }
    gRun->status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    gRun->status.dwCurrentState = state;
    gRun->status.dwControlsAccepted =
        state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    gRun->status.dwWin32ExitCode = NO_ERROR;
    gRun->status.dwServiceSpecificExitCode = 0;
    gRun->status.dwWaitHint = waitHintMs;
    if (state == SERVICE_STOPPED && gRun->exitCode != 0) {
        gRun->status.dwWin32ExitCode = ERROR_SERVICE_SPECIFIC_ERROR;
        gRun->status.dwServiceSpecificExitCode = DWORD(gRun->exitCode);
    }
    // The check point counts progress through a pending state only.
    const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
    gRun->status.dwCheckPoint = pending ? gRun->status.dwCheckPoint + 1 : 0;
    SetServiceStatus(gRun->handle, &gRun->status);
}

DWORD WINAPI control(DWORD code, DWORD, LPVOID, LPVOID) {
    switch (code) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        // The ports finish the record in flight; ten seconds is plenty.
        report(SERVICE_STOP_PENDING, 10000);
        gRun->stop.store(true);
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI serviceMain(DWORD, LPWSTR* argv) {
    gRun->handle = RegisterServiceCtrlHandlerExW(argv && argv[0] ? argv[0] : L"", control, nullptr);
    if (gRun->handle == nullptr) return;
    report(SERVICE_START_PENDING, 5000);
    report(SERVICE_RUNNING);
    gRun->ran = true;
    gRun->exitCode = (*gRun->body)(gRun->stop);
    report(SERVICE_STOPPED);
}

}  // namespace

std::string machineName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &size) || size == 0) return "station";
    return utf8FromUtf16(std::u16string(reinterpret_cast<const char16_t*>(name), size));
}

bool runAsService(const std::function<int(std::atomic<bool>& stop)>& body, int& exitCode,
                  std::string& problem) {
    ServiceRun run;
    run.body = &body;
    gRun = &run;
    // The name is the one `sc create` gave; an own-process service may pass
    // an empty one here.
    wchar_t name[] = L"";
    SERVICE_TABLE_ENTRYW table[] = {{name, serviceMain}, {nullptr, nullptr}};
    const BOOL dispatched = StartServiceCtrlDispatcherW(table);
    gRun = nullptr;
    if (!dispatched) {
        problem = GetLastError() == ERROR_FAILED_SERVICE_CONTROLLER_CONNECT
                      ? "'--service' is for the service control manager (sc create ... "
                        "binPath= \"fwxtool.exe station ... --service\"); run without it at a console"
                      : "the service control manager refused the service";
        return false;
    }
    if (!run.ran) {
        problem = "the service control manager did not take the service's control handler";
        return false;
    }
    exitCode = run.exitCode;
    return true;
}

}  // namespace fw::tool
