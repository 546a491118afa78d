// Drives modal dialogs from tests: the action runs once the next modal dialog is up.
#pragma once

#include <QDialog>
#include <functional>

namespace testing_support {

// Runs `action` with the next modal dialog that appears (other than the one now active).
void onNextModal(std::function<void(QDialog*)> action);

// Types into a line edit of a dialog, found by control id.
void typeInto(QWidget* dialog, int controlId, const QString& text);
// Clicks a button of a dialog, found by control id.
void clickButton(QWidget* dialog, int controlId);

}  // namespace testing_support
