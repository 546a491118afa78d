#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/cbrelo_app.h"
#include "app/cbrelo_dlg.h"
#include "app/login_dlg.h"
#include "db/settings_file.h"
#include "dialog/controls.h"
#include "dialog/dialog.h"
#include "programme/account.h"
#include "resources/control_ids.h"
#include "tests/support/modal.h"
#include "tests/support/recording_ui.h"
#include "tests/support/testdb.h"

namespace {

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::ui().clear();
        account::resetForTests();
        testdb::resetAll();
        testdb::exec(testdb::programmeDb(),
                     "INSERT INTO `access` (`id`, `name`, `password`, `rights`) VALUES (1, 'Demo', 'brelo', 'all')");
    }
    static void logInWhenAsked() {
        testing_support::onNextModal([](QDialog* dialog) {
            testing_support::typeInto(dialog, login::kNameEdit, QStringLiteral("demo"));
            testing_support::typeInto(dialog, login::kPasswordEdit, QStringLiteral("brelo"));
            testing_support::clickButton(dialog, platform::IDOK);
        });
    }
};

TEST_F(StartupTest, CancelledLoginNeverShowsTheSalesOverview) {
    CBreloDlg main;
    bool shownDuringLogin = true;
    testing_support::onNextModal([&](QDialog* dialog) {
        shownDuringLogin = main.isVisible();
        testing_support::clickButton(dialog, platform::IDCANCEL);
    });
    EXPECT_EQ(main.DoModal(), platform::IDCANCEL);
    EXPECT_FALSE(shownDuringLogin);
    EXPECT_FALSE(main.isVisible());
}

TEST_F(StartupTest, EnterInTheSalesOverviewEndsIt) {
    CBreloDlg main;
    logInWhenAsked();
    QString caption;
    QTimer::singleShot(300, [&] {
        caption = main.windowTitle();
        QWidget* filter = main.item(1003);
        filter->setFocus();
        QTest::keyClick(filter, Qt::Key_Return);
    });
    EXPECT_EQ(main.DoModal(), platform::IDOK);
    EXPECT_EQ(caption, QStringLiteral("Brelo 2.002"));
    EXPECT_EQ(account::name(), QStringLiteral("Demo"));
}

// Escape ends the program only once the user said so; "Non" (the box's default) keeps it.
TEST_F(StartupTest, EscapeInTheSalesOverviewAsksFirst) {
    CBreloDlg main;
    logInWhenAsked();
    bool stillUp = false;
    QTimer::singleShot(300, [&] {
        testing_support::ui().answers = {platform::IDNO, platform::IDYES};
        QTest::keyClick(&main, Qt::Key_Escape);
        stillUp = main.isVisible();
        QTest::keyClick(&main, Qt::Key_Escape);
    });
    EXPECT_EQ(main.DoModal(), platform::IDCANCEL);
    EXPECT_TRUE(stillUp);
    const auto& asked = testing_support::ui().messages;
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].text, QString::fromUtf8(CBreloDlg::kQuitQuestion));
    EXPECT_EQ(asked[0].buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(platform::defaultAnswer(asked[0].buttons), platform::IDNO);
}

TEST_F(StartupTest, EachManagerRunIsAFreshWindowWithTheStartupAccount) {
    using M = res::ManagerControls;
    testdb::exec(testdb::programmeDb(), "INSERT INTO `salle` VALUES (10, 'Rouge', 'R', '100', 'la salle rouge')");
    CBreloDlg main;
    logInWhenAsked();
    QStringList captions;
    std::vector<const void*> managers;
    // The first run leaves its range, its calendar and a selected room changed; the second
    // opens on its own: today's range, the timeline, nothing selected.
    auto firstRun = [&](QDialog* dialog) {
        auto* window = static_cast<dlg::Dialog*>(dialog);
        captions << window->windowTitle();
        managers.push_back(window);
        testing_support::clickButton(window, M::kOdo2019);
        window->setChecked(M::kCalendar, true);
        ASSERT_EQ(window->listView(M::kRoomList)->itemCount(), 1);
        window->listView(M::kRoomList)->setSelected(0, true);
        QTest::keyClick(window, Qt::Key_Escape);
    };
    auto secondRun = [&](QDialog* dialog) {
        auto* window = static_cast<dlg::Dialog*>(dialog);
        captions << window->windowTitle();
        managers.push_back(window);
        EXPECT_EQ(window->datePicker(M::kDateFrom)->dateTime().date(), QDate::currentDate());
        EXPECT_FALSE(window->isChecked(M::kCalendar));
        EXPECT_TRUE(window->listView(M::kRoomList)->selectedRows().empty());
        QTest::keyClick(window, Qt::Key_Escape);
    };
    QTimer::singleShot(300, [&] {
        testing_support::onNextModal([&](QDialog* d) {
            firstRun(d);
            QTimer::singleShot(50, [&] {
                testing_support::onNextModal([&](QDialog* d2) {
                    secondRun(d2);
                    QTimer::singleShot(50, [&] { QTest::keyClick(&main, Qt::Key_Escape); });
                });
                testing_support::clickButton(&main, CBreloDlg::kManagerButton);
            });
        });
        testing_support::clickButton(&main, CBreloDlg::kManagerButton);
    });
    EXPECT_EQ(main.DoModal(), platform::IDCANCEL);
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Manager 1.004 (Demo)"), QStringLiteral("Manager 1.004 (Demo)")}));
    ASSERT_EQ(managers.size(), 2u);
    // Each opening wrote its own line to the server's audit log.
    EXPECT_EQ(testdb::query(testdb::programmeDb(), "SELECT COUNT(*) FROM `logs` WHERE `log` = 'Demo : manager started'")
                  .at(0)
                  .at(0),
              "2");
}

// The program itself: with no file beside it (nor in the user's folder) it says which file it
// looked for and shows nothing else.
TEST_F(StartupTest, WithoutItsSettingsFileTheProgramSaysWhichAndStops) {
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    CBreloApp app;
    EXPECT_FALSE(app.InitInstance());
    qunsetenv("XDG_CONFIG_HOME");
    const QString expected = db::installationSettingsFile(QCoreApplication::applicationDirPath());
    EXPECT_EQ(testing_support::ui().messageTexts(),
              QStringList{QString::fromUtf8("Fichier de r\xc3\xa9glages introuvable : ") +
                          QDir::toNativeSeparators(expected)});
}

}  // namespace
