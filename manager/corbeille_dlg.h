// The Corbeille: the deleted companies, shows, timeslot groups and contracts, newest delete
// first, and the restore of a selection. Opened from the manager; a window of Qt layouts.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "edits/corbeille.h"

class QTreeWidget;
class QPushButton;

class CorbeilleWindow : public QDialog {
    Q_OBJECT
public:
    // reloadProgramme runs the manager's `reload all` after a restore.
    explicit CorbeilleWindow(std::function<void()> reloadProgramme, QWidget* parent = nullptr);

    // Reads the delete lines of the audit trail and fills the list from the loaded records.
    void fill();
    // Restores the selected entries (rights, question about deleted parents, one save).
    void restoreSelected();

    QTreeWidget* list() const { return list_; }

private:
    std::function<void()> reloadProgramme_;
    std::vector<edits::CorbeilleEntry> entries_;
    QTreeWidget* list_;
    QPushButton* restore_;
};
