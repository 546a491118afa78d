#include "tests/support/modal.h"

#include "dialog/controls.h"
#include "dialog/dialog.h"
#include "tests/support/recording_ui.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <exception>
#include <memory>

namespace testing_support {

namespace {

// A check that throws (a look-up past the end of a result, say) would cross the event loop
// and end the whole test program: it fails its own test instead, and the dialogs it left
// up are closed so that the test unwinds.
template <class Step>
void guarded(const char* where, Step step) {
    try {
        step();
    } catch (const std::exception& e) {
        ADD_FAILURE() << where << " threw: " << e.what();
        closeModalDialogs();
    } catch (...) {
        ADD_FAILURE() << where << " threw an exception that is not a std::exception";
        closeModalDialogs();
    }
}

// A window whose tables still cross the link (the manager opening) is not up for a user yet.
bool stillLoading(const QWidget* window) { return window->property("loading").toBool(); }

}  // namespace

void closeModalDialogs() {
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* window = qobject_cast<dlg::Dialog*>(modal))
            window->EndDialog(platform::IDCANCEL);
        else if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->done(QDialog::Rejected);
        else
            modal->close();
        // A widget that would not close must not hold the loop here.
        if (QApplication::activeModalWidget() == modal) break;
    }
}

void onNextModal(std::function<void(QDialog*)> action) {
    QPointer<QWidget> before = QApplication::activeModalWidget();
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, before, action] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog == before || !dialog->isVisible() || stillLoading(dialog)) return;
        timer->stop();
        timer->deleteLater();
        guarded("a modal dialog's action", [&] { action(dialog); });
    });
    timer->start();
}

void runModal(dlg::Dialog& window, std::function<void()> checks) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, &window, checks] {
        if (QApplication::activeModalWidget() != &window || !window.isVisible() || stillLoading(&window)) return;
        poll->stop();
        poll->deleteLater();
        guarded("the checks run in a window", checks);
        window.EndDialog(platform::IDCANCEL);
    });
    poll->start();
    window.DoModal();
}

namespace {

// The dialog's caption and the texts of its controls, as a person would read them.
QString describe(QWidget* dialog) {
    QStringList lines{QStringLiteral("\"%1\" (%2)")
                          .arg(dialog->windowTitle(), QString::fromLatin1(dialog->metaObject()->className()))};
    for (const QWidget* child : dialog->findChildren<QWidget*>()) {
        if (!child->isVisibleTo(dialog)) continue;
        QString text;
        if (const auto* label = qobject_cast<const QLabel*>(child))
            text = label->text();
        else if (const auto* edit = qobject_cast<const QLineEdit*>(child))
            text = QStringLiteral("[%1]").arg(edit->text());
        else if (const auto* button = qobject_cast<const QAbstractButton*>(child))
            text = QStringLiteral("<%1>").arg(button->text());
        if (!text.isEmpty()) lines << QStringLiteral("  %1: %2").arg(child->objectName(), text);
    }
    const QStringList messages = ui().messageTexts();
    if (!messages.isEmpty()) lines << QStringLiteral("  messages shown: ") + messages.join(QStringLiteral(" | "));
    return lines.join(u'\n');
}

}  // namespace

namespace {

struct Watchdog {
    QPointer<QWidget> watched;
    QElapsedTimer since;
    int limitMs = 15000;
};
Watchdog* gWatchdog = nullptr;

}  // namespace

void installModalWatchdog(double seconds) {
    if (!gWatchdog) {
        auto state = std::make_shared<Watchdog>();
        gWatchdog = state.get();
        auto* timer = new QTimer(QCoreApplication::instance());
        timer->setInterval(100);
        QObject::connect(timer, &QTimer::timeout, [state] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal != state->watched.data()) {
                state->watched = modal;
                state->since.start();
                return;
            }
            if (!modal || state->since.elapsed() < state->limitMs) return;
            ADD_FAILURE() << "a modal dialog stayed up for " << state->limitMs / 1000.0 << " s:\n"
                          << describe(modal).toStdString();
            state->since.start();
            if (auto* window = qobject_cast<dlg::Dialog*>(modal))
                window->EndDialog(platform::IDCANCEL);
            else if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->done(QDialog::Rejected);
            else
                modal->close();
        });
        timer->start();
    }
    gWatchdog->limitMs = static_cast<int>(seconds * 1000);
}

void typeInto(QWidget* dialog, int controlId, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(controlId));
    if (edit) edit->setText(text);
}

void clickButton(QWidget* dialog, int controlId) {
    auto* button = dialog->findChild<QAbstractButton*>(QStringLiteral("ctl_%1").arg(controlId));
    if (button) button->click();
}

void pressOkOrCancel(QDialog* dialog) {
    clickButton(dialog, platform::IDOK);
    if (dialog->isVisible()) clickButton(dialog, platform::IDCANCEL);
}

int rowWithText(dlg::ListView* list, const QString& text, int column) {
    for (int r = 0; r < list->itemCount(); ++r)
        if (list->itemText(r, column) == text) return r;
    return -1;
}

}  // namespace testing_support
