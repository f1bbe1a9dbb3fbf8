#include "qt_dialogs.h"

#include "file_filter.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>

namespace zavok::ui {

// The boxes are watched while they wait: the window under one may go away meanwhile and take the box with it.

void QtDialogs::message(const QString& title, const QString& text) {
    const QPointer<QMessageBox> box =
        new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box->exec();
    delete box.data();
}

QString QtDialogs::input(const QString& title, const QString& prompt, const QString& proposal) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Normal, proposal, &ok);
    return ok ? answer : QString();
}

std::optional<QString> QtDialogs::openFile(const kit::OpenFileRequest& request) {
    // A folder that does not exist would be taken for a file name to propose; the home folder is a better start.
    const QString directory = QFileInfo(request.initialDirectory).isDir() ? request.initialDirectory : QDir::homePath();
    const QString title =
        request.title.isEmpty() ? (request.toSave ? QStringLiteral("Save As") : QStringLiteral("Open")) : request.title;
    const QPointer<QFileDialog> dialog = new QFileDialog(QApplication::activeWindow(), title, directory);
    dialog->setAcceptMode(request.toSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = toQtFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog->setNameFilters(filters);
        // The index counts from 1; one out of range selects the first entry.
        dialog->selectNameFilter(filters.value(request.filterIndex - 1, filters.constFirst()));
    }
    const bool accepted = dialog->exec() == QDialog::Accepted;
    std::optional<QString> chosen;
    if (dialog != nullptr) {
        if (accepted && !dialog->selectedFiles().isEmpty()) {
            chosen = dialog->selectedFiles().constFirst();
        }
        delete dialog.data();
    }
    return chosen;
}

} // namespace zavok::ui
