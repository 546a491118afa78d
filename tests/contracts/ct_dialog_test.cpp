// The contract dialog offscreen: the first-timeslot list, the template chooser, the new and
// stored modes with their enabling, the one-value editor and what OK hands back.
#include <gtest/gtest.h>

#include "tests/support/files.h"

#include "tests/support/qt_print.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "contracts/ct_dlg.h"
#include "dialog/controls.h"
#include "dialog/text_fit.h"
#include "programme/account.h"
#include "tests/support/modal.h"
#include "tests/support/recording_ui.h"
#include "tests/support/text.h"

namespace {

using testing_support::clickButton;
using testing_support::onNextModal;
using testing_support::typeInto;

using testing_support::writeFile;
class ContractDialog : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::ui().clear();
        account::setForTests(q("Demo"), q("all"));
        programme::clearAll();
        programme::companies() = {{q("1"), q("Les Arlequins"), {}, {}, {}, q("0"), {}}};
        programme::shows() = {{q("4"), q("Scapin"), q("1"), q("0")}};
        programme::rooms() = {{q("0"), q("Grande salle"), q("220 places"), q("la Grande Salle")}};
        auto slot = [](const char* id, const char* date, const char* deleted, const char* childof) {
            return programme::Timeslot{
                q(id), q(date), q("20:30:00"), q("21:45:00"), q(deleted), q("4"), q(childof), q("0"), {}, {}, {}};
        };
        programme::timeslots() = {slot("5", "2027-07-08", "0", "-1"), slot("6", "2027-07-09", "0", "5"),
                                  slot("7", "2027-07-10", "0", "5"), slot("8", "2027-07-20", "1", "-1"),
                                  slot("9", "2027-07-21", "0", "-1")};
        ASSERT_TRUE(root_.isValid());
        const QDir dir(root_.path());
        for (const char* sub : {"models", "generated", "shared", "elsewhere"}) dir.mkpath(q(sub));
        folders_ = {dir.filePath(q("models")), dir.filePath(q("generated")), dir.filePath(q("shared"))};
        writeFile(QDir(folders_.models).filePath(q("t.rtf")), "{\\rtf1 <<<NUM>>> <<<CRE>>>}");
        writeFile(QDir(folders_.models).filePath(q("t.txt")),
                  "Num\xe9ro de contrat\r\nCr\xe9neau(x)\r\nSpectacle\r\nPrix (TTC)\r\nMontant de chacun des 5 "
                  "ch\xe8ques\r\n");
    }
    void TearDown() override {
        programme::clearAll();
        testing_support::ui().clear();
    }

    void prepare(ct& dialog, int32_t timeslotId, const char* extra = "", const char* rtf = "") {
        dialog.model.folders = folders_;
        dialog.model.timeslotId = timeslotId;
        dialog.model.extra = q(extra);
        dialog.model.rtf = q(rtf);
        dialog.model.draw = [] { return 1; };
    }
    static QString value(ct& dialog, const char* label) {
        dlg::ListView* list = dialog.listView(ct::kInfoList);
        for (int r = 0; r < list->itemCount(); ++r)
            if (list->itemText(r, 0) == q(label)) return list->itemText(r, 1);
        return q("(absent)");
    }
    static void choose(ct& dialog, int entry) {
        QComboBox* combo = dialog.comboBox(ct::kFirstSlot);
        combo->setCurrentIndex(entry);
        emit combo->activated(entry);
    }

    QTemporaryDir root_;
    contracts::ContractFolders folders_;
};

TEST_F(ContractDialog, ANewContractGoesFromTemplateToGeneratedToOk) {
    ct dialog;
    prepare(dialog, -1);
    testing_support::ui().fileAnswers = {QDir(root_.path()).filePath(q("elsewhere/t"))};
    int result = 0;
    onNextModal([&](QDialog*) {
        // Only the file name counts: it is read from the models folder.
        EXPECT_EQ(dialog.itemText(ct::kTemplate), q("t.rtf"));
        QComboBox* heads = dialog.comboBox(ct::kFirstSlot);
        ASSERT_EQ(heads->count(), 2);  // group heads not deleted
        EXPECT_EQ(heads->itemText(0), q("Jeudi 08 Juillet 2027 à 20:30 : Scapin : Les Arlequins"));
        EXPECT_EQ(heads->currentIndex(), -1);
        EXPECT_EQ(value(dialog, "Spectacle"), QString());
        EXPECT_EQ(value(dialog, "Numéro de contrat"), QString());
        EXPECT_FALSE(dialog.item(platform::IDOK)->isEnabled());
        EXPECT_TRUE(dialog.item(ct::kGenerate)->isEnabled());

        choose(dialog, 0);
        EXPECT_EQ(value(dialog, "Créneau(x)"),
                  q("les Jeudi 08 Juillet 2027,Vendredi 09 Juillet 2027 et Samedi 10 Juillet "
                    "2027 à 20:30"));
        EXPECT_EQ(value(dialog, "Numéro de contrat"), q("Scapin_0001_0001_0001"));

        onNextModal([](QDialog* editor) {
            EXPECT_EQ(editor->windowTitle(), q("Prix (TTC)"));
            // What extra could not give back is refused, and the editor stays open.
            for (const char* refused : {"10###00", "1000#"}) {
                typeInto(editor, 1038, q(refused));
                clickButton(editor, platform::IDOK);
                EXPECT_TRUE(editor->isVisible()) << refused;
            }
            EXPECT_EQ(testing_support::ui().messageTexts(), QStringList(2, q(contracts::kValueSeparatorMessage)));
            testing_support::ui().messages.clear();
            typeInto(editor, 1038, q("1000"));
            clickButton(editor, platform::IDOK);
        });
        emit dialog.listView(ct::kInfoList)->rowDoubleClicked(3);
        EXPECT_EQ(value(dialog, "Prix (TTC)"), q("1000"));
        EXPECT_EQ(value(dialog, "Montant de chacun des 5 chèques"), q("200.00"));

        clickButton(&dialog, ct::kGenerate);
        EXPECT_TRUE(testing_support::ui().messages.empty())
            << testing_support::ui().messageTexts().join(u'\n').toStdString();
        EXPECT_EQ(dialog.model.rtf, q("t.rtf"));
        EXPECT_EQ(dialog.comboBox(ct::kFirstSlot)->currentIndex(), 0);  // kept by the refill
        EXPECT_TRUE(dialog.item(platform::IDOK)->isEnabled());
        clickButton(&dialog, platform::IDOK);
    });
    result = dialog.DoModal();
    EXPECT_EQ(result, platform::IDOK);
    EXPECT_EQ(dialog.model.timeslotId, 5);
    EXPECT_TRUE(dialog.model.extra.startsWith(q("Numéro de contrat$$$Scapin_0001_0001_0001###Créneau(x)$$$les ")));
    EXPECT_TRUE(dialog.model.extra.endsWith(q("###Prix (TTC)$$$1000###Montant de chacun des 5 chèques$$$200.00")));
    EXPECT_TRUE(QFile::exists(QDir(folders_.shared).filePath(q("Scapin_0001_0001_0001.rtf"))));
}

// A default taken from stored records (a show named before names were checked) that the
// contract's rows could not give back stops the generation, naming its row.
TEST_F(ContractDialog, ARowFromTheRecordsThatCannotBeStoredStopsTheGeneration) {
    programme::shows()[0].name = q("Sca###pin");
    ct dialog;
    prepare(dialog, 5);
    testing_support::ui().fileAnswers = {QDir(folders_.models).filePath(q("t.rtf"))};
    onNextModal([&](QDialog*) {
        clickButton(&dialog, ct::kGenerate);
        const QStringList messages = testing_support::ui().messageTexts();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].startsWith(q("Ligne « Spectacle » du contrat : "))) << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(q("« ### »")));
        EXPECT_FALSE(dialog.item(platform::IDOK)->isEnabled());
        EXPECT_TRUE(QDir(folders_.generated).isEmpty());
        clickButton(&dialog, platform::IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), platform::IDCANCEL);
}

TEST_F(ContractDialog, NoTemplateChosenClosesTheNewContract) {
    ct dialog;
    prepare(dialog, 5);
    EXPECT_EQ(dialog.DoModal(), platform::IDCANCEL);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ContractDialog, AStoredContractShowsItsRowsWithItsTemplateFixed) {
    ct dialog;
    prepare(dialog, 9, "Spectacle$$$Scapin###Prix (TTC)$$$900", "t.rtf");
    int result = 0;
    onNextModal([&](QDialog*) {
        EXPECT_EQ(dialog.comboBox(ct::kFirstSlot)->currentIndex(), 1);
        EXPECT_TRUE(dlg::cutTexts(&dialog).empty()) << "a text or heading of the dialog is cut";
        EXPECT_EQ(dialog.itemText(ct::kTemplate), q("t.rtf"));
        EXPECT_FALSE(dialog.item(ct::kTemplate)->isEnabled());
        EXPECT_FALSE(dialog.item(ct::kChooseTemplate)->isEnabled());
        EXPECT_TRUE(dialog.item(platform::IDOK)->isEnabled());
        EXPECT_EQ(value(dialog, "Prix (TTC)"), q("900"));
        // Another first slot does not change a stored contract's values.
        choose(dialog, 0);
        EXPECT_EQ(value(dialog, "Spectacle"), q("Scapin"));
        choose(dialog, -1);
        clickButton(&dialog, platform::IDOK);
    });
    result = dialog.DoModal();
    EXPECT_EQ(result, platform::IDOK);
    EXPECT_EQ(dialog.model.timeslotId, -1);
    EXPECT_EQ(dialog.model.extra, q("Spectacle$$$Scapin###Prix (TTC)$$$900"));
    EXPECT_EQ(dialog.model.rtf, q("t.rtf"));
    // Nothing was generated under its number: the copy reports it and OK still closes.
    EXPECT_EQ(testing_support::ui().messageTexts(), QStringList{q(contracts::kCopyFailed)});
}

// Another contract's number would replace its document, here and in the shared folder: the
// generation and OK refuse it, whatever its case; a stored contract keeps its own.
TEST_F(ContractDialog, ANumberAnotherContractUsesIsRefused) {
    programme::contracts() = {{q("0"),
                               q("9"),
                               {},
                               q("Num\u00e9ro de contrat$$$Scapin_0001_0001_0001###Spectacle$$$Scapin"),
                               q("1"),
                               q("t.rtf")}};
    const QString theirs = q("Scapin_0001_0001_0001.rtf");
    for (const QString& folder : {folders_.generated, folders_.shared})
        writeFile(QDir(folder).filePath(theirs), "their document");
    const QString taken = q(contracts::kNumberTakenFormat);
    ct dialog;
    prepare(dialog, 5);
    testing_support::ui().fileAnswers = {QDir(folders_.models).filePath(q("t.rtf"))};
    const auto setRow = [&](int row, const char* text) {
        onNextModal([=](QDialog* editor) {
            typeInto(editor, 1038, q(text));
            clickButton(editor, platform::IDOK);
        });
        emit dialog.listView(ct::kInfoList)->rowDoubleClicked(row);
    };
    const auto setNumber = [&](const char* number) { setRow(0, number); };
    onNextModal([&](QDialog*) {
        ASSERT_EQ(value(dialog, "Numéro de contrat"), q("Scapin_0001_0001_0001"));  // drawn as the other's was
        clickButton(&dialog, ct::kGenerate);
        setNumber("SCAPIN_0001_0001_0001");
        clickButton(&dialog, ct::kGenerate);
        EXPECT_EQ(testing_support::ui().messageTexts(),
                  (QStringList{taken.arg(q("Scapin_0001_0001_0001")), taken.arg(q("SCAPIN_0001_0001_0001"))}));
        EXPECT_TRUE(dialog.model.rtf.isEmpty());
        testing_support::ui().clear();
        setRow(3, "1000");
        setNumber("Scapin_0002");
        clickButton(&dialog, ct::kGenerate);
        EXPECT_TRUE(dialog.item(platform::IDOK)->isEnabled());
        // Changed back after the generation: OK refuses too, and the dialog stays.
        setNumber("Scapin_0001_0001_0001");
        clickButton(&dialog, platform::IDOK);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(testing_support::ui().messageTexts(), QStringList{taken.arg(q("Scapin_0001_0001_0001"))});
        dialog.EndDialog(platform::IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), platform::IDCANCEL);
    for (const QString& folder : {folders_.generated, folders_.shared}) {
        QFile file(QDir(folder).filePath(theirs));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("their document")) << folder.toStdString();
    }
    EXPECT_TRUE(QFile::exists(QDir(folders_.generated).filePath(q("Scapin_0002.rtf"))));

    // The contract itself, opened again, generates under its own number.
    testing_support::ui().clear();
    ct stored;
    prepare(stored, 9, "Num\u00e9ro de contrat$$$Scapin_0001_0001_0001###Spectacle$$$Scapin", "t.rtf");
    onNextModal([&](QDialog*) {
        clickButton(&stored, ct::kGenerate);
        clickButton(&stored, platform::IDOK);
    });
    EXPECT_EQ(stored.DoModal(), platform::IDOK);
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join(u'\n').toStdString();
}

TEST_F(ContractDialog, AStoredContractWithoutRowsOpensAsANewOne) {
    ct dialog;
    prepare(dialog, 5, "", "t.rtf");
    testing_support::ui().fileAnswers = {QDir(folders_.models).filePath(q("t.rtf"))};
    onNextModal([&](QDialog*) {
        EXPECT_TRUE(dialog.item(ct::kChooseTemplate)->isEnabled());
        EXPECT_EQ(value(dialog, "Spectacle"), q("Scapin"));
        EXPECT_TRUE(dialog.item(platform::IDOK)->isEnabled());  // its rtf says it was generated
        dialog.EndDialog(platform::IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), platform::IDCANCEL);
}

}  // namespace
