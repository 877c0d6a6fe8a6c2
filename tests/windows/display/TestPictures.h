// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace lumi::display {

// A folder of its own in the temporary folder, removed with its content at the end.
struct ScratchFolder {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("lumi-" + std::to_string(GetCurrentProcessId()) + "-" +
                                        std::to_string(reinterpret_cast<std::uintptr_t>(this)));

    ScratchFolder() { std::filesystem::create_directories(path); }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    // The UTF-8 path of `name` in the folder, written with `bytes` unless they are empty.
    std::string file(const std::string& name, const std::string& bytes = {}) const {
        if (!bytes.empty()) {
            std::ofstream(path / name, std::ios::binary) << bytes;
        }
        const std::u8string utf8 = (path / name).u8string();
        return {utf8.begin(), utf8.end()};
    }
};

// Appends the `size` low bytes of `value` to `bytes`, least significant first.
inline void put(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes += static_cast<char>(value >> (8 * i));
    }
}

// A 24-bit BMP of `rgb` (0xRRGGBB, rows top down); with no pixels, its headers alone.
inline std::string bmp(int width, int height, const std::vector<std::uint32_t>& rgb) {
    const int rowBytes = (width * 3 + 3) & ~3;
    std::string bytes = "BM";
    const auto add = [&](std::uint32_t value, int size) { put(bytes, value, size); };
    add(54 + rowBytes * height, 4), add(0, 4), add(54, 4), add(40, 4), add(width, 4);
    add(height, 4), add(1, 2), add(24, 2), add(0, 4), add(rowBytes * height, 4), add(0, 16);
    for (int y = height - 1; y >= 0 && !rgb.empty(); --y) {
        for (int x = 0; x < width; ++x) {
            add(rgb[y * width + x], 3);
        }
        add(0, rowBytes - width * 3);
    }
    return bytes;
}

}  // namespace lumi::display
