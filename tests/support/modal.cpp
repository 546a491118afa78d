#include "tests/support/modal.h"

#include "platform/dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace testing_support {

void onNextModal(std::function<void(QDialog*)> action) {
    QPointer<QWidget> before = QApplication::activeModalWidget();
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, before, action] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog == before || !dialog->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        action(dialog);
    });
    timer->start();
}

void runModal(dlg::Dialog& window, std::function<void()> checks) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, &window, checks] {
        if (QApplication::activeModalWidget() != &window || !window.isVisible()) return;
        poll->stop();
        poll->deleteLater();
        checks();
        window.EndDialog(platform::IDCANCEL);
    });
    poll->start();
    window.DoModal();
}

void typeInto(QWidget* dialog, int controlId, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(controlId));
    if (edit) edit->setText(text);
}

void clickButton(QWidget* dialog, int controlId) {
    auto* button = dialog->findChild<QAbstractButton*>(QStringLiteral("ctl_%1").arg(controlId));
    if (button) button->click();
}

}  // namespace testing_support
