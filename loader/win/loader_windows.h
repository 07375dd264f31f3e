// The windows of fwx_load: its invisible main window, the message boxes,
// the open dialog, "ComPropertiesDlg" and the owner-less progress window.
// They only show what loader/ decides.
#pragma once

#include <windows.h>

#include <string>

#include "loader/command_line.h"
#include "loader/loader_session.h"
#include "loader/loader_texts.h"

namespace fw::loader::win {

// Registers the window class "fwx_load" and creates the main window, which
// is never shown: it owns the message boxes and dialogs, and runs the
// requests of the transfer thread (MarshalledUi) on the user-interface
// thread.
HWND createMainWindow(HINSTANCE instance);

// The message a finished transfer thread posts to the main window; it ends
// the message loop.
constexpr UINT kTransferEnded = WM_APP + 2;

void showMessage(HWND owner, Message message);
bool askRetry(HWND owner);


// The open dialog, starting in the folder of "fwx_load.ini" (else the
// user's Documents); on OK the chosen file's folder is written back.
// False when the user cancels.
bool chooseProgramFile(HWND owner, std::string& path);

// "ComPropertiesDlg", preset to `choices` and to the port and speed last
// used; its port list is the system's serial ports, each with what the
// device manager calls it (nothing under Wine). OK stores the three
// choices, and the port and speed in "fwx_load.ini". False on Cancel.
bool runPropertiesDialog(HINSTANCE instance, HWND owner, Choices& choices);

// The message loop's share for the progress window: its Cancel button
// answers Enter, Esc and Space. True when the message was the window's.
bool progressWindowMessage(MSG& message);

// The LoaderUi of the transfer thread: every call is sent to the main
// window and carried out on its thread, which meanwhile keeps the progress
// window painted. Returns once the user has seen to it. The progress
// window's Cancel asks `cancel` to end the transfer.
class MarshalledUi final : public LoaderUi {
public:
    MarshalledUi(HWND mainWindow, ExchangeCancel& cancel) : main_(mainWindow), cancel_(cancel) {}
    void showMessage(Message message) override;
    bool askRetry() override;
    void openProgress() override;
    void setProgress(int position) override;
    void closeProgress() override;

private:
    HWND main_;
    ExchangeCancel& cancel_;
};

}  // namespace fw::loader::win
