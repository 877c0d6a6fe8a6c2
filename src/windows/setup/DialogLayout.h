// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

// The Setup dialog's templates give every control's place in pixels at 96 dpi rather than in
// dialog units, so that the dialog keeps its exact pixel layout: the dialog manager creates
// the controls, and placeControls() then puts each at its pixels grown by the monitor's DPI.
namespace lumi::setup {

// One control of a template: its number and its place in pixels at 96 dpi.
struct TemplateControl {
    int id = 0;
    RECT rect{};
};

// A dialog template's own size and its controls, in template order, in pixels at 96 dpi.
struct DialogTemplateLayout {
    SIZE size{};
    std::vector<TemplateControl> controls;
};

// The layout of the extended dialog template `bytes` (DLGTEMPLATEEX); nullopt when the bytes
// are no extended template or end before its last control.
std::optional<DialogTemplateLayout> parseDialogTemplate(std::span<const std::byte> bytes);

// The layout of the dialog resource `templateId` of `module`; empty when it has none.
DialogTemplateLayout loadDialogLayout(HMODULE module, int templateId);

// `pixels` at 96 dpi, grown to `dpi`.
inline int scaled(int pixels, UINT dpi) {
    return ::MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}
RECT scaled(const RECT& rect, UINT dpi);

// Puts every control of `layout` that `dialog` holds at its place grown to `dpi`.
void placeControls(HWND dialog, const DialogTemplateLayout& layout, UINT dpi);

}  // namespace lumi::setup
