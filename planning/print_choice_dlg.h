// "Imprimer…": what to print (the timeline a week a page, the calendar a month a page, the
// "Suivi" report) and where (the printer, a PDF file, or, for the report, a CSV file).
#pragma once

#include <QDialog>

#include "planning/planning_print.h"

class QRadioButton;

namespace planning {

enum class PrintOutput { Printer, Pdf, Csv };

class PrintChoiceDialog : public QDialog {
    Q_OBJECT
public:
    // Opens on the document and destination last chosen, or, the first time, on `proposed`
    // and a PDF file.
    explicit PrintChoiceDialog(PrintKind proposed, QWidget* parent = nullptr);
    PrintKind kind() const;
    PrintOutput output() const;
    void accept() override;

private:
    void allowCsv();
    QRadioButton* timeline_;
    QRadioButton* calendar_;
    QRadioButton* report_;
    QRadioButton* printer_;
    QRadioButton* pdf_;
    QRadioButton* csv_;
};

}  // namespace planning
