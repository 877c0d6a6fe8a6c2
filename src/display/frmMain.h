#pragma once

#include <QImage>
#include <QLabel>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <array>

#include "display/Canvas.h"
#include "display/Colors.h"
#include "display/DisplayServices.h"

namespace lumi::display {

// The hidden list `List1` of the display: one full picture path per entry, in the order of
// the picture list file, with a current entry.
struct HiddenList {
    QStringList entries;
    int listIndex = -1;

    int listCount() const { return static_cast<int>(entries.size()); }
    QString text() const { return entries.value(listIndex); }
};

// The full-screen display form.
//
// Flow of control: the start-up module constructs the form and calls Form_Load(), then
// shows it over the screen. The first activation runs Form_Activate(), which shows the
// first picture and starts the slide timer `Timer1`. From then on the form runs on its four
// one-second timers and its input handlers until CloseDown() ends the process.
//
// The members named like the form's own variables hold its state; they are public so that
// the routines of the display and the tests can read them, and only the form writes them.
class frmMain final : public QWidget {
    Q_OBJECT

public:
    explicit frmMain(DisplayServices services, QWidget* parent = nullptr);

    // Brings the settings up to date, fills List1, applies the background, reads every
    // display and music setting, prepares the calendar strip and the sound-off limit, and
    // hides the cursor. Runs once, before the form is shown.
    void Form_Load();

    // Marks the form as activated, shows the current picture and starts Timer1.
    void Form_Activate();

    // Shows the current entry of List1, centred on the screen.
    void ChangePic();

    // Writes the first-run defaults to the settings store.
    void SetRegistry();

    // Turns SoundOffMinutes into the limit SoundOffSeconds.
    void SoundOff();

    // Shows the cursor again, tells the desktop that no screen saver runs and ends the
    // process. Callers stop the player first.
    void CloseDown();

    // Moves to the next entry of List1 (after the last comes entry 0) and shows it.
    void AdvancePicture();

    void Timer1_Timer();

    // The form's background colour and background picture.
    ColorValue backColor() const { return BackColor; }
    const QImage& backgroundPicture() const { return backgroundPicture_; }

    // Controls.
    Canvas* Pic2 = nullptr;
    QImage Picture1;           // the hidden holder: the loaded picture
    QRect picture1Geometry;    // where the holder stands on the form
    HiddenList List1;
    QWidget* picCal = nullptr;
    QLabel* lblCal = nullptr;
    QTimer Timer1;
    QTimer TimerCal;
    QTimer TimerMIDI;
    QTimer Timer3;

    // Members.
    QString InstallDir;
    qint16 LastPic = 0;
    qint16 PicIndex = 0;
    qint16 Delay = 0;
    qint16 DelayCount = 0;
    qint16 MouseSen = 0;
    qint16 Activated = 0;  // -1 once the form has been activated
    qint16 CalendarOn = 0;
    qint16 MusicOn = 0;
    qint16 MidiCurrent = 0;
    std::array<qint16, 11> MidiChecked{};  // indexed 1 to 10
    qint16 SoundOffMinutes = 0;
    qint16 SoundOffSeconds = 0;
    qint32 SoundOffCounter = 0;
    qint16 BeamX = 0;
    qint16 BeamY = 0;
    ColorValue BackColor = kBlack;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    void loadPictureList();
    void applyBackground();
    void startCalendar();
    qint16 readInteger(const QString& key, const QString& readDefault) const;

    DisplayServices services_;
    QImage backgroundPicture_;
};

}  // namespace lumi::display
