// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/setup/OptionsPage.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>
#include <optional>
#include <string>

#include "linux/platform/RegularFile.h"
#include "linux/settings/FileExists.h"
#include "linux/settings/PictureFolders.h"
#include "linux/settings/PictureList.h"
#include "settings/SettingKeys.h"
#include "linux/setup/FileDropTarget.h"
#include "linux/setup/FocusScrollBar.h"
#include "linux/setup/DialogSelection.h"
#include "setup/SelectionString.h"
#include "linux/setup/SetupControls.h"

namespace lumi::setup {
namespace {

// File `n` of a selection string in the bytes of its names, as the program holds a name.
QString filePathOf(const std::string& selection, int n) {
    return platform::decodeFileName(QByteArray::fromStdString(GetFilePath(selection, n)));
}

constexpr QLatin1String kPictureFilter(
    "Pictures (*.bmp;*.gif;*.jpg )|*.bmp;*.gif;*.jpg| All (*.*)|*.*");
// The title of every message about the picture list and the chosen files.
constexpr QLatin1String kListTitle("Corvanta Lumiscribe Pictures");

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

// The filter of the file dialogs: the two classic choices, then "All pictures" with every
// extension that the picture loader reads on this machine.
QString pictureFilter() {
    QStringList patterns;
    for (const QString& extension : settings::pictureExtensions()) {
        patterns.append(QStringLiteral("*.") + extension);
    }
    patterns.sort();
    return kPictureFilter + QStringLiteral("|All pictures|") + patterns.join(u';');
}

// The entry that stands for the folder `path`: the path with a closing "/".
QString folderEntry(const QString& path) {
    return path.endsWith(u'/') ? path : path + u'/';
}

}  // namespace

OptionsPage::OptionsPage(SetupServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    setObjectName(QStringLiteral("Picture1"));
    buildPictureListEditor();
    buildDisplayOptions();
    connectHandlers();
}

void OptionsPage::buildPictureListEditor() {
    List1 = named(new QListWidget(this), QStringLiteral("List1"), QRect(2, 2, 580, 224));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setToolTip(QStringLiteral("Add your pictures here. Click the ADD FILES button below"));
    QFont listFont(QStringLiteral("Tahoma"));
    listFont.setPointSizeF(6.75);
    List1->setFont(listFont);
    QPalette colours = List1->palette();
    colours.setColor(QPalette::Base, QColor(kNavy));
    colours.setColor(QPalette::Text, QColor(kYellow));
    List1->setPalette(colours);

    CmdAdd = makeButton(this, QStringLiteral("CmdAdd"), QStringLiteral("&Add Files"),
                        QRect(4, 227, 76, 23), QStringLiteral("Add your pictures"));
    cmdClear = makeButton(this, QStringLiteral("cmdClear"), QStringLiteral("&Clear All"),
                          QRect(83, 227, 79, 23), QStringLiteral("Clear the entire list"));
    CmdDelete = makeButton(
        this, QStringLiteral("CmdDelete"), QStringLiteral("&Delete File"), QRect(165, 227, 76, 23),
        QStringLiteral("Highlight a picture file and then click DELETE FILE button"));
    lblNum =
        makeLabel(this, QStringLiteral("lblNum"), QString(), QPoint(247, 225), {}, QSize(46, 26));
    lblNum->setFont(arial(14.25, true));
    lblNum->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2 = makeLabel(this, QStringLiteral("Label2"), QStringLiteral("Files in List"),
                       QPoint(299, 230));
    // In the free end of the row, flush with the list's right edge.
    cmdAddFolder = makeButton(
        this, QStringLiteral("cmdAddFolder"), QStringLiteral("Add &Folder\u2026"),
        QRect(496, 227, 86, 23),
        QStringLiteral("Add a folder: its pictures and those of its subfolders, as they are at "
                       "each start"));
    new FileDropTarget(List1->viewport(), [this](const QStringList& paths) { addPaths(paths); });
    cmdRestore = makeButton(this, QStringLiteral("cmdRestore"), QStringLiteral("&Restore Settings"),
                            QRect(281, 339, 131, 28));
}

void OptionsPage::buildDisplayOptions() {
    Label17 = makeLabel(
        this, QStringLiteral("Label17"), QStringLiteral("DELAY TIMER (seconds)"), QPoint(437, 305),
        QStringLiteral("Timer a picture will stay on the screen before the next picture is "
                       "painted with the laser"));
    hsbDelay =
        named(new FocusScrollBar(this), QStringLiteral("hsbDelay"), QRect(437, 318, 145, 26));
    hsbDelay->setRange(0, 300);
    hsbDelay->setPageStep(10);
    lblDelay = makeLabel(this, QStringLiteral("lblDelay"), QStringLiteral("0"), QPoint(438, 344),
                         {}, QSize(145, 11));
    lblDelay->setAlignment(Qt::AlignCenter);
    Label4 = makeLabel(this, QStringLiteral("Label4"), QStringLiteral("Time between pictures"),
                       QPoint(435, 354), {}, QSize(145, 13));
    Label4->setAlignment(Qt::AlignCenter);

    Label18 = makeLabel(
        this, QStringLiteral("Label18"), QStringLiteral("MOUSE SENSITIVITY"), QPoint(284, 267),
        QStringLiteral("How hard or soft you move the mouse to end the screensaver"));
    hsbMouseS =
        named(new FocusScrollBar(this), QStringLiteral("hsbMouseS"), QRect(283, 279, 120, 26));
    hsbMouseS->setRange(1, 20);
    hsbMouseS->setPageStep(5);
    // The two ends of the bar, each in two short lines beside the value box.
    Label32 = makeLabel(this, QStringLiteral("Label32"), QStringLiteral("Light Touch"),
                        QPoint(286, 305), {}, QSize(33, 26));
    Label33 = makeLabel(this, QStringLiteral("Label33"), QStringLiteral("Heavy Touch"),
                        QPoint(367, 305), {}, QSize(36, 26));
    for (QLabel* end : {Label32, Label33}) {
        end->setWordWrap(true);
        end->setFont(arial(6.75, false));
    }
    txtMouseS = named(new QLineEdit(QStringLiteral("1"), this), QStringLiteral("txtMouseS"),
                      QRect(320, 307, 33, 19));
    txtMouseS->setReadOnly(true);
    txtMouseS->setAlignment(Qt::AlignCenter);

    Frame1 = named(new QGroupBox(QStringLiteral(" BACK COLOR "), this), QStringLiteral("Frame1"),
                   QRect(4, 258, 265, 112));
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

    Frame6 = named(new QGroupBox(QStringLiteral("CALENDAR / CLOCK"), this),
                   QStringLiteral("Frame6"), QRect(444, 256, 128, 38));
    Frame6->setToolTip(QStringLiteral("Choose to show a calendar and clock"));
    chkCalendar = makeCheckBox(Frame6, QStringLiteral("chkCalendar"), QStringLiteral("Show"),
                               QRect(40, 16, 60, 18));
}

void OptionsPage::connectHandlers() {
    connect(CmdAdd, &QPushButton::clicked, this, [this] { CmdAdd_Click(); });
    connect(CmdDelete, &QPushButton::clicked, this, [this] { CmdDelete_Click(); });
    connect(cmdClear, &QPushButton::clicked, this, [this] { cmdClear_Click(); });
    connect(cmdAddFolder, &QPushButton::clicked, this, [this] { cmdAddFolder_Click(); });

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
}

void OptionsPage::write(std::string_view key, std::string_view value) {
    if (!storing_) {
        return;
    }
    services_.settings.write(key, value);
}

void OptionsPage::loadDisplayOptions() {
    const platform::SettingsStore& settings = services_.settings;
    // The display keeps its black for any "BG" that names no background, and so does the
    // page, without storing it.
    const std::optional<int> background = settings::backgroundChoice(
        settings.read("BG", dialogDefault("BG")));
    {
        const QScopedValueRollback<bool> storing(storing_, background.has_value());
        OptBG[background.value_or(1)]->setChecked(true);
    }
    if (OptBG[3]->isChecked()) {
        cmdAddBG->setEnabled(true);
    }
    lblBG->setText(QString::fromStdString(settings.read("BGFile", dialogDefault("BGFile"))));
    const LoadedValue delay =
        loadSetting(settings, "Delay", hsbDelay->minimum(), hsbDelay->maximum());
    {
        const QScopedValueRollback<bool> storing(storing_, delay.storable);
        hsbDelay->setValue(delay.value);
    }
    const LoadedValue mouse = loadSetting(settings, "MouseSen",
                                          hsbMouseS->minimum(), hsbMouseS->maximum());
    {
        const QScopedValueRollback<bool> storing(storing_, mouse.storable);
        hsbMouseS->setValue(mouse.value);
    }
}

void OptionsPage::loadCalendar() {
    const LoadedValue calendar =
        loadCheckState(services_.settings, "Calendar", SetWhen::One);
    const QScopedValueRollback<bool> storing(storing_, calendar.storable);
    chkCalendar->setChecked(calendar.value == 1);
}

void OptionsPage::loadPictureList() {
    const QString listFile = settings::pictureListPath(services_.installDir);
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

int OptionsPage::listIndex() const {
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    return selected.isEmpty() ? -1 : List1->row(selected.first());
}

QStringList OptionsPage::listEntries() const {
    QStringList entries;
    entries.reserve(List1->count());
    for (int i = 0; i < List1->count(); ++i) {
        entries.append(List1->item(i)->data(Qt::UserRole).toString());
    }
    return entries;
}

void OptionsPage::appendEntry(const QString& entry) {
    QString shown = shownEntry(entry);
    if (!entry.isEmpty() && !entry.endsWith(u'/') && QFileInfo(entry).isDir()) {
        shown += u'/';
    }
    auto* item = new QListWidgetItem(shown, List1);
    item->setData(Qt::UserRole, entry);
}

void OptionsPage::setListIndex(int index) {
    // An index of -1 clears the selection.
    List1->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

void OptionsPage::showCount() {
    lblNum->setText(QString::number(List1->count()));
}

bool OptionsPage::applyListEdit(const settings::PictureListEdit& edit, int index) {
    const QString listFile = settings::pictureListPath(services_.installDir);
    const settings::PictureListEditResult result = settings::editPictureList(listFile, edit);
    if (!result.ok()) {
        services_.dialogs.error(this, kListTitle, result.error);
        // The list shows what the file holds, which the refused edit did not change (but
        // another dialog may have).
        const settings::PictureListReadResult stored = settings::readPictureList(listFile);
        if (stored.ok() && stored.entries != listEntries()) {
            showEntries(stored.entries, kKeepSelection);
        }
        return false;
    }
    showEntries(result.entries, index);
    return true;
}

void OptionsPage::showEntries(const QStringList& entries, int index) {
    // What the file holds now, another dialog's edits included.
    const int shown = index == kKeepSelection ? listIndex() : index;
    List1->clear();
    for (const QString& entry : entries) {
        appendEntry(entry);
    }
    setListIndex(std::min(shown, List1->count() - 1));
    showCount();
}

bool OptionsPage::existsOrReport(const QString& path) {
    if (QFileInfo(path).isFile()) {
        return true;
    }
    services_.dialogs.error(this, kListTitle,
                            QStringLiteral("The file %1 does not exist.").arg(path));
    return false;
}

bool OptionsPage::holdableOrReport(const QString& path) {
    if (settings::canHoldPath(path)) {
        return true;
    }
    services_.dialogs.error(
        this, kListTitle,
        QStringLiteral("The %1 %2 cannot be added: the picture list cannot hold a name with "
                       "a double quote, a line break or a character outside the system's "
                       "character set.")
            .arg(QFileInfo(path).isDir() ? QStringLiteral("folder") : QStringLiteral("file"),
                 path));
    return false;
}

bool OptionsPage::confirmedSize(const QString& path) {
    if (QFileInfo(path).size() > 0) {
        return true;
    }
    return services_.dialogs.question(this, QStringLiteral("Error"),
                                      QStringLiteral("The file ") + path +
                                          QStringLiteral(" is zero bytes in length!") + u'\r' +
                                          QStringLiteral("Are you Sure you want to add it?"));
}

void OptionsPage::CmdAdd_Click() {
    const QString FileName = services_.dialogs.openFiles(this, pictureFilter(), true);
    if (FileName.isEmpty()) {
        return;
    }
    QStringList added;
    const std::string selection = platform::encodeFileName(FileName).toStdString();
    const int count = CountFiles(selection);
    for (int i = 1; i <= count; ++i) {
        const QString path = filePathOf(selection, i);
        if (existsOrReport(path) && holdableOrReport(path) && confirmedSize(path)) {
            added.append(path);
        }
    }
    applyListEdit([&added](QStringList entries) { return entries + added; }, kKeepSelection);
}

void OptionsPage::cmdAddFolder_Click() {
    const QString folder = services_.dialogs.chooseFolder(this);
    if (folder.isEmpty()) {
        return;
    }
    addPaths({folder});
}

void OptionsPage::addPaths(const QStringList& paths) {
    QStringList added;
    for (const QString& path : paths) {
        if (QFileInfo(path).isDir()) {
            if (holdableOrReport(path)) {
                added.append(folderEntry(path));
            }
        } else if (existsOrReport(path) && holdableOrReport(path) && confirmedSize(path)) {
            added.append(path);
        }
    }
    applyListEdit([&added](QStringList entries) { return entries + added; }, kKeepSelection);
}

void OptionsPage::CmdDelete_Click() {
    const int k = listIndex();
    if (k < 0) {
        services_.dialogs.error(this, kListTitle,
                                List1->count() < 1 ? QStringLiteral("List is empty!")
                                                   : QStringLiteral("Choose a file to delete!"));
        showCount();
        // The list is written as it stands, as every edit writes it.
        applyListEdit([](QStringList entries) { return entries; }, kKeepSelection);
        return;
    }
    // The entry that the user chose, where it stands now: another dialog may have changed
    // the list since this one showed it.
    const QString chosen = List1->item(k)->data(Qt::UserRole).toString();
    applyListEdit(
        [k, &chosen](QStringList entries) {
            if (k < entries.size() && entries[k] == chosen) {
                entries.removeAt(k);
            } else if (const qsizetype at = entries.indexOf(chosen); at >= 0) {
                entries.removeAt(at);
            }
            return entries;
        },
        k);
}

void OptionsPage::cmdClear_Click() {
    applyListEdit([](const QStringList&) { return QStringList(); }, -1);
}

void OptionsPage::hsbDelay_Change() {
    lblDelay->setText(QString::number(hsbDelay->value()) + QStringLiteral(" seconds"));
    write("Delay", std::to_string(hsbDelay->value()));
}

void OptionsPage::hsbMouseS_Change() {
    txtMouseS->setText(QString::number(hsbMouseS->value()));
    write("MouseSen", std::to_string(hsbMouseS->value()));
}

void OptionsPage::OptBG_Click(int Index) {
    const bool custom = OptBG[3]->isChecked();
    cmdAddBG->setEnabled(custom);
    lblBG->setEnabled(custom);
    write("BG", std::to_string(Index));
}

void OptionsPage::cmdAddBG_Click() {
    const QString FileName = services_.dialogs.openFiles(this, pictureFilter(), false);
    if (FileName.isEmpty()) {
        return;
    }
    const std::string selection = platform::encodeFileName(FileName).toStdString();
    const int count = CountFiles(selection);
    for (int i = 1; i <= count; ++i) {
        const QString path = filePathOf(selection, i);
        if (existsOrReport(path) && confirmedSize(path)) {
            lblBG->setText(path);
        }
    }
    write("BGFile", lblBG->text().toStdString());
}

void OptionsPage::chkCalendar_Click() {
    write("Calendar", checkValue(chkCalendar));
}

}  // namespace lumi::setup
