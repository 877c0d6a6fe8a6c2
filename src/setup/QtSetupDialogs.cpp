#include "setup/QtSetupDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "setup/SelectionString.h"

namespace lumi::setup {
namespace {

QMessageBox::StandardButton showBox(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                                    const QString& text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, messageBoxText(text), buttons, owner);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

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
    dialog.setNameFilters(qtNameFilters(filter));
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return selectionString(dialog.selectedFiles());
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

QString messageBoxText(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(u'\r', u'\n');
    return result;
}

}  // namespace lumi::setup
