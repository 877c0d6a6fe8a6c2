// SPDX-License-Identifier: GPL-3.0-or-later
// A pointer for the end-to-end tests in a Wayland session: it adds a virtual pointer to the
// compositor's seat (the wlr virtual-pointer protocol, which sway offers) and plays the
// commands of its arguments in order:
//
//   move X Y W H   moves to X, Y of a W x H area spanning all outputs
//   by DX DY       moves by DX, DY
//   click          presses and releases the left button
//   wait MS        waits MS milliseconds (a client binds a new pointer in the meantime)
//   hold           keeps the pointer until the process is ended
//
// A headless compositor has no pointer of its own; while this one exists, clients see one.
// Exit status 0 when every command was sent, 1 when the compositor offers no virtual pointer.

#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

// The protocol's two interfaces, spelled out here because Debian ships no description of it
// for wayland-scanner. Only requests are sent; neither interface has events.
const wl_interface* noTypes[5] = {};
const wl_message pointerRequests[] = {
    {"motion", "uff", noTypes},   {"motion_absolute", "uuuuu", noTypes},
    {"button", "uuu", noTypes},   {"axis", "uuf", noTypes},
    {"frame", "", noTypes},       {"axis_source", "u", noTypes},
    {"axis_stop", "uu", noTypes}, {"axis_discrete", "uufi", noTypes},
    {"destroy", "", noTypes},
};
const wl_interface pointerInterface = {"zwlr_virtual_pointer_v1", 1, 9,
                                       pointerRequests,           0, nullptr};
const wl_interface* managerTypes[] = {&wl_seat_interface, &pointerInterface};
const wl_message managerRequests[] = {
    {"create_virtual_pointer", "?on", managerTypes},
    {"destroy", "", noTypes},
};
const wl_interface managerInterface = {
    "zwlr_virtual_pointer_manager_v1", 1, 2, managerRequests, 0, nullptr};

enum PointerRequest : uint32_t { Motion = 0, MotionAbsolute = 1, Button = 2, Frame = 4 };
constexpr uint32_t kLeftButton = 0x110;  // BTN_LEFT

struct Globals {
    wl_seat* seat = nullptr;
    wl_proxy* manager = nullptr;
};

void announce(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !globals->seat) {
        globals->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, managerInterface.name) == 0) {
        globals->manager =
            static_cast<wl_proxy*>(wl_registry_bind(registry, name, &managerInterface, 1));
    }
}

void withdraw(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener = {announce, withdraw};

int number(const char* text) {
    return std::atoi(text);
}

}  // namespace

int main(int argc, char** argv) {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fputs("wayland_pointer: no Wayland display\n", stderr);
        return 1;
    }
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &globals);
    wl_display_roundtrip(display);
    if (!globals.manager || !globals.seat) {
        std::fputs("wayland_pointer: the compositor offers no virtual pointer\n", stderr);
        return 1;
    }
    wl_proxy* pointer =
        wl_proxy_marshal_constructor(globals.manager, 0, &pointerInterface, globals.seat, nullptr);
    wl_display_roundtrip(display);

    uint32_t time = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string command = argv[i];
        if (command == "move" && i + 4 < argc) {
            wl_proxy_marshal(pointer, MotionAbsolute, time++, number(argv[i + 1]),
                             number(argv[i + 2]), number(argv[i + 3]), number(argv[i + 4]));
            wl_proxy_marshal(pointer, Frame);
            i += 4;
        } else if (command == "by" && i + 2 < argc) {
            wl_proxy_marshal(pointer, Motion, time++, wl_fixed_from_int(number(argv[i + 1])),
                             wl_fixed_from_int(number(argv[i + 2])));
            wl_proxy_marshal(pointer, Frame);
            i += 2;
        } else if (command == "click") {
            wl_proxy_marshal(pointer, Button, time++, kLeftButton, 1);
            wl_proxy_marshal(pointer, Frame);
            wl_proxy_marshal(pointer, Button, time++, kLeftButton, 0);
            wl_proxy_marshal(pointer, Frame);
        } else if (command == "wait" && i + 1 < argc) {
            std::this_thread::sleep_for(std::chrono::milliseconds(number(argv[i + 1])));
            i += 1;
        } else if (command == "hold") {
            wl_display_roundtrip(display);
            while (wl_display_dispatch(display) != -1) {
            }
        } else {
            std::fprintf(stderr, "wayland_pointer: cannot read the command \"%s\"\n", argv[i]);
            return 2;
        }
        wl_display_roundtrip(display);
    }
    wl_display_disconnect(display);
    return 0;
}
