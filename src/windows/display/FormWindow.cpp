// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/display/FormWindow.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>

#include "display/CalendarStrip.h"
#include "display/CanvasPixels.h"
#include "windows/platform/Utf16.h"

namespace lumi::display {
namespace {

constexpr wchar_t kWindowClass[] = L"LumiscribeDisplay";
constexpr UINT kTimerInterval = 1000;
constexpr COLORREF kCaptionColor = RGB(255, 255, 0);
constexpr COLORREF kStripColor = RGB(0, 0, 0);

RECT toRect(const Rect& rect) {
    return {rect.left, rect.top, rect.right + 1, rect.bottom + 1};
}

// The pixel of a COLORREF (0x00BBGGRR).
Rgb pixelOf(COLORREF color) {
    return 0xff000000u | static_cast<Rgb>(GetRValue(color)) << 16 |
           static_cast<Rgb>(GetGValue(color)) << 8 | GetBValue(color);
}

COLORREF colorRefOf(Rgb pixel) {
    return RGB((pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff);
}

FontHandle captionFont(int pixels) {
    // Arial bold italic of `pixels` pixels: 9.75 points at 96 dots per inch at full size.
    return FontHandle(CreateFontW(-pixels, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, L"Arial"));
}

// The local time as the caption shows it: "dddd, MMM d yyyy" in the user's language, then
// " --- ", then the time in the user's time format.
std::wstring dateText(const SYSTEMTIME& time) {
    wchar_t text[128] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, L"dddd, MMM d yyyy", text, 128, nullptr);
    return text;
}

}  // namespace

// A WM_TIMER timer of the window, or, for the paint step, a flag that the message loop reads.
class FormWindow::WindowTimer final : public platform::Timer {
public:
    WindowTimer(HWND hwnd, UINT_PTR id, bool idle) : hwnd_(hwnd), id_(id), idle_(idle) {}

    void start() override {
        if (!idle_) {
            SetTimer(hwnd_, id_, kTimerInterval, nullptr);
        }
        active_ = true;
    }
    void stop() override {
        if (!idle_ && active_) {
            KillTimer(hwnd_, id_);
        }
        active_ = false;
    }
    bool isActive() const override { return active_; }

private:
    HWND hwnd_;
    UINT_PTR id_;
    bool idle_;
    bool active_ = false;
};

void FormWindow::registerClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &FormWindow::windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
}

FormWindow::FormWindow(HINSTANCE instance, FormPlacement placement, FormWindowServices services)
    : placement_(std::move(placement)), services_(std::move(services)) {
    registerClass(instance);
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST, kWindowClass, L"Lumiscribe", WS_POPUP,
                            placement_.window.left, placement_.window.top,
                            placement_.window.width(), placement_.window.height(), nullptr,
                            nullptr, instance, this);
    for (UINT_PTR id = 0; id < timers_.size(); ++id) {
        timers_[id] = std::make_unique<WindowTimer>(
            hwnd_, id + 1, id == static_cast<UINT_PTR>(FormTimer::PaintStep));
    }
    captionFont_ = captionFont(std::max(1, static_cast<int>(kCalendarFontPixels *
                                                          services_.options.calendarScale + 0.5)));
    form_.emplace(static_cast<FormHost&>(*this), services_.settings, services_.player, services_.pictures,
                  services_.options);
}

FormWindow::~FormWindow() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void FormWindow::showTopMost() {
    SetWindowPos(hwnd_, HWND_TOPMOST, placement_.window.left, placement_.window.top,
                 placement_.window.width(), placement_.window.height(), SWP_SHOWWINDOW);
    SetForegroundWindow(hwnd_);
    SetFocus(hwnd_);
    // Where the pointer stands when the display appears, so that the move Windows reports
    // then, with no movement, is not counted.
    POINT pointer{};
    if (GetCursorPos(&pointer) && ScreenToClient(hwnd_, &pointer)) {
        lastMouse_ = pointer;
    }
}

int FormWindow::runMessageLoop() {
    const auto& paintStep = *timers_[static_cast<int>(FormTimer::PaintStep)];
    MSG message{};
    for (;;) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return static_cast<int>(message.wParam);
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (paintStep.isActive()) {
            form_->paintStep();
            continue;
        }
        WaitMessage();
    }
}

LRESULT CALLBACK FormWindow::windowProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window || !window->form_) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return window->handle(message, wParam, lParam);
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool input = services_.options.mode == DisplayMode::FullScreen;
    switch (message) {
        case WM_TIMER:
            switch (static_cast<FormTimer>(wParam - 1)) {
                case FormTimer::Timer1: form_->Timer1_Timer(); break;
                case FormTimer::TimerCal: form_->TimerCal_Timer(); break;
                case FormTimer::TimerMIDI: form_->TimerMIDI_Timer(); break;
                case FormTimer::Timer3: form_->Timer3_Timer(); break;
                case FormTimer::PaintStep: break;
            }
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && input) {
                form_->Form_Activate();
            }
            return 0;
        case WM_PAINT:
            paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETCURSOR:
            if (input && LOWORD(lParam) == HTCLIENT) {
                SetCursor(nullptr);
                return TRUE;
            }
            break;
        case WM_CHAR:
        case WM_SYSCHAR:
            if (input) {
                keyChar(wParam);
            }
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (input && (wParam == VK_LEFT || wParam == VK_RIGHT)) {
                form_->Pic2_ArrowKey(wParam == VK_LEFT ? ArrowStep::Previous : ArrowStep::Next);
                return 0;
            }
            if (wParam == VK_F4 && (GetKeyState(VK_MENU) & 0x8000)) {
                form_->TerminationRequested();
                return 0;
            }
            break;
        case WM_MOUSEMOVE:
            if (input) {
                mouseMove(lParam);
            }
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            if (input) {
                mouseButton(lParam, true);
            }
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (input) {
                mouseButton(lParam, false);
            }
            return 0;
        case WM_CLOSE:
            form_->TerminationRequested();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void FormWindow::keyChar(WPARAM character) {
    // Delete gives no character on Windows, as the display wants; every other key that gives
    // one reaches the form with its code.
    form_->Pic2_KeyPress(static_cast<int>(character));
}

void FormWindow::mouseMove(LPARAM position) {
    const POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    // Windows also sends a move when nothing moved (a window appeared, say): only a change of
    // position counts, and only over the canvas.
    if (lastMouse_ && lastMouse_->x == at.x && lastMouse_->y == at.y) {
        return;
    }
    lastMouse_ = at;
    if (!onCanvas(at)) {
        return;
    }
    form_->Pic2_MouseMove();
}

void FormWindow::mouseButton(LPARAM position, bool down) {
    const POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    // The strips take their clicks and do nothing with them.
    if (onStrip(at)) {
        return;
    }
    if (onCanvas(at)) {
        if (down) {
            form_->Pic2_MouseDown();
        }
        return;
    }
    if (!down) {
        form_->Form_MouseUp();
    }
}

bool FormWindow::onCanvas(POINT client) const {
    const RECT canvas = toClient(canvasGeometry_);
    return PtInRect(&canvas, client) && !onStrip(client);
}

bool FormWindow::onStrip(POINT client) const {
    for (const Strip* strip : {&calendar_, &photoDate_}) {
        const RECT rect = toClient(strip->strip);
        if (strip->shown && PtInRect(&rect, client)) {
            return true;
        }
    }
    return false;
}

RECT FormWindow::toClient(const Rect& rect) const {
    if (rect.isEmpty()) {
        return {};
    }
    return toRect(rect.translated(placement_.primary.topLeft()));
}

void FormWindow::invalidate(const Rect& formRect) {
    const RECT rect = toClient(formRect);
    InvalidateRect(hwnd_, &rect, FALSE);
}

void FormWindow::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    const Rgb back = colorPixel(form_->backColor()).value_or(0xff000000);
    const LoadedPicture& background = form_->backgroundPicture();
    // Every monitor shows the background; the primary also the canvas and the strips over
    // it. The canvas is left out of the background's fill, so that it never flickers.
    const int saved = SaveDC(dc);
    const RECT canvas = toClient(Rect::fromSize(canvasGeometry_.topLeft() + canvasOrigin_,
                                                {canvas_.pixels().width, canvas_.pixels().height}));
    if (!canvas_.isNull()) {
        ExcludeClipRect(dc, canvas.left, canvas.top, canvas.right, canvas.bottom);
    }
    std::vector<Rect> monitors = placement_.others;
    monitors.push_back(placement_.primary);
    HBRUSH brush = CreateSolidBrush(colorRefOf(back));
    for (const Rect& monitor : monitors) {
        const RECT area = toRect(monitor);
        FillRect(dc, &area, brush);
        if (background.ok()) {
            const int inner = SaveDC(dc);
            IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
            drawPixels(dc, background.pixels, {monitor.left, monitor.top});
            RestoreDC(dc, inner);
        }
    }
    DeleteObject(brush);
    RestoreDC(dc, saved);
    if (!canvas_.isNull()) {
        MemoryDc memory(CreateCompatibleDC(dc));
        const HGDIOBJ old = SelectObject(memory.get(), canvas_.bitmap());
        BitBlt(dc, canvas.left, canvas.top, canvas.right - canvas.left, canvas.bottom - canvas.top,
               memory.get(), 0, 0, SRCCOPY);
        SelectObject(memory.get(), old);
    }
    drawStrip(dc, calendar_);
    drawStrip(dc, photoDate_);
    EndPaint(hwnd_, &ps);
}

void FormWindow::drawStrip(HDC dc, const Strip& strip) const {
    if (!strip.shown) {
        return;
    }
    const RECT area = toClient(strip.strip);
    HBRUSH brush = CreateSolidBrush(kStripColor);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
    RECT caption = toRect(strip.caption);
    OffsetRect(&caption, area.left, area.top);
    const HGDIOBJ oldFont = SelectObject(dc, captionFont_.get());
    SetTextColor(dc, kCaptionColor);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, strip.text.c_str(), static_cast<int>(strip.text.size()), &caption,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX |
                  (strip.elide ? DT_END_ELLIPSIS : 0));
    SelectObject(dc, oldFont);
}

platform::Timer& FormWindow::timer(FormTimer which) {
    return *timers_[static_cast<int>(which)];
}

PixelBuffer FormWindow::canvasPixels() {
    return canvas_.pixels();
}

void FormWindow::placeCanvas(const Rect& geometry, const Rect& visibleArea) {
    const Rect visible = geometry.intersected(visibleArea);
    const Point origin = visible.isEmpty() ? Point{} : visible.topLeft() - geometry.topLeft();
    const Size size = visible.isEmpty() ? Size{} : Size{visible.width(), visible.height()};
    invalidate(Rect::fromSize(canvasGeometry_.topLeft() + canvasOrigin_,
                              {canvas_.pixels().width, canvas_.pixels().height}));
    if (!canvas_.isNull() && canvas_.pixels().width == size.width &&
        canvas_.pixels().height == size.height) {
        shiftPixels(canvas_.pixels(), canvasOrigin_ - origin);
    } else {
        DibSection resized(size.width, size.height, kCanvasBlack);
        copyCanvasPixels(canvas_.pixels(), canvasOrigin_, resized.pixels(), origin);
        canvas_ = std::move(resized);
    }
    canvasOrigin_ = origin;
    canvasGeometry_ = geometry;
    invalidate(Rect::fromSize(geometry.topLeft() + origin, size));
}

void FormWindow::repaintCanvas(const Region& dirty) {
    // GDI draws through its own batch; the painter's writes must land before the copy.
    GdiFlush();
    for (const Rect& rect : dirty) {
        invalidate(rect.translated(canvasGeometry_.topLeft() + canvasOrigin_));
    }
}

void FormWindow::repaintForm() {
    InvalidateRect(hwnd_, nullptr, FALSE);
}

std::optional<Rgb> FormWindow::colorPixel(ColorValue color) const {
    if (color == kNoColor) {
        return std::nullopt;
    }
    if (isSystemColor(color)) {
        if ((static_cast<std::uint32_t>(color) & 0xff) != 15) {
            return std::nullopt;
        }
        return pixelOf(GetSysColor(COLOR_BTNFACE));
    }
    return pixelOf(static_cast<COLORREF>(color));
}

void FormWindow::showCalendarStrip(const Rect& strip, const Rect& caption, int fontPixels) {
    captionFont_ = captionFont(fontPixels);
    calendar_.shown = true;
    calendar_.strip = strip;
    calendar_.caption = caption;
    invalidate(strip);
}

void FormWindow::setCalendarText(const std::string& text) {
    calendar_.text = platform::toUtf16(text);
    invalidate(calendar_.strip);
}

std::string FormWindow::calendarCaptionNow() const {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t time[128] = {};
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &now, nullptr, time, 128);
    return platform::toUtf8(dateText(now) + L" --- " + time);
}

std::string FormWindow::calendarDateText(const CalendarDate& date) const {
    SYSTEMTIME day{};
    day.wYear = static_cast<WORD>(date.year);
    day.wMonth = static_cast<WORD>(date.month);
    day.wDay = static_cast<WORD>(date.day);
    return platform::toUtf8(dateText(day));
}

int FormWindow::captionTextWidth(const std::string& text) const {
    const std::wstring wide = platform::toUtf16(text);
    HDC dc = GetDC(hwnd_);
    const HGDIOBJ oldFont = SelectObject(dc, captionFont_.get());
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, oldFont);
    ReleaseDC(hwnd_, dc);
    // The italic slant reaches past the advance; the strip leaves room for it.
    return size.cx + metrics.tmAveCharWidth;
}

void FormWindow::showPhotoDateStrip(const Rect& strip, const Rect& caption,
                                    const std::string& text, bool elide) {
    if (photoDate_.shown) {
        invalidate(photoDate_.strip);
    }
    photoDate_ = {true, strip, caption, platform::toUtf16(text), elide};
    invalidate(strip);
}

void FormWindow::hidePhotoDateStrip() {
    if (photoDate_.shown) {
        photoDate_.shown = false;
        invalidate(photoDate_.strip);
    }
}

PictureListRead FormWindow::readPictureList(const std::string& path) const {
    return services_.readPictureList(path);
}

double FormWindow::secondsSinceMidnight() const {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

void FormWindow::showCursor(bool show) {
    ShowCursor(show ? TRUE : FALSE);
}

void FormWindow::setScreenSaverRunning(bool running) {
    UINT previous = 0;
    SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? TRUE : FALSE, &previous, 0);
}

void FormWindow::endProcess() {
    ExitProcess(0);
}

void FormWindow::report(const std::string& line) {
    const std::wstring text = platform::toUtf16("lumiscribe: " + line + "\n");
    OutputDebugStringW(text.c_str());
    std::fprintf(stderr, "lumiscribe: %s\n", line.c_str());
}

}  // namespace lumi::display
