#include "platform/widget_ui_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>
#include <cstdio>

namespace platform {

int WidgetUiServices::messageBox(const QString& text, MessageIcon icon, MessageButtons buttons) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QString::fromUtf8(kMessageCaption));
    box.setText(text);
    switch (icon) {
    case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
    case MessageButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MessageButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MessageButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    // The box is modal and needs the ordinary cursor, whatever database work is under way.
    const bool waiting = QApplication::overrideCursor() != nullptr;
    if (waiting) QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int pressed = box.exec();
    if (waiting) QApplication::restoreOverrideCursor();
    switch (pressed) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDCANCEL;
    }
}

void WidgetUiServices::setWaitCursor() {
    if (QApplication::overrideCursor()) QApplication::changeOverrideCursor(Qt::WaitCursor);
    else QApplication::setOverrideCursor(Qt::WaitCursor);
}

void WidgetUiServices::setArrowCursor() {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

QString WidgetUiServices::chooseFile(const QString& title, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, folder, filter);
}

int WidgetUiServices::openDocumentAndWait(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? 0 : -1;
}

void WidgetUiServices::debugOutput(const QByteArray& text) {
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stderr);
}

}  // namespace platform
