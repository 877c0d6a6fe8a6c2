// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/frmMain.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "display/CalendarStrip.h"
#include "settings/SettingKeys.h"

namespace lumi::display {
namespace {

constexpr std::int16_t kCounterLimit = 32767;
// The canvas is asked to repaint at most once per display frame while a picture is painted.
constexpr std::chrono::milliseconds kFrame{16};
// One tick of the paint step paints at most one column, and stops within it once it has
// painted for this long, so that input, timers and repaints wait no longer than a frame
// whatever the size of the picture. The beams are painted in slices of kBeamsPerSlice between
// two looks at the clock; a slice of the longest beams on a large screen takes well under a
// millisecond.
constexpr std::chrono::nanoseconds kPaintPass{8'000'000};
constexpr int kBeamsPerSlice = 64;
// Mouse moves are counted in windows of this many seconds.
constexpr double kMoveWindowSeconds = 10;

// Character codes of the keys that do not end the screen saver.
constexpr int kSpace = 32;
constexpr int kNextSongKey = 110;    // "n"
constexpr int kStopMusicKey = 113;   // "q"
constexpr int kStartMusicKey = 115;  // "s"

std::int16_t saturatingIncrement(std::int16_t counter) {
    return counter < kCounterLimit ? static_cast<std::int16_t>(counter + 1) : counter;
}

std::int16_t toInt16(int value) {
    return static_cast<std::int16_t>(std::clamp(value, -32768, 32767));
}

// The top-left `size` of `picture`: the picture itself when it is no larger, else a copy of
// that part alone, so that no more than the visible pixels stay in memory.
LoadedPicture topLeftPart(const LoadedPicture& picture, Size size) {
    const int width = std::min(picture.pixels.width, size.width);
    const int height = std::min(picture.pixels.height, size.height);
    if (width == picture.pixels.width && height == picture.pixels.height) {
        return picture;
    }
    LoadedPicture part = picture;
    if (width < 1 || height < 1) {
        part.pixels = {};
        part.keeper.reset();
        return part;
    }
    auto pixels = std::make_shared<std::vector<Rgb>>(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const Rgb* row = picture.pixels.row(y);
        std::copy(row, row + width, pixels->begin() + static_cast<std::ptrdiff_t>(y) * width);
    }
    part.pixels = ConstPixelBuffer(pixels->data(), width, height, width);
    part.keeper = std::move(pixels);
    return part;
}

}  // namespace

frmMain::frmMain(FormHost& host, platform::SettingsStore& settings, platform::MidiPlayer& player,
                 platform::PictureSource& pictures, FormOptions options)
    : Timer1(host.timer(FormTimer::Timer1)),
      TimerCal(host.timer(FormTimer::TimerCal)),
      TimerMIDI(host.timer(FormTimer::TimerMIDI)),
      Timer3(host.timer(FormTimer::Timer3)),
      playlist(player, settings, TimerMIDI, options.installDir),
      soundOff(player, TimerMIDI, playlist),
      host_(host),
      settings_(settings),
      player_(player),
      pictures_(pictures),
      options_(std::move(options)),
      paintStepTimer_(host.timer(FormTimer::PaintStep)) {
    options_.calendarScale = std::clamp(options_.calendarScale, 0.01, 1.0);
    TimerMIDI.start();
    Timer3.start();
}

std::int16_t frmMain::readInteger(std::string_view key, std::string_view readDefault,
                                  std::int16_t unconverted) const {
    return settings::readInteger(settings_, key, readDefault, unconverted);
}

void frmMain::Form_Load() {
    if (readInteger("SetReg", "1", 0) != 2) {
        SetRegistry();
    }
    PicIndex = 0;
    playlist.MidiCurrent = 0;
    player_.setVisible(false);
    InstallDir = options_.installDir;
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
    soundOff.SoundOffMinutes = readInteger("SoundOff", "1", soundOff.SoundOffMinutes);
    if (soundOff.SoundOffMinutes != 0) {
        SoundOff();
    }
    // The synthesiser is made only for a display that will play music, and made now, so
    // that the first tune is ready by the first TimerMIDI tick. TimerMIDI stays on whatever
    // the sound-off limit: only Timer3 switches it off at the limit.
    if (MusicOn != 0) {
        player_.prepare();
    }
    if (options_.mode == DisplayMode::FullScreen) {
        host_.showCursor(false);
    }
    // The lock's services are found now, so that the end asks for the lock without a round
    // trip first. With "LockScreen" 0 nothing of the lock is made.
    if (options_.mode == DisplayMode::FullScreen && options_.makeSessionLock &&
        readInteger("LockScreen", "0", 0) == 1) {
        sessionLock_ = options_.makeSessionLock();
        sessionLock_->prepare();
    }
    // The first picture decodes while the window is being shown; its activation finds it
    // ready or under way.
    pictures_.prefetch(List1.text());
}

void frmMain::loadPictureList() {
    // A missing list reads as empty; one that cannot be read is refused with its reason.
    // Folders are read afresh at every start, so that new pictures in them show.
    PictureListRead read = host_.readPictureList(InstallDir + "List.txt");
    if (!read.error.empty()) {
        host_.report(read.error);
    }
    List1.entries = std::move(read.entries);
    if (List1.entries.empty()) {
        List1.entries.push_back(InstallDir + "default.jpg");
    }
    List1.listIndex = 0;
    LastPic = List1.listCount() - 1;
}

void frmMain::prepareSequence() {
    shrinksLargePictures_ = options_.largePictures
                                ? *options_.largePictures == LargePictures::Shrink
                                : readInteger("FitLarge", "0", 0) == 1;
    PhotoDateOn = readInteger("PhotoDate", "0", 0);
    pictures_.setRequest({shrinksLargePictures_ ? options_.screenSize : Size{},
                          PhotoDateOn == 1});
    showOrder_ = readInteger("Shuffle", "0", 0) == 1 ? ShowOrder::Shuffle : ShowOrder::List;
    order_ = PictureOrder(List1.listCount(), showOrder_, std::random_device{}());
    PicIndex = order_.current();
    List1.listIndex = PicIndex;
}

void frmMain::applyBackground() {
    const std::optional<int> choice = settings::backgroundChoice(settings_.read("BG", "1"));
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
        const std::string file = settings_.read("BGFile", "1");
        const LoadedPicture background = pictures_.decodeNow(file);
        if (background.ok()) {
            // Drawn from the top-left corner at its own size: only that much ever shows.
            backgroundPicture_ = topLeftPart(background, options_.screenSize);
        } else {
            host_.report("cannot load the background picture " + file + ": " + background.error);
        }
        BackColor = kBlack;
    }
    host_.repaintForm();
}

void frmMain::startCalendar() {
    const double scale = options_.calendarScale;
    host_.showCalendarStrip(calendarStripOn(options_.screenSize, scale), calendarCaptionIn(scale),
                            std::max(1, static_cast<int>(std::lround(kCalendarFontPixels * scale))));
    TimerCal.start();
    // The caption is filled at once, so that the strip never shows blank.
    TimerCal_Timer();
}

void frmMain::TimerCal_Timer() {
    if (CalendarOn != 1) {
        return;
    }
    host_.setCalendarText(host_.calendarCaptionNow());
}

void frmMain::SetRegistry() {
    settings::SetRegistry(settings_, options_.installDir, options_.keyUses);
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
    pictures_.load(List1.text(), [this](const LoadedPicture& picture) { pictureLoaded(picture); });
}

void frmMain::pictureLoaded(const LoadedPicture& picture) {
    if (picture.ok()) {
        showPhotoDate(picture.taken);
        showPicture(picture);
        return;
    }
    if (reportedFailures_.insert(picture.path).second) {
        host_.report("cannot load the picture " + picture.path + ": " + picture.error);
    }
    // Counted by entry: a shuffled order may come back to an entry before it has tried all.
    failedEntries_.insert(PicIndex);
    if (static_cast<std::int32_t>(failedEntries_.size()) > LastPic) {
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

void frmMain::showPicture(const LoadedPicture& picture) {
    Picture1 = picture;
    const double screenWidth = options_.screenSize.width;
    const double screenHeight = options_.screenSize.height;
    const int width = Picture1.pixels.width;
    const int height = Picture1.pixels.height;
    const int left = static_cast<int>(std::lround(screenWidth / 2 - width / 2.0));
    const int top = static_cast<int>(std::lround(screenHeight / 2 - height / 2.0));
    picture1Geometry = Rect::fromSize({left, top}, {width, height});
    host_.placeCanvas(Rect::fromSize({left, top}, {width - 1, height - 1}),
                      Rect::fromSize({}, options_.screenSize));
    BeamX = toInt16(width);
    BeamY = toInt16(height);
    LaserPaint();
}

void frmMain::showPhotoDate(const std::optional<CalendarDate>& taken) {
    if (PhotoDateOn != 1 || !taken) {
        host_.hidePhotoDateStrip();
        return;
    }
    const std::string text = host_.calendarDateText(*taken);
    const std::optional<PhotoDatePlace> place =
        photoDatePlace(options_.screenSize, CalendarOn == 1, host_.captionTextWidth(text));
    if (!place) {
        host_.hidePhotoDateStrip();
        return;
    }
    host_.showPhotoDateStrip(place->strip, place->caption, text, place->elided);
}

void frmMain::LaserPaint() {
    Timer1.stop();
    // The painter writes into the canvas's own pixels; the host keeps them in place until the
    // next picture is shown, which abandons this painting first.
    painter_.start(Picture1.pixels, host_.canvasPixels(), host_.canvasOrigin(),
                   Point{BeamX, BeamY}, Point{}, host_.colorPixel(BackColor));
    lastFlush_ = std::chrono::steady_clock::now();
    paintStepTimer_.start();
}

void frmMain::paintStep() {
    const auto passStart = std::chrono::steady_clock::now();
    const int column = painter_.column();
    do {
        painter_.step(kBeamsPerSlice);
    } while (painter_.running() && painter_.column() == column &&
             std::chrono::steady_clock::now() - passStart < kPaintPass);
    if (painter_.running()) {
        // The first column shows at once; after it, at most one repaint per frame.
        if (column == 0 || std::chrono::steady_clock::now() - lastFlush_ >= kFrame) {
            flushCanvas();
        }
        return;
    }
    paintStepTimer_.stop();
    flushCanvas();
    DelayCount = 0;
    Timer1.start();
    // The canvas keeps the pixels; the picture source keeps the decode until the next is
    // ready.
    Picture1 = {};
    // Decode the next picture while this one stays on the screen.
    if (LastPic >= 0) {
        pictures_.prefetch(List1.entries[static_cast<std::size_t>(order_.upcoming())]);
    }
}

void frmMain::flushCanvas() {
    const Region dirty = painter_.takeDirtyRegion();
    if (!dirty.empty()) {
        host_.repaintCanvas(dirty);
    }
    lastFlush_ = std::chrono::steady_clock::now();
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
    player_.stop();
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
    const double now = host_.secondsSinceMidnight();
    if (MoveStart == 0) {
        MoveStart = static_cast<std::int32_t>(std::nearbyint(now));
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
    sessionLock_->lock([this](const std::string& problem) {
        if (!problem.empty()) {
            host_.report(problem);
        }
        endNow();
    });
}

void frmMain::endNow() {
    host_.showCursor(true);
    host_.setScreenSaverRunning(false);
    host_.endProcess();
}

}  // namespace lumi::display
