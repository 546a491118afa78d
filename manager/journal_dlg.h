// The Journal: who changed what in the programme, newest first, with filters by account,
// period and text. Opened from the manager; a window of Qt layouts.
#pragma once

#include <QDialog>
#include <vector>

#include "edits/change_trail.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QTreeWidget;

class JournalWindow : public QDialog {
    Q_OBJECT
public:
    explicit JournalWindow(QWidget* parent = nullptr);

    // Reads the lines of the period from the server, then shows those the filters keep.
    void load();
    QTreeWidget* list() const { return list_; }
    QComboBox* accounts() const { return accounts_; }
    QDateEdit* from() const { return from_; }
    QDateEdit* to() const { return to_; }
    QLineEdit* text() const { return text_; }

private:
    void showFiltered();

    std::vector<edits::AuditLine> lines_;
    QComboBox* accounts_;
    QDateEdit* from_;
    QDateEdit* to_;
    QLineEdit* text_;
    QTreeWidget* list_;
};
