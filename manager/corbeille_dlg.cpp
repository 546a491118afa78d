#include "manager/corbeille_dlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimeZone>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "db/connections.h"
#include "platform/ui_services.h"
#include "programme/account.h"

namespace {

enum Column { kKind, kId, kWhen, kWho, kName, kAttached, kColumnCount };

QString whenText(const QDateTime& utc) {
    if (!utc.isValid()) return QStringLiteral("date inconnue");
    return utc.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

}  // namespace

CorbeilleWindow::CorbeilleWindow(std::function<void()> reloadProgramme, QWidget* parent)
    : QDialog(parent), reloadProgramme_(std::move(reloadProgramme)) {
    setWindowTitle(QStringLiteral("Corbeille"));
    setObjectName(QStringLiteral("corbeille"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Éléments supprimés, les plus récents en premier. Sélectionnez-en puis « Restaurer »."), this));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("corbeille_list"));
    list_->setColumnCount(kColumnCount);
    list_->setHeaderLabels({QStringLiteral("Type"), QStringLiteral("Id"), QStringLiteral("Supprimé le"),
                            QStringLiteral("Par"), QStringLiteral("Nom"), QStringLiteral("Rattaché à")});
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setAllColumnsShowFocus(true);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(this);
    restore_ = buttons->addButton(QStringLiteral("Restaurer"), QDialogButtonBox::ActionRole);
    restore_->setObjectName(QStringLiteral("corbeille_restore"));
    restore_->setEnabled(false);
    QPushButton* close = buttons->addButton(QStringLiteral("Fermer"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("corbeille_close"));
    layout->addWidget(buttons);
    connect(restore_, &QPushButton::clicked, this, &CorbeilleWindow::restoreSelected);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QTreeWidget::itemSelectionChanged, this,
            [this] { restore_->setEnabled(account::writesOffered() && !list_->selectedItems().isEmpty()); });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { restoreSelected(); });
    resize(900, 420);
}

void CorbeilleWindow::fill() {
    std::vector<edits::AuditLine> lines;
    {
        platform::WaitCursor wait;
        if (db::programmeConnected() || db::connectProgramme() == 0) {
            edits::loadDeleteLines(lines);
            db::closeProgramme();
        }
    }
    entries_ = edits::corbeilleEntries(lines);
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const edits::CorbeilleEntry& e = entries_[i];
        auto* item = new QTreeWidgetItem(
            QStringList{e.kindName, e.ref.id, whenText(e.deletedAt), e.deletedBy, e.name, e.attachedTo});
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
        items << item;
    }
    list_->addTopLevelItems(items);
    for (int c = 0; c < kAttached; ++c) list_->resizeColumnToContents(c);
    restore_->setEnabled(false);
}

void CorbeilleWindow::restoreSelected() {
    if (list_->selectedItems().isEmpty()) return;
    if (!account::checkRights()) return;
    std::vector<edits::CorbeilleEntry> selected;
    for (QTreeWidgetItem* item : list_->selectedItems())
        selected.push_back(entries_[item->data(0, Qt::UserRole).toULongLong()]);
    const edits::RestorePlan plan = edits::planRestore(selected, entries_);
    bool withParents = false;
    if (const edits::DeleteQuestion question = edits::restoreQuestion(plan); !question.text.isEmpty()) {
        const int answer = platform::ui().askChoice(question.text, question.answers);
        if (answer == question.answers.size() - 1) return;
        withParents = answer == 0;
    }
    const edits::SaveResult result = edits::runRestore(plan, withParents);
    if (result.outcome == edits::SaveOutcome::Failed || result.outcome == edits::SaveOutcome::Unknown) return;
    platform::ui().messageBox(edits::restoreNotice(result), platform::MessageIcon::Information,
                              platform::MessageButtons::Ok);
    if (reloadProgramme_) reloadProgramme_();
    fill();
}
