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
#include <QScrollBar>

#include <optional>
#include <string>
#include <vector>

#include "linux/settings/PictureFolders.h"
#include "linux/settings/PictureList.h"
#include "linux/setup/FileDropTarget.h"
#include "linux/setup/FocusScrollBar.h"
#include "linux/setup/SetupControls.h"

namespace lumi::setup {
namespace {

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

// The filter of the file dialogs, with every extension that the picture loader reads here.
QString openFilesFilter() {
    std::vector<std::string> extensions;
    for (const QString& extension : settings::pictureExtensions()) {
        extensions.push_back(extension.toStdString());
    }
    return QString::fromStdString(setup::pictureFilter(extensions));
}

}  // namespace

OptionsPage::OptionsPage(SetupServices& services, QWidget* parent)
    : QWidget(parent),
      services_(services),
      settings_(services.settings),
      boxes_(services.dialogs, this),
      listFile_(settings::pictureListPath(services.installDir)),
      editor_(listFile_, files_, boxes_) {
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
    hsbDelay->setRange(OptionsPageSettings::kDelayMinimum, OptionsPageSettings::kDelayMaximum);
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
    hsbMouseS->setRange(OptionsPageSettings::kMouseMinimum, OptionsPageSettings::kMouseMaximum);
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

void OptionsPage::loadDisplayOptions() {
    const LoadedValue background = settings_.loadBackground();
    settings_.load(background.storable, [&] { OptBG[background.value]->setChecked(true); });
    if (OptBG[OptionsPageSettings::kCustomBackground]->isChecked()) {
        cmdAddBG->setEnabled(true);
    }
    lblBG->setText(QString::fromStdString(settings_.loadBackgroundFile()));
    const LoadedValue delay = settings_.loadDelay();
    settings_.load(delay.storable, [&] { hsbDelay->setValue(delay.value); });
    const LoadedValue mouse = settings_.loadMouseSensitivity();
    settings_.load(mouse.storable, [&] { hsbMouseS->setValue(mouse.value); });
}

void OptionsPage::loadCalendar() {
    const LoadedValue calendar = settings_.loadCalendar();
    settings_.load(calendar.storable, [&] { chkCalendar->setChecked(calendar.value == 1); });
}

void OptionsPage::loadPictureList() {
    showView(editor_.load());
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

PictureListView OptionsPage::shownView() const {
    PictureListView view;
    for (const QString& entry : listEntries()) {
        view.entries.push_back(fileNameBytes(entry));
    }
    view.selected = listIndex();
    view.count = lblNum->text().toStdString();
    return view;
}

void OptionsPage::showView(const std::optional<PictureListView>& view) {
    if (!view) {
        return;
    }
    List1->clear();
    for (const std::string& entry : view->entries) {
        appendEntry(fileNameOf(entry));
    }
    setListIndex(view->selected);
    lblNum->setText(QString::fromStdString(view->count));
}

void OptionsPage::CmdAdd_Click() {
    const QString FileName = services_.dialogs.openFiles(this, openFilesFilter(), true);
    showView(editor_.addSelection(fileNameBytes(FileName), shownView()));
}

void OptionsPage::cmdAddFolder_Click() {
    const QString folder = services_.dialogs.chooseFolder(this);
    if (folder.isEmpty()) {
        return;
    }
    addPaths({folder});
}

void OptionsPage::addPaths(const QStringList& paths) {
    std::vector<std::string> names;
    for (const QString& path : paths) {
        names.push_back(fileNameBytes(path));
    }
    showView(editor_.addPaths(names, shownView()));
}

void OptionsPage::CmdDelete_Click() {
    showView(editor_.deleteSelected(shownView()));
}

void OptionsPage::cmdClear_Click() {
    showView(editor_.clearAll(shownView()));
}

void OptionsPage::hsbDelay_Change() {
    lblDelay->setText(QString::fromStdString(settings_.delayChanged(hsbDelay->value())));
}

void OptionsPage::hsbMouseS_Change() {
    txtMouseS->setText(
        QString::fromStdString(settings_.mouseSensitivityChanged(hsbMouseS->value())));
}

void OptionsPage::OptBG_Click(int Index) {
    const bool custom = settings_.backgroundChosen(Index);
    cmdAddBG->setEnabled(custom);
    lblBG->setEnabled(custom);
}

void OptionsPage::cmdAddBG_Click() {
    const QString FileName = services_.dialogs.openFiles(this, openFilesFilter(), false);
    if (FileName.isEmpty()) {
        return;
    }
    lblBG->setText(fileNameOf(settings_.backgroundPictureChosen(
        fileNameBytes(FileName), fileNameBytes(lblBG->text()), editor_)));
}

void OptionsPage::chkCalendar_Click() {
    settings_.calendarClicked(chkCalendar->isChecked());
}

}  // namespace lumi::setup
