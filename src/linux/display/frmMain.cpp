// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/display/frmMain.h"

#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <random>

#include "linux/platform/RegularFile.h"
#include "linux/display/CalendarCaption.h"
#include "linux/display/CorePixels.h"
#include "linux/display/KeyAscii.h"
#include "settings/IntegerConversion.h"
#include "linux/settings/PictureFolders.h"
#include "linux/settings/PictureList.h"
#include "settings/SettingKeys.h"

namespace lumi::display {
namespace {

constexpr int kTimerInterval = 1000;
constexpr qint16 kCounterLimit = 32767;
// The canvas is asked to repaint at most once per display frame while a picture is painted.
constexpr int kFrameMilliseconds = 16;
// One pass of the event loop paints at most one column, and stops within it once it has
// painted for this long, so that input, timers and repaints wait no longer than a frame
// whatever the size of the picture. The beams are painted in slices of kBeamsPerSlice between
// two looks at the clock; a slice of the longest beams on a large screen takes well under a
// millisecond.
constexpr qint64 kPaintPassNanoseconds = 8'000'000;
constexpr int kBeamsPerSlice = 64;
// Mouse moves are counted in windows of this many seconds.
constexpr double kMoveWindowSeconds = 10;

// The calendar strip and its caption as designed.
constexpr QRect kCalendarStrip{5, 540, 271, 25};
constexpr QRect kCalendarCaption{2, 2, 261, 17};
// The photo-date strip: as high as the calendar strip, its caption inset as the calendar's,
// the strip as wide as its text plus the calendar's margins, and this far from the screen's
// right edge and from the calendar strip.
constexpr int kDateStripGap = 5;
constexpr int kDateCaptionMargin = kCalendarStrip.width() - kCalendarCaption.width();
// Below this width for its text the strip is not shown at all: no date would be readable.
constexpr int kSmallestDateCaption = 24;

// Character codes of the keys that do not end the screen saver.
constexpr int kSpace = 32;
constexpr int kNextSongKey = 110;    // "n"
constexpr int kStopMusicKey = 113;   // "q"
constexpr int kStartMusicKey = 115;  // "s"

void report(const QString& message) {
    std::fprintf(stderr, "lumiscribe: %s\n", qPrintable(message));
}

qint16 saturatingIncrement(qint16 counter) {
    return counter < kCounterLimit ? static_cast<qint16>(counter + 1) : counter;
}

// `rect` with every edge and length at `scale` of its size, each at least one pixel long.
QRect scaled(const QRect& rect, double scale) {
    const auto at = [scale](int length) { return static_cast<int>(std::lround(length * scale)); };
    return QRect(at(rect.left()), at(rect.top()), std::max(1, at(rect.width())),
                 std::max(1, at(rect.height())));
}

qint16 toInt16(int value) {
    return static_cast<qint16>(std::clamp(value, -32768, 32767));
}

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

}  // namespace

frmMain::frmMain(DisplayServices services, QWidget* parent)
    : QWidget(parent),
      playlist(services.player, services.settings, timerMidiSwitch,
               platform::encodeFileName(services.installDir).toStdString()),
      soundOff(services.player, timerMidiSwitch, playlist),
      services_(std::move(services)) {
    setWindowTitle(QStringLiteral("Lumiscribe"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);

    Pic2 = new Canvas(this);
    Pic2->setGeometry(0, 0, 0, 0);
    Pic2->installEventFilter(this);

    picCal = new InertWidget(this);
    const double calendarScale = std::clamp(services_.calendarScale, 0.01, 1.0);
    picCal->setGeometry(scaled(kCalendarStrip, calendarScale));
    picCal->setAutoFillBackground(true);
    QPalette stripPalette = picCal->palette();
    stripPalette.setColor(QPalette::Window, Qt::black);
    picCal->setPalette(stripPalette);
    picCal->hide();

    lblCal = new QLabel(picCal);
    lblCal->setGeometry(scaled(kCalendarCaption, calendarScale));
    lblCal->setAlignment(Qt::AlignCenter);
    QPalette captionPalette = lblCal->palette();
    captionPalette.setColor(QPalette::WindowText, QColor(255, 255, 0));
    lblCal->setPalette(captionPalette);
    QFont captionFont(QStringLiteral("Arial"));
    // 9.75 points at 96 dots per inch, in device pixels like the strip, so that the
    // desktop's font resolution cannot make the caption outgrow it.
    captionFont.setPixelSize(std::max(1, static_cast<int>(std::lround(13 * calendarScale))));
    captionFont.setBold(true);
    captionFont.setItalic(true);
    lblCal->setFont(captionFont);

    picDate = new InertWidget(this);
    picDate->setAutoFillBackground(true);
    picDate->setPalette(stripPalette);
    picDate->hide();
    lblDate = new QLabel(picDate);
    lblDate->setAlignment(Qt::AlignCenter);
    lblDate->setPalette(captionPalette);
    lblDate->setFont(captionFont);

    for (QTimer* timer : {&Timer1, &TimerCal, &TimerMIDI, &Timer3}) {
        timer->setInterval(kTimerInterval);
    }
    TimerMIDI.start();
    Timer3.start();
    connect(&Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    connect(&TimerCal, &QTimer::timeout, this, &frmMain::TimerCal_Timer);
    connect(&TimerMIDI, &QTimer::timeout, this, [this] { playlist.TimerMIDI_Timer(); });
    connect(&Timer3, &QTimer::timeout, this, [this] { soundOff.Timer3_Timer(); });
    paintStepTimer_.setInterval(0);
    connect(&paintStepTimer_, &QTimer::timeout, this, &frmMain::paintStep);

    Pic2->setFocus();
}

qint16 frmMain::readInteger(std::string_view key, std::string_view readDefault,
                            qint16 unconverted) const {
    return settings::readInteger(services_.settings, key, readDefault, unconverted);
}

void frmMain::Form_Load() {
    if (readInteger("SetReg", "1", 0) != 2) {
        SetRegistry();
    }
    PicIndex = 0;
    playlist.MidiCurrent = 0;
    services_.player.setVisible(false);
    InstallDir = services_.installDir;
    Delay = settings::kDelayBeforeRead;

    loadPictureList();
    prepareSequence();
    applyBackground();

    // Each member is passed as its own value for a setting that does not convert, which
    // leaves it as it was: Delay 5, the others 0.
    Delay = readInteger("Delay", "1", Delay);
    MouseSen = readInteger("MouseSen", "1", MouseSen);
    MusicOn = readInteger("Music", "1", MusicOn);
    if (MusicOn == 0) {
        TimerMIDI.stop();
    }
    playlist.loadFlags();
    CalendarOn = readInteger("Calendar", "1", CalendarOn);
    if (CalendarOn == 1) {
        startCalendar();
    }
    soundOff.SoundOffMinutes =
        readInteger("SoundOff", "1", soundOff.SoundOffMinutes);
    if (soundOff.SoundOffMinutes != 0) {
        SoundOff();
    }
    // The synthesiser and its SoundFont are made only for a display that will play music,
    // and made now, so that the first tune is ready by the first TimerMIDI tick. TimerMIDI
    // stays on whatever the sound-off limit: only Timer3 switches it off at the limit.
    if (MusicOn != 0) {
        services_.player.prepare();
    }
    if (services_.mode == DisplayMode::FullScreen) {
        services_.cursor.showCursor(false);
    }
    // The lock's services are found now, so that the end asks for the lock without a round
    // trip first. With "LockScreen" 0 no bus is ever connected.
    if (services_.mode == DisplayMode::FullScreen && services_.makeSessionLock &&
        readInteger("LockScreen", "0", 0) == 1) {
        sessionLock_ = services_.makeSessionLock();
        sessionLock_->prepare();
    }
    // The first picture decodes while the window is being shown; its activation finds it
    // ready or under way.
    loader_.prefetch(List1.text());
}

void frmMain::loadPictureList() {
    const QString listFile = InstallDir + QStringLiteral("List.txt");
    // A missing list reads as empty; one that is not a regular file (a pipe would block the
    // start) or does not answer is refused with its reason.
    const settings::PictureListReadResult read = settings::readPictureList(listFile);
    if (!read.error.isEmpty()) {
        report(read.error);
    }
    if (!read.entries.isEmpty()) {
        // Folders are read afresh at every start, so that new pictures in them show.
        List1.entries = settings::expandPictureList(read.entries);
    }
    LastPic = List1.listCount() - 1;
    if (List1.listCount() > 0) {
        List1.listIndex = 0;
    } else {
        List1.entries.append(InstallDir + QStringLiteral("default.jpg"));
        List1.listIndex = 0;
        LastPic = 0;
    }
}

void frmMain::prepareSequence() {
    shrinksLargePictures_ =
        services_.largePictures
            ? *services_.largePictures == LargePictures::Shrink
            : readInteger("FitLarge", "0", 0) == 1;
    PhotoDateOn = readInteger("PhotoDate", "0", 0);
    const PhotoDates dates = PhotoDateOn == 1 ? PhotoDates::Read : PhotoDates::Skip;
    if (shrinksLargePictures_ || dates == PhotoDates::Read) {
        loader_.setDecoder(
            [bound = shrinksLargePictures_ ? services_.screenSize : QSize(), dates](const QString& path) {
                return decodePictureWithin(path, bound, dates);
            });
    }
    showOrder_ = readInteger("Shuffle", "0", 0) == 1
                     ? ShowOrder::Shuffle
                     : ShowOrder::List;
    order_ = PictureOrder(List1.listCount(), showOrder_, std::random_device{}());
    PicIndex = order_.current();
    List1.listIndex = PicIndex;
}

void frmMain::applyBackground() {
    const std::optional<int> choice = settings::backgroundChoice(
        services_.settings.read("BG", "1"));
    if (!choice) {
        // Any other value, number or not, leaves the designed black.
        return;
    }
    if (*choice == 0) {
        BackColor = kWhite;
    } else if (*choice == 1) {
        BackColor = kBlack;
    } else if (*choice == 2) {
        BackColor = kButtonFace;
    } else if (*choice == 3) {
        const QString file = QString::fromStdString(services_.settings.read("BGFile", "1"));
        const DecodedPicture background = decodePicture(file);
        if (background.ok()) {
            // Drawn from the top-left corner at its own size: only that much ever shows.
            backgroundPicture_ = background.image.copy(
                QRect(QPoint(0, 0), background.image.size().boundedTo(services_.screenSize)));
        } else {
            report(QStringLiteral("cannot load the background picture %1: %2")
                       .arg(file, background.error));
        }
        BackColor = kBlack;
    }
    update();
}

void frmMain::startCalendar() {
    // The strip's left edge scales with it; its top is a share of the height already.
    picCal->move(picCal->x(), calendarTop(services_.screenSize.height()));
    picCal->show();
    TimerCal.start();
    // The caption is filled at once, so that the strip never shows blank.
    TimerCal_Timer();
}

void frmMain::TimerCal_Timer() {
    if (CalendarOn != 1) {
        return;
    }
    lblCal->setText(calendarCaption(services_.clock.now(), QLocale()));
}

void frmMain::SetRegistry() {
    settings::SetRegistry(services_.settings, services_.installDir.toStdString());
}

void frmMain::SoundOff() {
    soundOff.SoundOff();
}

void frmMain::MidiSounds() {
    playlist.MidiSounds();
}

void frmMain::MidiSoundsCheckedNext() {
    playlist.MidiSoundsCheckedNext();
}

void frmMain::Form_Activate() {
    // Only the first activation shows a picture: the window gets the focus back whenever a
    // pop-up of another program returns it, and that must not restart the slideshow.
    if (Activated == -1) {
        return;
    }
    Activated = -1;
    // Timer1 starts when this first picture has been painted.
    ChangePic();
}

void frmMain::ChangePic() {
    Timer1.stop();
    painter_.abandon();
    paintStepTimer_.stop();
    failedEntries_.clear();
    loadCurrentEntry();
}

void frmMain::loadCurrentEntry() {
    loader_.load(List1.text(), [this](const DecodedPicture& picture) { pictureLoaded(picture); });
}

void frmMain::pictureLoaded(const DecodedPicture& picture) {
    if (picture.ok()) {
        showPhotoDate(picture.taken);
        showPicture(picture.image);
        return;
    }
    if (!reportedFailures_.contains(picture.path)) {
        reportedFailures_.insert(picture.path);
        report(QStringLiteral("cannot load the picture %1: %2").arg(picture.path, picture.error));
    }
    // Counted by entry: a shuffled order may come back to an entry before it has tried all.
    failedEntries_.insert(PicIndex);
    if (failedEntries_.size() > LastPic) {
        // No entry loads: keep what the screen shows and try again after the next Delay.
        DelayCount = 0;
        Timer1.start();
        return;
    }
    // Skipped the way the user was going.
    PicIndex = lastStep_ == ArrowStep::Previous ? order_.previous() : order_.next();
    List1.listIndex = PicIndex;
    loadCurrentEntry();
}

void frmMain::showPicture(const QImage& picture) {
    Picture1 = picture;
    const double screenWidth = services_.screenSize.width();
    const double screenHeight = services_.screenSize.height();
    const int left = static_cast<int>(std::lround(screenWidth / 2 - Picture1.width() / 2.0));
    const int top = static_cast<int>(std::lround(screenHeight / 2 - Picture1.height() / 2.0));
    picture1Geometry = QRect(left, top, Picture1.width(), Picture1.height());
    Pic2->place(QRect(left, top, Picture1.width() - 1, Picture1.height() - 1),
                QRect(QPoint(0, 0), services_.screenSize));
    BeamX = toInt16(Picture1.width());
    BeamY = toInt16(Picture1.height());
    LaserPaint();
}

void frmMain::showPhotoDate(std::optional<QDate> taken) {
    if (PhotoDateOn != 1 || !taken) {
        picDate->hide();
        return;
    }
    // The strip stands between the calendar strip (or the left margin when the calendar is
    // off) and the right edge; a text too long for that room is cut short with an ellipsis,
    // so that the two strips never meet.
    const int screenWidth = services_.screenSize.width();
    const int leftLimit =
        (CalendarOn == 1 ? kCalendarStrip.left() + kCalendarStrip.width() : 0) + kDateStripGap;
    const int room = screenWidth - kDateStripGap - leftLimit;
    const QFontMetrics metrics(lblDate->font());
    const QString text = calendarDate(*taken, QLocale());
    // The italic slant reaches past the advance; the strip leaves room for it.
    const int textWidth = metrics.horizontalAdvance(text) + metrics.averageCharWidth();
    const int captionWidth = std::min(textWidth, room - kDateCaptionMargin);
    if (captionWidth < kSmallestDateCaption) {
        picDate->hide();
        return;
    }
    lblDate->setText(captionWidth < textWidth
                         ? metrics.elidedText(text, Qt::ElideRight, captionWidth)
                         : text);
    const int stripWidth = captionWidth + kDateCaptionMargin;
    picDate->setGeometry(screenWidth - kDateStripGap - stripWidth,
                         calendarTop(services_.screenSize.height()), stripWidth,
                         kCalendarStrip.height());
    lblDate->setGeometry(kCalendarCaption.left(), kCalendarCaption.top(), captionWidth,
                         kCalendarCaption.height());
    picDate->show();
    picDate->raise();
}

void frmMain::LaserPaint() {
    Timer1.stop();
    std::optional<QRgb> backColor;
    if (const auto color = toQColor(BackColor)) {
        backColor = color->rgb();
    }
    painterSource_ = Picture1.format() == QImage::Format_RGB32
                         ? Picture1
                         : Picture1.convertToFormat(QImage::Format_RGB32);
    // The painter writes into the canvas image's own pixels; the canvas keeps that image in
    // place until the next picture is shown, which abandons this painting first.
    painter_.start(constPixelsOf(painterSource_), pixelsOf(Pic2->image()),
                   toPoint(Pic2->imageOrigin()), Point{BeamX, BeamY}, Point{}, backColor);
    frameClock_.start();
    paintStepTimer_.start();
}

void frmMain::paintStep() {
    QElapsedTimer pass;
    pass.start();
    const int column = painter_.column();
    do {
        painter_.step(kBeamsPerSlice);
    } while (painter_.running() && painter_.column() == column &&
             pass.nsecsElapsed() < kPaintPassNanoseconds);
    if (painter_.running()) {
        // The first column shows at once; after it, at most one repaint per frame.
        if (column == 0 || frameClock_.elapsed() >= kFrameMilliseconds) {
            flushCanvas();
        }
        return;
    }
    paintStepTimer_.stop();
    flushCanvas();
    DelayCount = 0;
    Timer1.start();
    // The canvas keeps the pixels; the loader keeps the decode until the next is ready.
    Picture1 = QImage();
    painterSource_ = QImage();
    // Decode the next picture while this one stays on the screen.
    if (LastPic >= 0) {
        loader_.prefetch(List1.entries.value(order_.upcoming()));
    }
}

void frmMain::flushCanvas() {
    const Region dirty = painter_.takeDirtyRegion();
    if (!dirty.empty()) {
        Pic2->update(toQRegion(dirty).translated(Pic2->imageOrigin()));
    }
    frameClock_.start();
}

void frmMain::AdvancePicture() {
    PicIndex = order_.next();
    List1.listIndex = PicIndex;
    lastStep_ = ArrowStep::Next;
    ChangePic();
}

void frmMain::ShowPreviousPicture() {
    PicIndex = order_.previous();
    List1.listIndex = PicIndex;
    lastStep_ = ArrowStep::Previous;
    ChangePic();
}

void frmMain::Timer1_Timer() {
    DelayCount = saturatingIncrement(DelayCount);
    if (DelayCount == Delay) {
        // The painting that this starts sets DelayCount to 0 when it ends.
        AdvancePicture();
    }
}

void frmMain::stopAndCloseDown() {
    services_.player.stop();
    CloseDown();
}

void frmMain::Form_MouseUp() {
    stopAndCloseDown();
}

void frmMain::Pic2_MouseDown() {
    stopAndCloseDown();
}

void frmMain::Pic2_KeyPress(int keyAscii) {
    // While the end waits for the lock, the display only stays on screen.
    if (lockRequested()) {
        return;
    }
    switch (keyAscii) {
        case kSpace:
            // The painting that this starts sets DelayCount to 0 when it ends.
            AdvancePicture();
            break;
        case kNextSongKey:
            playlist.MidiSoundsNextSong();
            break;
        case kStopMusicKey:
            playlist.MidiSoundsStop();
            break;
        case kStartMusicKey:
            playlist.MidiSoundsStart();
            break;
        default:
            stopAndCloseDown();
            break;
    }
}

void frmMain::Pic2_ArrowKey(ArrowStep step) {
    if (lockRequested()) {
        return;
    }
    // The painting that this starts sets DelayCount to 0 when it ends.
    if (step == ArrowStep::Previous) {
        ShowPreviousPicture();
    } else {
        AdvancePicture();
    }
}

void frmMain::Pic2_MouseMove() {
    if (Activated != -1) {
        return;
    }
    MoveCount = saturatingIncrement(MoveCount);
    // A MouseSen of 0 or less, which only a value stored from outside can give, never ends
    // the screen saver by movement.
    if (MouseSen > 0 && MoveCount == MouseSen) {
        stopAndCloseDown();
        return;
    }
    const double now = services_.clock.secondsSinceMidnight();
    if (MoveStart == 0) {
        MoveStart = static_cast<qint32>(std::nearbyint(now));
    } else if (now - MoveStart > kMoveWindowSeconds) {
        MoveStart = 0;
        MoveCount = 0;
    }
}

void frmMain::CloseDown() {
    if (!sessionLock_) {
        endNow();
        return;
    }
    if (sessionLock_->requested()) {
        return;
    }
    sessionLock_->lock([this](platform::SessionLock::Outcome outcome, const QString& service) {
        const QString problem = platform::lockOutcomeText(outcome, service);
        if (!problem.isEmpty()) {
            report(problem);
        }
        endNow();
    });
}

void frmMain::endNow() {
    services_.cursor.showCursor(true);
    services_.windows.setScreenSaverRunning(false);
    services_.endProcess();
}

void frmMain::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (services_.mode == DisplayMode::FullScreen) {
        Form_MouseUp();
    }
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Pic2 || services_.mode == DisplayMode::Hosted) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            Pic2_MouseDown();
            return true;
        case QEvent::MouseMove:
            Pic2_MouseMove();
            return true;
        case QEvent::KeyPress:
            // Taken before the widget sees it, so that Tab never moves the focus.
            if (const std::optional<int> code = keyAscii(*static_cast<QKeyEvent*>(event))) {
                Pic2_KeyPress(*code);
            } else if (const std::optional<ArrowStep> step =
                           arrowStep(*static_cast<QKeyEvent*>(event))) {
                Pic2_ArrowKey(*step);
            }
            return true;
        default:
            return QWidget::eventFilter(watched, event);
    }
}

bool frmMain::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && services_.mode == DisplayMode::FullScreen) {
        Form_Activate();
    }
    return QWidget::event(event);
}

void frmMain::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), toQColor(BackColor).value_or(Qt::black));
    if (!backgroundPicture_.isNull()) {
        painter.drawImage(QPoint(0, 0), backgroundPicture_);
    }
}

}  // namespace lumi::display
