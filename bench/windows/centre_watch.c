// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program and measures the time until the pixel at the centre of the X screen first
// differs from what it showed before the start. Reads that one pixel with XGetImage, about
// every 0.2 ms, so the figure's resolution is far below a frame. Prints "<milliseconds> <pid>"
// and leaves the program running; the caller ends it. Exits with 1 when the pixel does not
// change within the timeout (first argument, seconds).
//
//   centre_watch timeout program [argument...]
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
    struct timespec time;
    clock_gettime(CLOCK_MONOTONIC, &time);
    return time.tv_sec * 1e3 + time.tv_nsec / 1e6;
}

static unsigned long centre_pixel(Display* display, Window root, int x, int y) {
    XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) {
        return ~0UL;
    }
    unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: centre_watch timeout program [argument...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "centre_watch: no X display\n");
        return 2;
    }
    Window root = DefaultRootWindow(display);
    int x = DisplayWidth(display, DefaultScreen(display)) / 2;
    int y = DisplayHeight(display, DefaultScreen(display)) / 2;
    unsigned long before = centre_pixel(display, root, x, y);
    double start = now_ms();
    pid_t child = fork();
    if (child == 0) {
        // The program's output goes to standard error: it may outlive this helper, and the
        // caller reads this helper's output to its end.
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    double deadline = start + atof(argv[1]) * 1e3;
    struct timespec pause = {0, 200000};
    while (centre_pixel(display, root, x, y) == before) {
        if (now_ms() > deadline) {
            printf("timeout %d\n", (int)child);
            return 1;
        }
        nanosleep(&pause, NULL);
    }
    printf("%.1f %d\n", now_ms() - start, (int)child);
    XCloseDisplay(display);
    return 0;
}
