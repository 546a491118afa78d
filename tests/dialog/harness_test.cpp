// The test harness itself: a check that throws inside a window's modal loop, or in any event
// handler, fails the test it belongs to and closes the dialogs it left up; the test program
// goes on with its next test.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <stdexcept>
#include <vector>

#include "dialog/dialog.h"
#include "resources/dialogs.h"
#include "tests/support/modal.h"

namespace {

void throwInTheWindowsChecks() {
    dlg::Dialog window(res::kDialog134);
    testing_support::runModal(window, [] { (void)std::vector<int>().at(0); });
}

void throwInANestedDialogsAction() {
    dlg::Dialog outer(res::kDialog134);
    testing_support::runModal(outer, [] {
        dlg::Dialog inner(res::kDialog134);
        testing_support::onNextModal([](QDialog*) { throw std::runtime_error("look-up failed"); });
        inner.DoModal();  // closed by the failure, not left up
    });
}

void throwInATimer() {
    dlg::Dialog window(res::kDialog134);
    QTimer::singleShot(0, [] { throw std::runtime_error("handler failed"); });
    window.DoModal();
}

TEST(TestHarness, AThrowingCheckFailsItsOwnTestAndClosesItsDialogs) {
    EXPECT_NONFATAL_FAILURE(throwInTheWindowsChecks(), "threw: vector::_M_range_check");
    EXPECT_NONFATAL_FAILURE(throwInANestedDialogsAction(), "threw: look-up failed");
    EXPECT_NONFATAL_FAILURE(throwInATimer(), "an event handler threw: handler failed");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
