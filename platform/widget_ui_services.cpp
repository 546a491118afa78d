#include "platform/widget_ui_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QUrl>
#include <cstdio>
#include <vector>

#ifdef Q_OS_WIN
#include <shellapi.h>
#include <windows.h>
#include <QDir>
#include <string>
#endif

namespace platform {
namespace {

// A box is modal and needs the ordinary cursor, whatever database work is under way.
int execWithArrow(QMessageBox& box) {
    const bool waiting = QApplication::overrideCursor() != nullptr;
    if (waiting) QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int pressed = box.exec();
    if (waiting) QApplication::restoreOverrideCursor();
    return pressed;
}

}  // namespace

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
    const auto standard = [](int answer) {
        switch (answer) {
        case IDOK: return QMessageBox::Ok;
        case IDYES: return QMessageBox::Yes;
        case IDNO: return QMessageBox::No;
        default: return QMessageBox::Cancel;
        }
    };
    box.setDefaultButton(standard(defaultAnswer(buttons)));
    box.setEscapeButton(box.button(standard(defaultAnswer(buttons))));
    const int pressed = execWithArrow(box);
    switch (pressed) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDCANCEL;
    }
}

int WidgetUiServices::askChoice(const QString& text, const QStringList& answers) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QString::fromUtf8(kMessageCaption));
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    std::vector<QAbstractButton*> buttons;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        const bool safe = i + 1 == answers.size();
        QPushButton* button = box.addButton(answers[i], safe ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        buttons.push_back(button);
        if (safe) {
            box.setDefaultButton(button);
            box.setEscapeButton(button);
        }
    }
    execWithArrow(box);
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i]) return static_cast<int>(i);
    return static_cast<int>(answers.size()) - 1;
}

void WidgetUiServices::setWaitCursor() {
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(Qt::WaitCursor);
    else
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void WidgetUiServices::setArrowCursor() {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

namespace {

// As for the message boxes: a chooser is used with the ordinary cursor.
template <class Choose>
QString withArrowCursor(Choose choose) {
    const bool waiting = QApplication::overrideCursor() != nullptr;
    if (waiting) QApplication::setOverrideCursor(Qt::ArrowCursor);
    const QString chosen = choose();
    if (waiting) QApplication::restoreOverrideCursor();
    return chosen;
}

}  // namespace

QString WidgetUiServices::chooseFile(const QString& title, const QString& folder, const QString& filter) {
    return withArrowCursor(
        [&] { return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, folder, filter); });
}

QString WidgetUiServices::chooseSaveFile(const QString& title, const QString& suggested, const QString& filter) {
    return withArrowCursor(
        [&] { return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, suggested, filter); });
}

// The document's own application, started by the system's opener and waited for as a
// process: the caller reads the document back once the user has closed it. When the opener
// hands the document to an application already running, no process is left to wait for and
// the wait ends at once. The window does not respond meanwhile.
int WidgetUiServices::openDocumentAndWait(const QString& path) {
#ifdef Q_OS_WIN
    const std::wstring file = QDir::toNativeSeparators(path).toStdWString();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // No box of the shell's own when nothing opens the document: the caller says so, in French,
    // with the document's path.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    QWidget* owner = QApplication::activeWindow();
    info.hwnd = owner ? reinterpret_cast<HWND>(owner->winId()) : nullptr;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOW;
    if (!ShellExecuteExW(&info)) return -1;
    if (info.hProcess) {
        DWORD code = STILL_ACTIVE;
        do {
            Sleep(100);
        } while (GetExitCodeProcess(info.hProcess, &code) && code == STILL_ACTIVE);
        CloseHandle(info.hProcess);
    }
    return 0;
#else
#ifdef Q_OS_MACOS
    const QString opener = QStringLiteral("open");
    const QStringList arguments{QStringLiteral("-W"), path};
#else
    const QString opener = QStringLiteral("xdg-open");
    const QStringList arguments{path};
#endif
    QProcess process;
    process.start(opener, arguments);
    if (!process.waitForStarted()) return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? 0 : -1;
    process.waitForFinished(-1);
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? 0 : -1;
#endif
}

void WidgetUiServices::debugOutput(const QByteArray& text) {
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stderr);
}

}  // namespace platform
