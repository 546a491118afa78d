#include "planning/print_choice_dlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace planning {

namespace {

QRadioButton* choice(const char* text, const char* name, QWidget* parent) {
    auto* button = new QRadioButton(QString::fromUtf8(text), parent);
    button->setObjectName(QString::fromUtf8(name));
    return button;
}

}  // namespace

PrintChoiceDialog::PrintChoiceDialog(PrintKind proposed, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Imprimer"));
    auto* what = new QGroupBox(QStringLiteral("Document"), this);
    timeline_ = choice("&Planning, une semaine par page", "print_timeline", what);
    calendar_ = choice("&Calendrier, un mois par page", "print_calendar", what);
    report_ = choice("&Suivi des groupes, les retards d'abord", "print_report", what);
    auto* whatLayout = new QVBoxLayout(what);
    for (QRadioButton* b : {timeline_, calendar_, report_}) whatLayout->addWidget(b);

    auto* where = new QGroupBox(QStringLiteral("Vers"), this);
    printer_ = choice("&Imprimante", "print_printer", where);
    pdf_ = choice("Fichier P&DF", "print_pdf", where);
    csv_ = choice("Fichier CS&V (tableur)", "print_csv", where);
    auto* whereLayout = new QVBoxLayout(where);
    for (QRadioButton* b : {printer_, pdf_, csv_}) whereLayout->addWidget(b);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Imprimer"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(what);
    layout->addWidget(where);
    layout->addWidget(buttons);

    (proposed == PrintKind::Calendar ? calendar_ : proposed == PrintKind::Report ? report_ : timeline_)->setChecked(true);
    pdf_->setChecked(true);
    for (QRadioButton* b : {timeline_, calendar_, report_}) connect(b, &QRadioButton::toggled, this, &PrintChoiceDialog::allowCsv);
    allowCsv();
}

void PrintChoiceDialog::allowCsv() {
    // Only the report is a table a spreadsheet can take.
    csv_->setEnabled(report_->isChecked());
    if (!csv_->isEnabled() && csv_->isChecked()) pdf_->setChecked(true);
}

PrintKind PrintChoiceDialog::kind() const {
    return calendar_->isChecked() ? PrintKind::Calendar : report_->isChecked() ? PrintKind::Report : PrintKind::Timeline;
}

PrintOutput PrintChoiceDialog::output() const {
    return printer_->isChecked() ? PrintOutput::Printer : csv_->isChecked() ? PrintOutput::Csv : PrintOutput::Pdf;
}

}  // namespace planning
