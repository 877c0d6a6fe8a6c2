// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/setup/SetupLibraries.h"

namespace lumi::setup::library {
namespace {

// `name` of the system library `library`, loaded from the system folder only; nullptr when
// either is missing.
template <typename Function>
Function* find(const wchar_t* library, const char* name) {
    HMODULE module = ::LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module == nullptr ? nullptr
                             : reinterpret_cast<Function*>(
                                   reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// Calls the system's `name` of `library` with `arguments`, or gives `failed` without it.
#define LUMI_CALL(library, name, failed, ...)                                          \
    static auto* const function = find<decltype(::name)>(library, #name);              \
    return function != nullptr ? function(__VA_ARGS__) : failed

constexpr wchar_t kControls[] = L"comctl32.dll";
constexpr wchar_t kDialogs[] = L"comdlg32.dll";
constexpr wchar_t kShell[] = L"shell32.dll";
constexpr wchar_t kStyles[] = L"uxtheme.dll";

}  // namespace

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls) {
    LUMI_CALL(kControls, InitCommonControlsEx, FALSE, controls);
}

BOOL SetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) {
    LUMI_CALL(kControls, SetWindowSubclass, FALSE, window, procedure, id, data);
}

BOOL RemoveWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) {
    LUMI_CALL(kControls, RemoveWindowSubclass, FALSE, window, procedure, id);
}

LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LUMI_CALL(kControls, DefSubclassProc, ::DefWindowProcW(window, message, wParam, lParam),
              window, message, wParam, lParam);
}

HRESULT EnableThemeDialogTexture(HWND window, DWORD flags) {
    LUMI_CALL(kStyles, EnableThemeDialogTexture, E_NOTIMPL, window, flags);
}

BOOL GetOpenFileNameW(OPENFILENAMEW* dialog) {
    LUMI_CALL(kDialogs, GetOpenFileNameW, FALSE, dialog);
}

HINSTANCE ShellExecuteW(HWND owner, const wchar_t* operation, const wchar_t* file,
                        const wchar_t* parameters, const wchar_t* folder, int show) {
    LUMI_CALL(kShell, ShellExecuteW, reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC), owner,
              operation, file, parameters, folder, show);
}

void DragAcceptFiles(HWND window, BOOL accept) {
    LUMI_CALL(kShell, DragAcceptFiles, void(), window, accept);
}

UINT DragQueryFileW(HDROP drop, UINT index, wchar_t* name, UINT size) {
    LUMI_CALL(kShell, DragQueryFileW, 0u, drop, index, name, size);
}

void DragFinish(HDROP drop) {
    LUMI_CALL(kShell, DragFinish, void(), drop);
}

HRESULT SHGetKnownFolderPath(REFKNOWNFOLDERID folder, DWORD flags, HANDLE token, PWSTR* path) {
    LUMI_CALL(kShell, SHGetKnownFolderPath, E_NOTIMPL, folder, flags, token, path);
}

#undef LUMI_CALL

}  // namespace lumi::setup::library
