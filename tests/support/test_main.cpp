// The main of every test program: a QApplication (offscreen in the test runs) and the
// recording platform services, so that no modal box ever waits for a person.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>

#include "tests/support/modal.h"
#include "tests/support/recording_ui.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QFont::insertSubstitutions(QStringLiteral("MS Shell Dlg"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    platform::setUiServices(&testing_support::ui());
    testing_support::installModalWatchdog(15);
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    platform::setUiServices(nullptr);
    return rc;
}
