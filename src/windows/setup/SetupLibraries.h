// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <uxtheme.h>

// The functions of the system libraries that only the Setup dialog uses (common controls,
// common dialogs, the shell, visual styles), each looked up in its library the first time it
// is called. The program does not import them: Windows would load those libraries, and
// everything they load, at every start of the screen saver, which never uses them. Each
// behaves as the system function does, and fails as it fails when the function is missing.
namespace lumi::setup::library {

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls);
BOOL SetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);
BOOL RemoveWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id);
LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HRESULT EnableThemeDialogTexture(HWND window, DWORD flags);
BOOL GetOpenFileNameW(OPENFILENAMEW* dialog);
HINSTANCE ShellExecuteW(HWND owner, const wchar_t* operation, const wchar_t* file,
                        const wchar_t* parameters, const wchar_t* folder, int show);
void DragAcceptFiles(HWND window, BOOL accept);
UINT DragQueryFileW(HDROP drop, UINT index, wchar_t* name, UINT size);
void DragFinish(HDROP drop);
HRESULT SHGetKnownFolderPath(REFKNOWNFOLDERID folder, DWORD flags, HANDLE token, PWSTR* path);

}  // namespace lumi::setup::library
