#include "manager/journal_dlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "db/connections.h"
#include "edits/journal.h"
#include "platform/ui_services.h"

namespace {

constexpr int kDefaultDays = 30;
constexpr int kColumnPadding = 16;

QString everyAccount() { return QStringLiteral("Tous les comptes"); }

}  // namespace

JournalWindow::JournalWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Journal"));
    setObjectName(QStringLiteral("journal"));
    auto* layout = new QVBoxLayout(this);
    auto* filters = new QHBoxLayout;
    accounts_ = new QComboBox(this);
    accounts_->setObjectName(QStringLiteral("journal_account"));
    from_ = new QDateEdit(QDate::currentDate().addDays(-kDefaultDays), this);
    from_->setObjectName(QStringLiteral("journal_from"));
    to_ = new QDateEdit(QDate::currentDate(), this);
    to_->setObjectName(QStringLiteral("journal_to"));
    for (QDateEdit* day : {from_, to_}) {
        day->setCalendarPopup(true);
        day->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    }
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("journal_text"));
    text_->setPlaceholderText(QStringLiteral("texte cherché"));
    text_->setClearButtonEnabled(true);
    const auto labelled = [&](const QString& label, QWidget* field) {
        auto* caption = new QLabel(label, this);
        caption->setBuddy(field);
        filters->addWidget(caption);
        filters->addWidget(field);
    };
    labelled(QStringLiteral("&Compte"), accounts_);
    labelled(QStringLiteral("&Du"), from_);
    labelled(QStringLiteral("&au"), to_);
    labelled(QStringLiteral("&Texte"), text_);
    filters->addStretch();
    layout->addLayout(filters);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("journal_list"));
    list_->setColumnCount(3);
    list_->setHeaderLabels({QStringLiteral("Date"), QStringLiteral("Compte"), QStringLiteral("Action")});
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->setUniformRowHeights(true);
    // The columns keep the width of what they hold even when the filters leave no line.
    const QFontMetrics metrics(list_->font());
    list_->setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("00/00/0000 00:00:00")) + kColumnPadding);
    list_->setColumnWidth(1, metrics.horizontalAdvance(QStringLiteral("Compte de démonstration")) + kColumnPadding);
    layout->addWidget(list_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Fermer"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(from_, &QDateEdit::dateChanged, this, &JournalWindow::load);
    connect(to_, &QDateEdit::dateChanged, this, &JournalWindow::load);
    connect(accounts_, &QComboBox::currentIndexChanged, this, &JournalWindow::showFiltered);
    connect(text_, &QLineEdit::textChanged, this, &JournalWindow::showFiltered);
    resize(960, 480);
}

void JournalWindow::load() {
    {
        platform::WaitCursor wait;
        if (db::programmeConnected() || db::connectProgramme() == 0) {
            edits::loadJournal(from_->date(), to_->date(), lines_);
            db::closeProgramme();
        }
    }
    const QString chosen = accounts_->currentIndex() > 0 ? accounts_->currentText() : QString();
    {
        const QSignalBlocker quiet(accounts_);
        accounts_->clear();
        accounts_->addItem(everyAccount());
        accounts_->addItems(edits::accountsOf(lines_, chosen));
        accounts_->setCurrentIndex(std::max(0, accounts_->findText(chosen)));
    }
    showFiltered();
}

void JournalWindow::showFiltered() {
    const edits::JournalFilter filter{accounts_->currentIndex() > 0 ? accounts_->currentText() : QString(),
                                      text_->text()};
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (const edits::AuditLine& line : edits::filterJournal(lines_, filter)) {
        auto* item =
            new QTreeWidgetItem(QStringList{line.utc.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")),
                                            line.account, edits::withoutRows(line.message)});
        // The rows the save changed are for the Corbeille; the reader finds them on hover.
        item->setToolTip(2, line.message);
        items << item;
    }
    list_->addTopLevelItems(items);
    if (items.isEmpty()) return;
    list_->resizeColumnToContents(0);
    list_->resizeColumnToContents(1);
}
