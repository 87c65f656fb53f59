// Shared plumbing of the driver dialogs: running a dialog of the DLL's
// resources modally, owned by the capture window's top-level window, with
// the capture window's state as its parameter.
#ifndef MORVA_AVICAP32_DIALOGS_DIALOG_RUNNER_H
#define MORVA_AVICAP32_DIALOGS_DIALOG_RUNNER_H

#include "window/capture_state.h"

// Runs dialog `id` with `proc`; returns the dialog's result, -1 on failure.
INT_PTR RunDriverDialog(CaptureWindowState* s, int id, DLGPROC proc);

// The state stored by WM_INITDIALOG; null before it, and after the capture
// window went while the dialog was up (the dialog then only closes; the
// request that runs it holds the state, see capture_state.h).
CaptureWindowState* DialogState(HWND dialog);
void SetDialogState(HWND dialog, LPARAM state);

// Called as the capture window goes: ends its running driver dialog, which
// no longer touches the window's state.
void EndDriverDialogOf(CaptureWindowState* s);

// The message handling every driver dialog shares: WM_INITDIALOG stores the
// state and calls `onInit`; OK calls `onOk` while the capture window lives
// (else the dialog just closes); Cancel closes. No exception leaves it.
INT_PTR DriverDialogMessage(HWND dialog, UINT msg, WPARAM wp, LPARAM lp,
                            BOOL (*onInit)(HWND, CaptureWindowState*),
                            void (*onOk)(HWND, CaptureWindowState*));

// A driver dialog's procedure: DriverDialogMessage with its two handlers.
template <BOOL (*OnInit)(HWND, CaptureWindowState*), void (*OnOk)(HWND, CaptureWindowState*)>
INT_PTR CALLBACK DriverDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  return DriverDialogMessage(dialog, msg, wp, lp, OnInit, OnOk);
}

// Runs dialog `id` when connected to a camera that offers it: 1 when the
// user confirmed it, else 0.
LRESULT ShowDriverDialog(CaptureWindowState* s, bool offered, int id, DLGPROC proc);

#endif
