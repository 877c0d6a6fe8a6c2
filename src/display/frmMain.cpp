#include "display/frmMain.h"

#include <QEvent>
#include <QFont>
#include <QImageReader>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>
#include <cstdio>

#include "music/SoundOffTable.h"
#include "settings/FileExists.h"
#include "settings/IntegerConversion.h"
#include "settings/PictureList.h"
#include "settings/SettingKeys.h"

namespace lumi::display {
namespace {

constexpr int kTimerInterval = 1000;

// The calendar strip and its caption as designed.
constexpr QRect kCalendarStrip{5, 540, 271, 25};
constexpr QRect kCalendarCaption{2, 2, 261, 17};
constexpr double kCalendarFromBottom = 0.078;

void report(const QString& message) {
    std::fprintf(stderr, "lumiscribe: %s\n", qPrintable(message));
}

}  // namespace

frmMain::frmMain(DisplayServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
    setWindowTitle(QStringLiteral("Lumiscribe"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);

    Pic2 = new Canvas(this);
    Pic2->setGeometry(0, 0, 0, 0);

    picCal = new QWidget(this);
    picCal->setGeometry(kCalendarStrip);
    picCal->setAutoFillBackground(true);
    QPalette stripPalette = picCal->palette();
    stripPalette.setColor(QPalette::Window, Qt::black);
    picCal->setPalette(stripPalette);
    picCal->setAttribute(Qt::WA_TransparentForMouseEvents);
    picCal->hide();

    lblCal = new QLabel(picCal);
    lblCal->setGeometry(kCalendarCaption);
    lblCal->setAlignment(Qt::AlignCenter);
    QPalette captionPalette = lblCal->palette();
    captionPalette.setColor(QPalette::WindowText, QColor(255, 255, 0));
    lblCal->setPalette(captionPalette);
    QFont captionFont(QStringLiteral("Arial"));
    captionFont.setPointSizeF(9.75);
    captionFont.setBold(true);
    captionFont.setItalic(true);
    lblCal->setFont(captionFont);

    for (QTimer* timer : {&Timer1, &TimerCal, &TimerMIDI, &Timer3}) {
        timer->setInterval(kTimerInterval);
    }
    TimerMIDI.start();
    Timer3.start();
    connect(&Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);

    Pic2->setFocus();
}

qint16 frmMain::readInteger(const QString& key, const QString& readDefault) const {
    return settings::readInteger(services_.settings, key, readDefault);
}

void frmMain::Form_Load() {
    if (readInteger(QStringLiteral("SetReg"), QStringLiteral("1")) != 2) {
        SetRegistry();
    }
    PicIndex = 0;
    MidiCurrent = 0;
    services_.player.setVisible(false);
    InstallDir = services_.installDir;
    Delay = 5;

    loadPictureList();
    applyBackground();

    Delay = readInteger(QStringLiteral("Delay"), QStringLiteral("1"));
    MouseSen = readInteger(QStringLiteral("MouseSen"), QStringLiteral("1"));
    MusicOn = readInteger(QStringLiteral("Music"), QStringLiteral("1"));
    if (MusicOn == 0) {
        TimerMIDI.stop();
    }
    for (int n = 1; n <= 10; ++n) {
        MidiChecked[n] = readInteger(QStringLiteral("Midi%1").arg(n), QStringLiteral("1"));
    }
    CalendarOn = readInteger(QStringLiteral("Calendar"), QStringLiteral("1"));
    if (CalendarOn == 1) {
        startCalendar();
    }
    SoundOffMinutes = readInteger(QStringLiteral("SoundOff"), QStringLiteral("1"));
    if (SoundOffMinutes != 0) {
        SoundOff();
    }
    services_.cursor.showCursor(false);
}

void frmMain::loadPictureList() {
    const QString listFile = InstallDir + QStringLiteral("List.txt");
    if (settings::FileExists(listFile)) {
        const settings::PictureListReadResult read = settings::readPictureList(listFile);
        if (!read.error.isEmpty()) {
            report(read.error);
        }
        List1.entries = read.entries;
    }
    LastPic = static_cast<qint16>(List1.listCount() - 1);
    if (List1.listCount() > 0) {
        List1.listIndex = 0;
    } else {
        List1.entries.append(InstallDir + QStringLiteral("default.jpg"));
        List1.listIndex = 0;
        LastPic = 0;
    }
}

void frmMain::applyBackground() {
    const QString stored = services_.settings.read(QStringLiteral("BG"), QStringLiteral("1"));
    const double choice = settings::toNumber(stored).value_or(1.0);
    if (choice == 0) {
        BackColor = kWhite;
    } else if (choice == 1) {
        BackColor = kBlack;
    } else if (choice == 2) {
        BackColor = kButtonFace;
    } else if (choice == 3) {
        const QString file = services_.settings.read(QStringLiteral("BGFile"), QStringLiteral("1"));
        QImageReader reader(file);
        reader.setAutoTransform(true);
        backgroundPicture_ = reader.read();
        if (backgroundPicture_.isNull()) {
            report(QStringLiteral("cannot load the background picture %1: %2")
                       .arg(file, reader.errorString()));
        }
        BackColor = kBlack;
    }
    update();
}

void frmMain::startCalendar() {
    const double screenHeight = services_.screenSize.height();
    const double top = screenHeight - screenHeight * kCalendarFromBottom;
    picCal->move(kCalendarStrip.left(), static_cast<int>(std::lround(top)));
    picCal->show();
    TimerCal.start();
}

void frmMain::SetRegistry() {
    settings::SetRegistry(services_.settings, services_.installDir);
}

void frmMain::SoundOff() {
    if (const auto seconds = music::soundOffSeconds(SoundOffMinutes)) {
        SoundOffSeconds = *seconds;
    }
}

void frmMain::Form_Activate() {
    Activated = -1;
    ChangePic();
    Timer1.start();
}

void frmMain::ChangePic() {
    const QString file = List1.text();
    QImageReader reader(file);
    reader.setAutoTransform(true);
    const QImage loaded = reader.read();
    if (loaded.isNull()) {
        report(QStringLiteral("cannot load the picture %1: %2").arg(file, reader.errorString()));
        return;
    }
    Picture1 = loaded.convertToFormat(QImage::Format_RGB32);
    const double screenWidth = services_.screenSize.width();
    const double screenHeight = services_.screenSize.height();
    const int left = static_cast<int>(std::lround(screenWidth / 2 - Picture1.width() / 2.0));
    const int top = static_cast<int>(std::lround(screenHeight / 2 - Picture1.height() / 2.0));
    picture1Geometry = QRect(left, top, Picture1.width(), Picture1.height());
    BeamX = static_cast<qint16>(Picture1.width());
    BeamY = static_cast<qint16>(Picture1.height());

    const QRect canvasGeometry(left, top, Picture1.width() - 1, Picture1.height() - 1);
    Pic2->place(canvasGeometry, QRect(QPoint(0, 0), services_.screenSize));
    QPainter painter(&Pic2->image());
    painter.drawImage(-Pic2->imageOrigin(), Picture1);
    painter.end();
    Pic2->update();
    DelayCount = 0;
}

void frmMain::AdvancePicture() {
    PicIndex = static_cast<qint16>(PicIndex + 1);
    if (PicIndex > LastPic) {
        PicIndex = 0;
    }
    List1.listIndex = PicIndex;
    ChangePic();
}

void frmMain::Timer1_Timer() {
    if (DelayCount < 32767) {
        DelayCount = static_cast<qint16>(DelayCount + 1);
    }
    if (DelayCount == Delay) {
        AdvancePicture();
        DelayCount = 0;
    }
}

void frmMain::CloseDown() {
    services_.cursor.showCursor(true);
    services_.windows.setScreenSaverRunning(false);
    services_.endProcess();
}

bool frmMain::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
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
