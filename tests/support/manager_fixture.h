// What the manager window tests share: a programme database holding only the test's starting
// data, the account "Demo" with every right, and the moves a user makes in the window's lists.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "db/connections.h"
#include "dialog/controls.h"
#include "manager/manager_dlg.h"
#include "programme/account.h"
#include "tests/support/empty_programme.h"
#include "tests/support/modal.h"
#include "tests/support/sql.h"

namespace testing_support {

class ManagerTest : public ::testing::Test {
protected:
    // The statements that fill the empty tables before each test (UTF-8: they start with
    // SET NAMES utf8mb4 where they hold accented letters).
    virtual std::string startingData() const = 0;

    void SetUp() override {
        startEmptyProgramme();
        account::setForTests(q("Demo"), q("all"));
        sql(startingData());
    }
    void TearDown() override { db::closeProgramme(); }

    static int row(manager& window, int list, const QString& text, int column = 1) {
        return rowWithText(window.listView(list), text, column);
    }
    static void select(manager& window, int list, int row) { window.listView(list)->setSelected(row, true); }
    static void select(manager& window, int list, const QString& text, int column = 1) {
        select(window, list, row(window, list, text, column));
    }
    static void doubleClick(manager& window, int list, int row) { emit window.listView(list)->rowDoubleClicked(row); }
    static void doubleClick(manager& window, int list, const QString& text, int column = 1) {
        doubleClick(window, list, row(window, list, text, column));
    }
    static bool enabled(manager& window, int id) { return window.item(id)->isEnabled(); }
    static void pressOkOnNextDialog() {
        onNextModal([](QDialog* d) { clickButton(d, platform::IDOK); });
    }
};

}  // namespace testing_support
