// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/display/DisplayWindow.h"

#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "display/CalendarStrip.h"
#include "linux/display/CalendarCaption.h"
#include "linux/display/Colors.h"
#include "linux/display/CorePixels.h"
#include "linux/display/KeyAscii.h"
#include "linux/platform/RegularFile.h"
#include "linux/settings/PictureFolders.h"
#include "linux/settings/PictureList.h"

namespace lumi::display {
namespace {

constexpr int kTimerInterval = 1000;

// A widget that takes every mouse event and does nothing with it, so that clicks on it
// never reach the form beneath.
class InertWidget final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }
    void mouseMoveEvent(QMouseEvent* event) override { event->accept(); }
};

// The desktop's session lock as the form asks for it.
class SessionLocker final : public platform::SessionLocker {
public:
    explicit SessionLocker(std::unique_ptr<platform::SessionLock> lock) : lock_(std::move(lock)) {}

    void prepare() override { lock_->prepare(); }
    void lock(std::function<void(const std::string&)> done) override {
        lock_->lock([done = std::move(done)](platform::SessionLock::Outcome outcome,
                                            const QString& service) {
            done(platform::lockOutcomeText(outcome, service).toStdString());
        });
    }
    bool requested() const override { return lock_->requested(); }

private:
    std::unique_ptr<platform::SessionLock> lock_;
};

FormOptions formOptions(const DisplayServices& services) {
    FormOptions options{platform::encodeFileName(services.installDir).toStdString(),
                        toSize(services.screenSize), services.mode, services.largePictures,
                        nullptr, services.calendarScale};
    if (services.makeSessionLock) {
        options.makeSessionLock = [make = services.makeSessionLock]() {
            return std::make_unique<SessionLocker>(make());
        };
    }
    return options;
}

}  // namespace

DisplayWindow::DisplayWindow(DisplayServices services, QWidget* parent)
    : QWidget(parent),
      timerSwitches_{platform::QtTimer(timers[0]), platform::QtTimer(timers[1]),
                     platform::QtTimer(timers[2]), platform::QtTimer(timers[3]),
                     platform::QtTimer(timers[4])},
      services_(std::move(services)),
      form(*this, services_.settings, services_.player, pictures_, formOptions(services_)) {
    setWindowTitle(QStringLiteral("Lumiscribe"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);

    Pic2 = new Canvas(this);
    Pic2->setGeometry(0, 0, 0, 0);
    Pic2->installEventFilter(this);

    QPalette stripPalette;
    stripPalette.setColor(QPalette::Window, Qt::black);
    QPalette captionPalette;
    captionPalette.setColor(QPalette::WindowText, QColor(255, 255, 0));
    for (auto [strip, caption] : {std::pair{&picCal, &lblCal}, std::pair{&picDate, &lblDate}}) {
        *strip = new InertWidget(this);
        (*strip)->setAutoFillBackground(true);
        (*strip)->setPalette(stripPalette);
        (*strip)->hide();
        *caption = new QLabel(*strip);
        (*caption)->setAlignment(Qt::AlignCenter);
        (*caption)->setPalette(captionPalette);
    }
    // 9.75 points at 96 dots per inch, in device pixels like the strip, so that the
    // desktop's font resolution cannot make the caption outgrow it; the photo date's strip
    // is never scaled.
    QFont captionFont(QStringLiteral("Arial"));
    captionFont.setPixelSize(std::max(
        1, static_cast<int>(std::lround(kCalendarFontPixels * form.options().calendarScale))));
    captionFont.setBold(true);
    captionFont.setItalic(true);
    lblDate->setFont(captionFont);
    lblCal->setFont(captionFont);

    for (int i = 0; i < 4; ++i) {
        timers[i].setInterval(kTimerInterval);
    }
    timers[static_cast<int>(FormTimer::PaintStep)].setInterval(0);
    const auto route = [this](FormTimer which, void (frmMain::*handler)()) {
        connect(&timers[static_cast<int>(which)], &QTimer::timeout, this,
                [this, handler] { (form.*handler)(); });
    };
    route(FormTimer::Timer1, &frmMain::Timer1_Timer);
    route(FormTimer::TimerCal, &frmMain::TimerCal_Timer);
    route(FormTimer::TimerMIDI, &frmMain::TimerMIDI_Timer);
    route(FormTimer::Timer3, &frmMain::Timer3_Timer);
    route(FormTimer::PaintStep, &frmMain::paintStep);

    Pic2->setFocus();
}

QImage DisplayWindow::backgroundImage() const {
    const LoadedPicture& picture = form.backgroundPicture();
    if (!picture.ok()) {
        return {};
    }
    return QImage(reinterpret_cast<const uchar*>(picture.pixels.bits), picture.pixels.width,
                  picture.pixels.height,
                  static_cast<qsizetype>(picture.pixels.stride * sizeof(Rgb)),
                  QImage::Format_RGB32);
}

platform::Timer& DisplayWindow::timer(FormTimer which) {
    return timerSwitches_[static_cast<int>(which)];
}

PixelBuffer DisplayWindow::canvasPixels() {
    return pixelsOf(Pic2->image());
}

Point DisplayWindow::canvasOrigin() const {
    return toPoint(Pic2->imageOrigin());
}

void DisplayWindow::placeCanvas(const Rect& geometry, const Rect& visibleArea) {
    Pic2->place(toQRect(geometry), toQRect(visibleArea));
}

void DisplayWindow::repaintCanvas(const Region& dirty) {
    Pic2->update(toQRegion(dirty).translated(Pic2->imageOrigin()));
}

std::optional<Rgb> DisplayWindow::colorPixel(ColorValue color) const {
    const std::optional<QColor> resolved = toQColor(color);
    if (!resolved) {
        return std::nullopt;
    }
    return resolved->rgb();
}

void DisplayWindow::showCalendarStrip(const Rect& strip, const Rect& caption, int fontPixels) {
    QFont font = lblCal->font();
    font.setPixelSize(fontPixels);
    lblCal->setFont(font);
    picCal->setGeometry(toQRect(strip));
    lblCal->setGeometry(toQRect(caption));
    picCal->show();
}

void DisplayWindow::setCalendarText(const std::string& text) {
    lblCal->setText(QString::fromStdString(text));
}

std::string DisplayWindow::calendarCaptionNow() const {
    return calendarCaption(services_.clock.now(), QLocale()).toStdString();
}

std::string DisplayWindow::calendarDateText(const CalendarDate& date) const {
    return display::calendarDate(QDate(date.year, date.month, date.day), QLocale()).toStdString();
}

int DisplayWindow::captionTextWidth(const std::string& text) const {
    const QFontMetrics metrics(lblDate->font());
    // The italic slant reaches past the advance; the strip leaves room for it.
    return metrics.horizontalAdvance(QString::fromStdString(text)) + metrics.averageCharWidth();
}

void DisplayWindow::showPhotoDateStrip(const Rect& strip, const Rect& caption,
                                       const std::string& text, bool elide) {
    const QString full = QString::fromStdString(text);
    lblDate->setText(elide ? QFontMetrics(lblDate->font())
                                 .elidedText(full, Qt::ElideRight, caption.width())
                           : full);
    picDate->setGeometry(toQRect(strip));
    lblDate->setGeometry(toQRect(caption));
    picDate->show();
    picDate->raise();
}

PictureListRead DisplayWindow::readPictureList(const std::string& path) const {
    // A missing list reads as empty; one that is not a regular file (a pipe would block the
    // start) or does not answer is refused with its reason.
    const settings::PictureListReadResult read =
        settings::readPictureList(platform::decodeFileName(QByteArray::fromStdString(path)));
    PictureListRead result;
    result.error = read.error.toStdString();
    for (const QString& entry : settings::expandPictureList(read.entries)) {
        result.entries.push_back(platform::encodeFileName(entry).toStdString());
    }
    return result;
}

void DisplayWindow::report(const std::string& line) {
    std::fprintf(stderr, "lumiscribe: %s\n", line.c_str());
}

void DisplayWindow::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (services_.mode == DisplayMode::FullScreen) {
        form.Form_MouseUp();
    }
}

bool DisplayWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Pic2 || services_.mode == DisplayMode::Hosted) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            form.Pic2_MouseDown();
            return true;
        case QEvent::MouseMove:
            form.Pic2_MouseMove();
            return true;
        case QEvent::KeyPress:
            // Taken before the widget sees it, so that Tab never moves the focus.
            if (const std::optional<int> code = keyAscii(*static_cast<QKeyEvent*>(event))) {
                form.Pic2_KeyPress(*code);
            } else if (const std::optional<ArrowStep> step =
                           arrowStep(*static_cast<QKeyEvent*>(event))) {
                form.Pic2_ArrowKey(*step);
            }
            return true;
        default:
            return QWidget::eventFilter(watched, event);
    }
}

bool DisplayWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && services_.mode == DisplayMode::FullScreen) {
        form.Form_Activate();
    }
    return QWidget::event(event);
}

void DisplayWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), toQColor(form.backColor()).value_or(Qt::black));
    const QImage background = backgroundImage();
    if (!background.isNull()) {
        painter.drawImage(QPoint(0, 0), background);
    }
}

}  // namespace lumi::display
