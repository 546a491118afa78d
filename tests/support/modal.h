// Drives modal dialogs from tests: the action runs once the next modal dialog is up.
#pragma once

#include <QDialog>
#include <functional>

namespace dlg {
class Dialog;
class ListView;
}  // namespace dlg

namespace testing_support {

// Runs `action` with the next modal dialog that appears (other than the one now active).
void onNextModal(std::function<void(QDialog*)> action);

// Runs a dialog modally; once it is up, runs `checks` and closes it with cancel.
// A check that fails or throws ends its test there, never the test program: what throws
// inside `checks` or a modal action is reported as the test's failure and closes the
// dialogs still up.
void runModal(dlg::Dialog& window, std::function<void()> checks);

// Closes every modal dialog, the innermost first, with cancel.
void closeModalDialogs();

// Fails the running test when one modal dialog stays up longer than this, with what it shows,
// and closes it: a test whose dialog never closes (a login that no longer matches, a box
// nobody answers) ends in seconds instead of at CTest's limit. The test main installs it;
// calling it again changes the limit.
void installModalWatchdog(double seconds);

// Types into a line edit of a dialog, found by control id.
void typeInto(QWidget* dialog, int controlId, const QString& text);
// Clicks a button of a dialog, found by control id.
void clickButton(QWidget* dialog, int controlId);
// The first row of a list whose column shows this text, or -1.
int rowWithText(dlg::ListView* list, const QString& text, int column = 1);
// Presses OK, and cancel when the dialog refused to close (a value it would not take).
void pressOkOrCancel(QDialog* dialog);

}  // namespace testing_support
