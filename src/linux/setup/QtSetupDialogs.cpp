// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/setup/QtSetupDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStandardPaths>

#include <algorithm>

#include "settings/SettingKeys.h"
#include "linux/setup/DialogSelection.h"

namespace lumi::setup {
namespace {

QMessageBox::StandardButton showBox(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                                    const QString& text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, messageBoxText(text), buttons, owner);
    box.setTextFormat(Qt::PlainText);
    // The box sizes itself to its text and buttons; a spacer across its grid keeps it at
    // least as wide as the window manager needs to show the whole title.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int width = messageBoxWidthForTitle(title, {box.font(), QApplication::font()});
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, std::max(grid->columnCount(), 1));
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

QtSetupDialogs::QtSetupDialogs(platform::SettingsStore& settings) : settings_(settings) {}

bool QtSetupDialogs::question(QWidget* owner, const QString& title, const QString& text) {
    return showBox(owner, QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void QtSetupDialogs::information(QWidget* owner, const QString& title, const QString& text) {
    showBox(owner, QMessageBox::NoIcon, title, text, QMessageBox::Ok);
}

void QtSetupDialogs::error(QWidget* owner, const QString& title, const QString& text) {
    showBox(owner, QMessageBox::Critical, title, text, QMessageBox::Ok);
}

QString QtSetupDialogs::openFiles(QWidget* owner, const QString& filter, bool multiple) {
    // No title is set, so that the dialog shows its standard one.
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    const QStringList nameFilters = qtNameFilters(filter);
    dialog.setNameFilters(nameFilters);
    const QString remembered =
        QString::fromStdString(settings_.read(settings::kPictureFilterKey, ""));
    for (const QString& nameFilter : nameFilters) {
        if (!remembered.isEmpty() && nameFilterDescription(nameFilter) == remembered) {
            dialog.selectNameFilter(nameFilter);
            break;
        }
    }
    const bool answered = run(dialog);
    const QString chosen = nameFilterDescription(dialog.selectedNameFilter());
    if (!chosen.isEmpty() && chosen != remembered) {
        settings_.write(settings::kPictureFilterKey, chosen.toStdString());
    }
    if (!answered) {
        return {};
    }
    return selectionString(dialog.selectedFiles());
}

QString QtSetupDialogs::chooseFolder(QWidget* owner) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (!run(dialog) || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}

bool QtSetupDialogs::run(QFileDialog& dialog) {
    dialog.setDirectory(lastFolder_.isEmpty() ? picturesFolder() : lastFolder_);
    const bool answered = dialog.exec() == QDialog::Accepted;
    lastFolder_ = dialog.directory().absolutePath();
    return answered;
}

QString picturesFolder() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir()) {
        return pictures;
    }
    return QDir::homePath();
}

int messageBoxWidthForTitle(const QString& title, const QList<QFont>& fonts) {
    int textWidth = 0;
    int textHeight = 0;
    for (QFont font : fonts) {
        font.setBold(true);
        const QFontMetrics metrics(font);
        textWidth = std::max(textWidth, metrics.horizontalAdvance(title));
        textHeight = std::max(textHeight, metrics.height());
    }
    // A title bar is about a line and a half of its text high, and its buttons are about as
    // wide as the bar is high. Room for six of them covers a window icon, minimise, maximise,
    // close and the bar's own padding; a title font a fifth wider than ours still fits.
    const int barHeight = textHeight * 3 / 2;
    return textWidth * 6 / 5 + 6 * barHeight;
}

QStringList qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const qsizetype bracket = description.indexOf(u'(');
        if (bracket >= 0) {
            description.truncate(bracket);
        }
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            patterns.append(trimmed == u"*.*" ? QStringLiteral("*") : trimmed);
        }
        filters.append(QStringLiteral("%1 (%2)").arg(description.trimmed(), patterns.join(u' ')));
    }
    return filters;
}

QString nameFilterDescription(const QString& nameFilter) {
    const qsizetype bracket = nameFilter.lastIndexOf(u'(');
    return (bracket >= 0 ? nameFilter.left(bracket) : nameFilter).trimmed();
}

QString messageBoxText(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(u'\r', u'\n');
    return result;
}

}  // namespace lumi::setup
