#include "setup/Setup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include <algorithm>
#include <cmath>
#include <optional>

#include "settings/FileExists.h"
#include "settings/IntegerConversion.h"
#include "settings/PictureList.h"
#include "settings/SettingKeys.h"
#include "setup/SelectionString.h"

namespace lumi::setup {
namespace {

constexpr QLatin1String kPictureFilter(
    "Pictures (*.bmp;*.gif;*.jpg )|*.bmp;*.gif;*.jpg| All (*.*)|*.*");
// The title of every message about the picture list and the chosen files.
constexpr QLatin1String kListTitle("Corvanta Lumiscribe Pictures");
constexpr QLatin1String kNever("Never");

constexpr QRgb kButtonFace = qRgb(255, 255, 192);
constexpr QRgb kNavy = qRgb(0, 0, 128);
constexpr QRgb kYellow = qRgb(255, 255, 0);

// The text that the list box shows for the picture list entry `entry`: the entry with every
// control character and line or paragraph separator made visible, so that each entry takes
// exactly one row. A hand-written list file may hold such characters inside quotes.
QString shownEntry(const QString& entry) {
    QString shown = entry;
    for (QChar& c : shown) {
        if (c.unicode() < 0x20) {
            c = QChar(0x2400 + c.unicode());  // the Control Pictures block: CR shows as U+240D
        } else if (c.unicode() == 0x7F) {
            c = QChar(0x2421);
        } else if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
                   c.category() == QChar::Separator_Paragraph) {
            c = QChar::ReplacementCharacter;
        }
    }
    return shown;
}

QFont arial(double pointSize, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

template <typename Widget>
Widget* named(Widget* widget, const QString& name, const QRect& geometry) {
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption,
                        const QRect& geometry, const QString& toolTip = {}) {
    auto* button = named(new QPushButton(caption, parent), name, geometry);
    button->setToolTip(toolTip);
    return button;
}

// A label as wide as its text, or of the given size when one is given.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QPoint& pos,
                  const QString& toolTip = {}, QSize size = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setToolTip(toolTip);
    label->move(pos);
    if (size.isValid()) {
        label->resize(size);
    } else {
        label->adjustSize();
    }
    return label;
}

QCheckBox* makeCheckBox(QWidget* parent, const QString& name, const QString& caption,
                        const QRect& geometry, const QString& toolTip = {}) {
    auto* box = named(new QCheckBox(caption, parent), name, geometry);
    box->setToolTip(toolTip);
    return box;
}

QString checkValue(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

// The default that the dialog passes when it reads `key`.
QString dialogDefault(const QString& key) {
    const settings::SettingKey* entry = settings::findSettingKey(key);
    return entry != nullptr ? QString::fromUtf8(entry->dialogReadDefault) : QString();
}

}  // namespace

Setup::Setup(SetupServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("Setup"));
    setWindowTitle(QStringLiteral("Lumiscribe Screensaver"));
    setFont(arial(8.25, false));
    setFixedSize(604, 455);

    SSTab1 = named(new QTabWidget(this), QStringLiteral("SSTab1"), QRect(4, 4, 597, 407));
    Picture1 = new QWidget;
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture2 = new QWidget;
    Picture2->setObjectName(QStringLiteral("Picture2"));
    SSTab1->addTab(Picture1, QStringLiteral("Options"));
    SSTab1->addTab(Picture2, QStringLiteral("Music"));
    SSTab1->setCurrentIndex(0);

    buildButtonRow();
    buildPictureListEditor();
    buildDisplayOptions();
    buildMusicPage();
    connectHandlers();

    // The dialog has no default button: Enter clicks the button that has the focus and does
    // nothing elsewhere (see keyPressEvent). A dialog's buttons are automatic defaults unless
    // told otherwise, and the first of them would then answer Enter anywhere in the dialog.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void Setup::buildButtonRow() {
    Picture3 = named(new QWidget(this), QStringLiteral("Picture3"), QRect(0, 407, 604, 48));
    cmdAbout = makeButton(Picture3, QStringLiteral("cmdAbout"), QStringLiteral("&About"),
                          QRect(99, 8, 81, 30));
    const QString needsConnection = QStringLiteral("An Internet connection must be made first");
    cmdWebsite = makeButton(Picture3, QStringLiteral("cmdWebsite"), QStringLiteral("Our &Website"),
                            QRect(362, 8, 80, 29), needsConnection);
    cmdHelp = makeButton(Picture3, QStringLiteral("cmdHelp"), QStringLiteral("&Help"),
                         QRect(451, 8, 61, 29), needsConnection);
    cmdOK = makeButton(Picture3, QStringLiteral("cmdOK"), QStringLiteral("&Close"),
                       QRect(522, 4, 76, 39), QStringLiteral("Exit"));
    // A flat pale yellow face: the widget style would shade a palette colour into a
    // gradient that is nearly white.
    Picture3->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; border: 1px solid rgb(128, 128, 128);"
                       " border-radius: 2px; }"
                       "QPushButton:focus { border: 2px solid rgb(64, 64, 64); }"
                       "QPushButton:pressed { background-color: %2; }")
            .arg(QColor(kButtonFace).name(), QColor(kButtonFace).darker(110).name()));
    cmdOK->setFont(arial(8.25, true));
    cmdHelp->setFont(arial(8.25, true));
}

void Setup::buildPictureListEditor() {
    List1 = named(new QListWidget(Picture1), QStringLiteral("List1"), QRect(2, 2, 580, 224));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setToolTip(QStringLiteral("Add your pictures here. Click the ADD FILES button below"));
    QFont listFont(QStringLiteral("Tahoma"));
    listFont.setPointSizeF(6.75);
    List1->setFont(listFont);
    QPalette colours = List1->palette();
    colours.setColor(QPalette::Base, QColor(kNavy));
    colours.setColor(QPalette::Text, QColor(kYellow));
    List1->setPalette(colours);

    CmdAdd = makeButton(Picture1, QStringLiteral("CmdAdd"), QStringLiteral("&Add Files"),
                        QRect(4, 227, 76, 23), QStringLiteral("Add your pictures"));
    cmdClear = makeButton(Picture1, QStringLiteral("cmdClear"), QStringLiteral("&Clear All"),
                          QRect(83, 227, 79, 23), QStringLiteral("Clear the entire list"));
    CmdDelete =
        makeButton(Picture1, QStringLiteral("CmdDelete"), QStringLiteral("&Delete File"),
                   QRect(165, 227, 76, 23),
                   QStringLiteral("Highlight a picture file and then click DELETE FILE button"));
    lblNum = makeLabel(Picture1, QStringLiteral("lblNum"), QString(), QPoint(247, 225), {},
                       QSize(46, 26));
    lblNum->setFont(arial(14.25, true));
    lblNum->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2 = makeLabel(Picture1, QStringLiteral("Label2"), QStringLiteral("Files in List"),
                       QPoint(299, 230));
    cmdRestore = makeButton(Picture1, QStringLiteral("cmdRestore"),
                            QStringLiteral("&Restore Settings"), QRect(281, 339, 131, 28));
}

void Setup::buildDisplayOptions() {
    Label17 = makeLabel(
        Picture1, QStringLiteral("Label17"), QStringLiteral("DELAY TIMER (seconds)"),
        QPoint(437, 305),
        QStringLiteral("Timer a picture will stay on the screen before the next picture is "
                       "painted with the laser"));
    hsbDelay = named(new QScrollBar(Qt::Horizontal, Picture1), QStringLiteral("hsbDelay"),
                     QRect(437, 318, 145, 26));
    hsbDelay->setRange(0, 300);
    hsbDelay->setPageStep(10);
    lblDelay = makeLabel(Picture1, QStringLiteral("lblDelay"), QStringLiteral("0"),
                         QPoint(438, 344), {}, QSize(145, 11));
    lblDelay->setAlignment(Qt::AlignCenter);
    Label4 = makeLabel(Picture1, QStringLiteral("Label4"), QStringLiteral("Time between pictures"),
                       QPoint(435, 354), {}, QSize(145, 13));
    Label4->setAlignment(Qt::AlignCenter);

    Label18 = makeLabel(
        Picture1, QStringLiteral("Label18"), QStringLiteral("MOUSE SENSITIVITY"), QPoint(284, 267),
        QStringLiteral("How hard or soft you move the mouse to end the screensaver"));
    hsbMouseS = named(new QScrollBar(Qt::Horizontal, Picture1), QStringLiteral("hsbMouseS"),
                      QRect(283, 279, 120, 26));
    hsbMouseS->setRange(1, 20);
    hsbMouseS->setPageStep(5);
    // The two ends of the bar, each in two short lines beside the value box.
    Label32 = makeLabel(Picture1, QStringLiteral("Label32"), QStringLiteral("Light Touch"),
                        QPoint(286, 305), {}, QSize(33, 26));
    Label33 = makeLabel(Picture1, QStringLiteral("Label33"), QStringLiteral("Heavy Touch"),
                        QPoint(367, 305), {}, QSize(36, 26));
    for (QLabel* end : {Label32, Label33}) {
        end->setWordWrap(true);
        end->setFont(arial(6.75, false));
    }
    txtMouseS = named(new QLineEdit(QStringLiteral("1"), Picture1), QStringLiteral("txtMouseS"),
                      QRect(320, 307, 33, 19));
    txtMouseS->setReadOnly(true);
    txtMouseS->setAlignment(Qt::AlignCenter);

    Frame1 = named(new QGroupBox(QStringLiteral(" BACK COLOR "), Picture1),
                   QStringLiteral("Frame1"), QRect(4, 258, 265, 112));
    Frame1->setToolTip(
        QStringLiteral("If your picture file does not fill the entire screen this color will "
                       "serve as the background"));
    const std::array<QString, 4> colourNames{QStringLiteral("White"), QStringLiteral("Black"),
                                             QStringLiteral("Gray"), QStringLiteral("Custom")};
    for (int i = 0; i < 4; ++i) {
        OptBG[i] = named(new QRadioButton(colourNames[i], Frame1), QStringLiteral("OptBG%1").arg(i),
                         QRect(4, 17 + 19 * i, 59, 18));
    }
    OptBG[3]->setToolTip(
        QStringLiteral("Rather than a color for your background you can use a graphic"));
    cmdAddBG = makeButton(Frame1, QStringLiteral("cmdAddBG"), QStringLiteral("&Select"),
                          QRect(63, 74, 49, 20),
                          QStringLiteral("Click here to select a graphic for background use"));
    cmdAddBG->setEnabled(false);
    lblBG =
        makeLabel(Frame1, QStringLiteral("lblBG"), QString(), QPoint(7, 94), {}, QSize(254, 16));
    lblBG->setEnabled(false);

    Frame6 = named(new QGroupBox(QStringLiteral("CALENDAR / CLOCK"), Picture1),
                   QStringLiteral("Frame6"), QRect(444, 256, 128, 38));
    Frame6->setToolTip(QStringLiteral("Choose to show a calendar and clock"));
    chkCalendar = makeCheckBox(Frame6, QStringLiteral("chkCalendar"), QStringLiteral("Show"),
                               QRect(40, 16, 60, 18));
}

void Setup::buildMusicPage() {
    chkMusic = makeCheckBox(Picture2, QStringLiteral("chkMusic"), QStringLiteral("PLAY MUSIC"),
                            QRect(40, 14, 120, 20), QStringLiteral("Turn the music on or off"));
    chkMusic->setFont(arial(8.25, true));

    // Two columns of five tunes, each with its test button to its right, and a rule
    // between the columns.
    constexpr int kFirstRow = 52;
    constexpr int kRowStep = 34;
    for (int i = 0; i < 10; ++i) {
        const int left = i < 5 ? 40 : 336;
        const int top = kFirstRow + kRowStep * (i % 5);
        chkMidi[i] = makeCheckBox(Picture2, QStringLiteral("chkMidi%1").arg(i),
                                  QStringLiteral("MIDI %1").arg(i + 1), QRect(left, top, 80, 22));
        cmdTest[i] = makeButton(Picture2, QStringLiteral("cmdTest%1").arg(i),
                                QStringLiteral("Test MIDI"), QRect(left + 90, top - 2, 90, 25));
    }
    Line1 = named(new QFrame(Picture2), QStringLiteral("Line1"),
                  QRect(295, kFirstRow - 6, 2, kRowStep * 5));
    Line1->setFrameShape(QFrame::VLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Command1 = makeButton(Picture2, QStringLiteral("Command1"), QStringLiteral("Stop MIDI Test"),
                          QRect(236, 230, 120, 28));

    const std::array<QString, 4> keyHelp{QStringLiteral("While the screensaver is running:"),
                                         QStringLiteral("\"Q\" Key: Stops the Music"),
                                         QStringLiteral("\"N\" Key: Next Song"),
                                         QStringLiteral("\"S\" Key: Start the Music")};
    for (int i = 0; i < 4; ++i) {
        Label19to22[i] = makeLabel(Picture2, QStringLiteral("Label%1").arg(19 + i), keyHelp[i],
                                   QPoint(i == 0 ? 40 : 56, 290 + 18 * i));
    }
    Label19to22[0]->setFont(arial(8.25, true));
    Label19to22[0]->adjustSize();

    // The box stands over the run of spaces in the label's text.
    const QString before = QStringLiteral("Stop sound after:");
    Label46 = makeLabel(Picture2, QStringLiteral("Label46"),
                        before + QString(28, u' ') + QStringLiteral("minute(s)"), QPoint(336, 312));
    const QFontMetrics metrics(Label46->font());
    const int boxLeft = Label46->x() + metrics.horizontalAdvance(before + u' ');
    const int boxWidth = metrics.horizontalAdvance(QString(26, u' '));
    cboSoundOff = named(new QComboBox(Picture2), QStringLiteral("cboSoundOff"),
                        QRect(boxLeft, Label46->y() - 4, boxWidth, 22));
    cboSoundOff->setEditable(true);
    cboSoundOff->setInsertPolicy(QComboBox::NoInsert);
    cboSoundOff->addItems({kNever,
                           QStringLiteral("1"),
                           QStringLiteral("2"),
                           QStringLiteral("3"),
                           QStringLiteral("4"),
                           QStringLiteral("5"),
                           QStringLiteral("10"),
                           QStringLiteral("15"),
                           QStringLiteral("20"),
                           QStringLiteral("30"),
                           QStringLiteral("45"),
                           QStringLiteral("60"),
                           QStringLiteral("90"),
                           QStringLiteral("120"),
                           QStringLiteral("180"),
                           QStringLiteral("240"),
                           QStringLiteral("300"),
                           QStringLiteral("360"),
                           QStringLiteral("420"),
                           QStringLiteral("480")});
    cboSoundOff->setCurrentIndex(0);

    // Typed text is only text: an editable box would otherwise choose the item whose text
    // was typed when editing ends (Enter, Tab, a click elsewhere) or when its completer
    // fills the text in, and that choice would store the time. Choosing from the list, the
    // arrow keys and the wheel still choose items.
    cboSoundOff->setCompleter(nullptr);
    QLineEdit* typed = cboSoundOff->lineEdit();
    disconnect(typed, &QLineEdit::returnPressed, cboSoundOff, nullptr);
    disconnect(typed, &QLineEdit::editingFinished, cboSoundOff, nullptr);
}

void Setup::connectHandlers() {
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdRestore, &QPushButton::clicked, this, [this] { cmdRestore_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(cmdWebsite, &QPushButton::clicked, this, [this] { cmdWebsite_Click(); });
    connect(cmdAbout, &QPushButton::clicked, this, [this] { cmdAbout_Click(); });

    connect(CmdAdd, &QPushButton::clicked, this, [this] { CmdAdd_Click(); });
    connect(CmdDelete, &QPushButton::clicked, this, [this] { CmdDelete_Click(); });
    connect(cmdClear, &QPushButton::clicked, this, [this] { cmdClear_Click(); });

    // valueChanged also comes while the thumb is dragged, so dragging stores every step.
    connect(hsbDelay, &QScrollBar::valueChanged, this, [this] { hsbDelay_Change(); });
    connect(hsbMouseS, &QScrollBar::valueChanged, this, [this] { hsbMouseS_Change(); });
    for (int i = 0; i < 4; ++i) {
        connect(OptBG[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) {
                OptBG_Click(i);
            }
        });
    }
    connect(cmdAddBG, &QPushButton::clicked, this, [this] { cmdAddBG_Click(); });
    connect(chkCalendar, &QCheckBox::toggled, this, [this] { chkCalendar_Click(); });

    connect(chkMusic, &QCheckBox::toggled, this, [this] { chkMusic_Click(); });
    for (int i = 0; i < 10; ++i) {
        connect(chkMidi[i], &QCheckBox::toggled, this, [this, i] { chkMidi_Click(i); });
        connect(cmdTest[i], &QPushButton::clicked, this, [this, i] { cmdTest_Click(i); });
    }
    // Only choosing an item (from the list, with the arrow keys or the wheel) stores the
    // time; typing, and the text that loading puts in, store nothing.
    connect(cboSoundOff, &QComboBox::activated, this, [this] { cboSoundOff_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void Setup::write(const QString& key, const QString& value) {
    services_.settings.write(key, value);
}

// ---- Life cycle ----

void Setup::Form_Load() {
    InstallDir = services_.installDir;
    services_.player.setVisible(false);
    loadPictureList();

    OptBG[loadValue(QStringLiteral("BG"), 0, 3)]->setChecked(true);
    if (OptBG[3]->isChecked()) {
        cmdAddBG->setEnabled(true);
    }
    lblBG->setText(
        services_.settings.read(QStringLiteral("BGFile"), dialogDefault(QStringLiteral("BGFile"))));
    hsbDelay->setValue(
        loadValue(QStringLiteral("Delay"), hsbDelay->minimum(), hsbDelay->maximum()));
    hsbMouseS->setValue(
        loadValue(QStringLiteral("MouseSen"), hsbMouseS->minimum(), hsbMouseS->maximum()));
    chkMusic->setChecked(loadValue(QStringLiteral("Music"), 0, 1) == 1);
    for (int i = 0; i < 10; ++i) {
        chkMidi[i]->setChecked(loadValue(QStringLiteral("Midi%1").arg(i + 1), 0, 1) == 1);
    }
    chkCalendar->setChecked(loadValue(QStringLiteral("Calendar"), 0, 1) == 1);

    QString soundOff = services_.settings.read(QStringLiteral("SoundOff"),
                                               dialogDefault(QStringLiteral("SoundOff")));
    const std::optional<double> minutes = settings::toNumber(soundOff);
    if (soundOff.trimmed().isEmpty() || (minutes && *minutes == 0)) {
        soundOff = kNever;
    }
    // The current item is where the arrow keys and the wheel go on from; setting it puts
    // its own text in the box, so the loaded text comes after it.
    cboSoundOff->setCurrentIndex(soundOffItem(soundOff));
    cboSoundOff->setEditText(soundOff);
}

int Setup::soundOffItem(const QString& text) const {
    const int exact = cboSoundOff->findText(text);
    if (exact >= 0) {
        return exact;
    }
    const std::optional<double> minutes = settings::toNumber(text);
    if (!minutes) {
        return 0;
    }
    // Items are in ascending order, "Never" (item 0) standing for 0 minutes.
    int below = 0;
    for (int i = 1; i < cboSoundOff->count(); ++i) {
        if (cboSoundOff->itemText(i).toDouble() <= *minutes) {
            below = i;
        }
    }
    return below;
}

void Setup::loadPictureList() {
    const QString listFile = settings::pictureListPath(InstallDir);
    if (!settings::FileExists(listFile)) {
        return;
    }
    const settings::PictureListReadResult read = settings::readPictureList(listFile);
    if (!read.ok()) {
        services_.dialogs.error(this, kListTitle, read.error);
    }
    int count = 0;
    for (const QString& entry : read.entries) {
        appendEntry(entry);
        ++count;
        lblNum->setText(QString::number(count));
    }
}

int Setup::loadValue(const QString& key, int minimum, int maximum) const {
    const QString readDefault = dialogDefault(key);
    std::optional<double> number = settings::toNumber(services_.settings.read(key, readDefault));
    if (!number) {
        number = settings::toNumber(readDefault);
    }
    if (!number) {
        return minimum;
    }
    // Halves round to the even neighbour, as in every other reader of the settings.
    const double rounded = std::nearbyint(*number);
    return static_cast<int>(std::clamp(rounded, double(minimum), double(maximum)));
}

void Setup::cmdOK_Click() {
    if (List1->count() < 1 &&
        !services_.dialogs.question(
            this, QStringLiteral("No File Warning"),
            QStringLiteral("There are no pictures in the list. This will create an error!  "
                           "Do you wish to close anyway?"))) {
        return;
    }
    accept();
}

void Setup::cmdRestore_Click() {
    settings::writeRestoreValues(services_.settings, InstallDir);
    services_.dialogs.information(this, QStringLiteral("Corvanta Lumiscribe"),
                                  QStringLiteral("Settings have been restored"));
}

void Setup::cmdHelp_Click() {
    Navigate(*this, QStringLiteral(LUMI_SUPPORT_URL));
}

void Setup::cmdWebsite_Click() {
    Navigate(*this, QStringLiteral(LUMI_HOME_URL));
}

void Setup::Navigate(QWidget& /*frm*/, const QString& WebPageURL) {
    services_.shell.openUrl(WebPageURL);
}

void Setup::cmdAbout_Click() {
    services_.dialogs.information(this, QStringLiteral("Lumiscribe Pictures Screensaver"),
                                  QStringLiteral("Lumiscribe v 1.02\n"
                                                 "Corvanta\n"
                                                 "Home page: " LUMI_HOME_URL "\n"
                                                 "Support: " LUMI_SUPPORT_URL));
}

void Setup::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    const bool enter = (event->key() == Qt::Key_Return && event->modifiers() == Qt::NoModifier) ||
                       (event->key() == Qt::Key_Enter &&
                        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier);
    if (enter) {
        // Buttons pass Enter on, since none is an automatic default; every other control
        // that does not use Enter itself passes it on too.
        auto* button = qobject_cast<QPushButton*>(focusWidget());
        if (button != nullptr && button->isEnabled() && button->isVisible()) {
            button->click();
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// ---- Picture list editor ----

int Setup::listIndex() const {
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    return selected.isEmpty() ? -1 : List1->row(selected.first());
}

QStringList Setup::listEntries() const {
    QStringList entries;
    entries.reserve(List1->count());
    for (int i = 0; i < List1->count(); ++i) {
        entries.append(List1->item(i)->data(Qt::UserRole).toString());
    }
    return entries;
}

void Setup::appendEntry(const QString& entry) {
    auto* item = new QListWidgetItem(shownEntry(entry), List1);
    item->setData(Qt::UserRole, entry);
}

void Setup::setListIndex(int index) {
    // An index of -1 clears the selection.
    List1->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

void Setup::showCount() {
    lblNum->setText(QString::number(List1->count()));
}

Setup::ListState Setup::listState() const {
    return ListState{listEntries(), listIndex(), lblNum->text()};
}

void Setup::restoreListState(const ListState& state) {
    List1->clear();
    for (const QString& entry : state.entries) {
        appendEntry(entry);
    }
    setListIndex(state.index);
    lblNum->setText(state.countText);
}

bool Setup::AddFiles() {
    const std::optional<QString> error =
        settings::writePictureList(settings::pictureListPath(InstallDir), listEntries());
    if (!error) {
        return true;
    }
    services_.dialogs.error(this, kListTitle, *error);
    return false;
}

bool Setup::existsOrReport(const QString& path) {
    if (QFileInfo(path).isFile()) {
        return true;
    }
    services_.dialogs.error(this, kListTitle,
                            QStringLiteral("The file %1 does not exist.").arg(path));
    return false;
}

bool Setup::holdableOrReport(const QString& path) {
    if (settings::canHoldPath(path)) {
        return true;
    }
    services_.dialogs.error(
        this, kListTitle,
        QStringLiteral("The file %1 cannot be added: the picture list cannot hold a name with "
                       "a double quote, a line break or a character outside the system's "
                       "character set.")
            .arg(path));
    return false;
}

bool Setup::confirmedSize(const QString& path) {
    if (QFileInfo(path).size() > 0) {
        return true;
    }
    return services_.dialogs.question(this, QStringLiteral("Error"),
                                      QStringLiteral("The file ") + path +
                                          QStringLiteral(" is zero bytes in length!") + u'\r' +
                                          QStringLiteral("Are you Sure you want to add it?"));
}

void Setup::CmdAdd_Click() {
    const QString FileName = services_.dialogs.openFiles(this, kPictureFilter, true);
    if (FileName.isEmpty()) {
        return;
    }
    const ListState before = listState();
    const int count = CountFiles(FileName);
    for (int i = 1; i <= count; ++i) {
        const QString path = GetFilePath(FileName, i);
        if (existsOrReport(path) && holdableOrReport(path) && confirmedSize(path)) {
            appendEntry(path);
        }
    }
    if (!AddFiles()) {
        restoreListState(before);
        return;
    }
    showCount();
}

void Setup::CmdDelete_Click() {
    const int k = listIndex();
    std::optional<ListState> before;
    if (k < 0) {
        services_.dialogs.error(this, kListTitle,
                                List1->count() < 1 ? QStringLiteral("List is empty!")
                                                   : QStringLiteral("Choose a file to delete!"));
    } else {
        before = listState();
        delete List1->takeItem(k);
        const int last = List1->count() - 1;
        setListIndex(k > last ? last : k);
    }
    showCount();
    if (!AddFiles() && before) {
        restoreListState(*before);
        return;
    }
    showCount();
}

void Setup::cmdClear_Click() {
    const ListState before = listState();
    List1->clear();
    if (!AddFiles()) {
        restoreListState(before);
        return;
    }
    showCount();
}

// ---- Display options ----

void Setup::hsbDelay_Change() {
    lblDelay->setText(QString::number(hsbDelay->value()) + QStringLiteral(" seconds"));
    write(QStringLiteral("Delay"), QString::number(hsbDelay->value()));
}

void Setup::hsbMouseS_Change() {
    txtMouseS->setText(QString::number(hsbMouseS->value()));
    write(QStringLiteral("MouseSen"), QString::number(hsbMouseS->value()));
}

void Setup::OptBG_Click(int Index) {
    const bool custom = OptBG[3]->isChecked();
    cmdAddBG->setEnabled(custom);
    lblBG->setEnabled(custom);
    write(QStringLiteral("BG"), QString::number(Index));
}

void Setup::cmdAddBG_Click() {
    const QString FileName = services_.dialogs.openFiles(this, kPictureFilter, false);
    if (FileName.isEmpty()) {
        return;
    }
    const int count = CountFiles(FileName);
    for (int i = 1; i <= count; ++i) {
        const QString path = GetFilePath(FileName, i);
        if (existsOrReport(path) && confirmedSize(path)) {
            lblBG->setText(path);
        }
    }
    write(QStringLiteral("BGFile"), lblBG->text());
}

void Setup::chkCalendar_Click() {
    write(QStringLiteral("Calendar"), checkValue(chkCalendar));
}

// ---- Music options ----

void Setup::chkMusic_Click() {
    write(QStringLiteral("Music"), checkValue(chkMusic));
}

void Setup::chkMidi_Click(int Index) {
    write(QStringLiteral("MIDI%1").arg(Index + 1), checkValue(chkMidi[Index]));
}

void Setup::cboSoundOff_Click() {
    const QString text = cboSoundOff->currentText();
    write(QStringLiteral("SoundOff"), text != kNever ? text : QStringLiteral("0"));
}

void Setup::cmdTest_Click(int Index) {
    services_.player.play(InstallDir + QString::number(Index + 1) + QStringLiteral(".mid"), 0, -1);
}

void Setup::Command1_Click() {
    services_.player.stop();
}

}  // namespace lumi::setup
