// The texts Qt draws itself are French, as the program sets them at start (the test main
// does the same).
#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>

#include "platform/french_interface.h"
#include "tests/support/qt_print.h"

namespace {

QString buttonText(QDialogButtonBox::StandardButton which) {
    QDialogButtonBox box(which);
    return box.button(which)->text().remove(u'&');
}

TEST(FrenchInterface, QtsOwnButtonsCalendarAndFileChooserSpeakFrench) {
    ASSERT_TRUE(platform::installFrenchInterface(*qApp)) << "Qt's French translation is not installed";
    struct Case {
        QDialogButtonBox::StandardButton button;
        const char* text;
    };
    const Case cases[] = {{QDialogButtonBox::Cancel, "Annuler"},
                          {QDialogButtonBox::Yes, "Oui"},
                          {QDialogButtonBox::No, "Non"},
                          {QDialogButtonBox::Open, "Ouvrir"},
                          {QDialogButtonBox::Save, "Enregistrer"}};
    for (const Case& c : cases) EXPECT_EQ(buttonText(c.button), QString::fromUtf8(c.text));

    // The calendar of a date picker: French month and day names, Monday first.
    QCalendarWidget calendar;
    calendar.setSelectedDate(QDate(2019, 7, 5));
    QStringList shown;
    for (const QToolButton* b : calendar.findChildren<QToolButton*>()) shown << b->text();
    EXPECT_TRUE(shown.contains(QStringLiteral("juillet"))) << shown.join(u',').toStdString();
    EXPECT_EQ(calendar.firstDayOfWeek(), Qt::Monday);

    // Qt's own file chooser (as on a desktop without a native one).
    QFileDialog chooser;
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    QStringList labels;
    for (const QLabel* l : chooser.findChildren<QLabel*>()) labels << l->text();
    EXPECT_FALSE(labels.contains(QStringLiteral("Look in:"))) << labels.join(u',').toStdString();
    QStringList buttons;
    for (const QPushButton* b : chooser.findChildren<QPushButton*>()) buttons << b->text().remove(u'&');
    EXPECT_TRUE(buttons.contains(QStringLiteral("Annuler"))) << buttons.join(u',').toStdString();

    EXPECT_EQ(QLocale().toString(1234.5, 'f', 2), QString::fromUtf8("1\u202f234,50"));
}

}  // namespace
