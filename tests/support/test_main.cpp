// The main of every test program: a QApplication (offscreen in the test runs) and the
// recording platform services, so that no modal box ever waits for a person.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QWidget>
#include <cstdio>
#include <exception>

#include "bench/local_server.h"
#include "platform/french_interface.h"
#include "tests/support/modal.h"
#include "tests/support/recording_ui.h"

namespace {

// Every window and dialog a test made is gone once the test is: a dialog left behind by a
// path that forgot to release it fails the run, naming what was left.
class WidgetsReleased : public ::testing::EmptyTestEventListener {
public:
    bool leftovers = false;

    void OnTestEnd(const ::testing::TestInfo& test) override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const QWidgetList widgets = QApplication::topLevelWidgets();
        if (widgets.isEmpty()) return;
        leftovers = true;
        std::fprintf(stderr, "%s.%s left %lld top-level widgets:\n", test.test_suite_name(), test.name(),
                     static_cast<long long>(widgets.size()));
        for (QWidget* w : widgets) {
            std::fprintf(stderr, "  %s \"%s\"\n", w->metaObject()->className(), qPrintable(w->windowTitle()));
            delete w;  // so that the next test starts clean
        }
    }
};

// What throws out of an event handler the program did not catch (a test's lambda run by a
// timer, a window handler called from one) is the running test's failure; Qt would otherwise
// end the process and with it every later test.
class TestApplication final : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            ADD_FAILURE() << "an event handler threw: " << e.what();
        } catch (...) {
            ADD_FAILURE() << "an event handler threw an exception that is not a std::exception";
        }
        testing_support::closeModalDialogs();
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    TestApplication app(argc, argv);
    QFont::insertSubstitutions(QStringLiteral("MS Shell Dlg"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    // As the program does at start, so that the tests see the texts a user sees.
    platform::installFrenchInterface(app);
    platform::setUiServices(&testing_support::ui());
    testing_support::installModalWatchdog(15);
    // The private server's databases and account, as the build's program finds them; the tests
    // that need no server go on without.
    local_server::useBuildSettings();
    ::testing::InitGoogleTest(&argc, argv);
    auto* released = new WidgetsReleased;
    ::testing::UnitTest::GetInstance()->listeners().Append(released);  // owned by the list
    int rc = RUN_ALL_TESTS();
    if (released->leftovers) rc = rc ? rc : 1;
    platform::setUiServices(nullptr);
    return rc;
}
