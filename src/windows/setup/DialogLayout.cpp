// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/setup/DialogLayout.h"

#include <cstdint>
#include <cstring>

namespace lumi::setup {
namespace {

// Reads a dialog template front to back; every read past the end leaves it failed.
class TemplateReader {
public:
    explicit TemplateReader(std::span<const std::byte> bytes) : bytes_(bytes) {}

    bool failed() const { return failed_; }

    template <typename T>
    T read() {
        T value{};
        if (failed_ || bytes_.size() - offset_ < sizeof(T)) {
            failed_ = true;
            return value;
        }
        std::memcpy(&value, bytes_.data() + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }

    void skip(std::size_t count) {
        if (bytes_.size() - offset_ < count) {
            failed_ = true;
            return;
        }
        offset_ += count;
    }

    // A name or a number: 0x0000 for none, 0xFFFF and a number, or a string ended by NUL.
    void skipNameOrNumber() {
        const auto first = read<std::uint16_t>();
        if (first == 0xFFFF) {
            read<std::uint16_t>();
            return;
        }
        for (std::uint16_t c = first; c != 0 && !failed_;) {
            c = read<std::uint16_t>();
        }
    }

    void skipString() {
        for (std::uint16_t c = 1; c != 0 && !failed_;) {
            c = read<std::uint16_t>();
        }
    }

    // Controls start on a 4-byte boundary from the start of the template.
    void alignToDword() { skip((4 - offset_ % 4) % 4); }

private:
    std::span<const std::byte> bytes_;
    std::size_t offset_ = 0;
    bool failed_ = false;
};

RECT rectOf(std::int16_t x, std::int16_t y, std::int16_t cx, std::int16_t cy) {
    return RECT{x, y, x + cx, y + cy};
}

}  // namespace

std::optional<DialogTemplateLayout> parseDialogTemplate(std::span<const std::byte> bytes) {
    TemplateReader reader(bytes);
    const auto version = reader.read<std::uint16_t>();
    const auto signature = reader.read<std::uint16_t>();
    if (reader.failed() || version != 1 || signature != 0xFFFF) {
        return std::nullopt;
    }
    reader.read<std::uint32_t>();  // help id
    reader.read<std::uint32_t>();  // extended style
    const auto style = reader.read<std::uint32_t>();
    const auto count = reader.read<std::uint16_t>();
    reader.skip(2 * sizeof(std::int16_t));  // x, y
    DialogTemplateLayout layout;
    layout.size.cx = reader.read<std::int16_t>();
    layout.size.cy = reader.read<std::int16_t>();
    reader.skipNameOrNumber();  // menu
    reader.skipNameOrNumber();  // window class
    reader.skipString();        // title
    if ((style & (DS_SETFONT | DS_SHELLFONT)) != 0) {
        reader.skip(2 * sizeof(std::uint16_t) + 2);  // point size, weight, italic, character set
        reader.skipString();                         // typeface
    }
    for (std::uint16_t i = 0; i < count && !reader.failed(); ++i) {
        reader.alignToDword();
        reader.skip(3 * sizeof(std::uint32_t));  // help id, extended style, style
        const auto x = reader.read<std::int16_t>();
        const auto y = reader.read<std::int16_t>();
        const auto cx = reader.read<std::int16_t>();
        const auto cy = reader.read<std::int16_t>();
        const auto id = reader.read<std::int32_t>();
        reader.skipNameOrNumber();  // window class
        reader.skipNameOrNumber();  // title
        reader.skip(reader.read<std::uint16_t>());  // creation data
        layout.controls.push_back({id, rectOf(x, y, cx, cy)});
    }
    if (reader.failed()) {
        return std::nullopt;
    }
    return layout;
}

DialogTemplateLayout loadDialogLayout(HMODULE module, int templateId) {
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));
    if (resource == nullptr) {
        return {};
    }
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return {};
    }
    const std::span bytes(static_cast<const std::byte*>(data), ::SizeofResource(module, resource));
    return parseDialogTemplate(bytes).value_or(DialogTemplateLayout{});
}

RECT scaled(const RECT& rect, UINT dpi) {
    return RECT{scaled(rect.left, dpi), scaled(rect.top, dpi), scaled(rect.right, dpi),
                scaled(rect.bottom, dpi)};
}

void placeControls(HWND dialog, const DialogTemplateLayout& layout, UINT dpi) {
    for (const TemplateControl& control : layout.controls) {
        HWND window = ::GetDlgItem(dialog, control.id);
        if (window == nullptr) {
            continue;
        }
        const RECT place = scaled(control.rect, dpi);
        ::SetWindowPos(window, nullptr, place.left, place.top, place.right - place.left,
                       place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace lumi::setup
