#include "planning/print_choice_dlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <array>
#include <optional>

namespace planning {

namespace {

struct Choice {
    const char* text;  // UTF-8, with its keyboard shortcut
    const char* name;
};

// A titled group of exclusive choices, one under the other.
std::array<QRadioButton*, 3> choiceGroup(const char* title, const std::array<Choice, 3>& choices, QLayout* into,
                                         QWidget* parent) {
    auto* group = new QGroupBox(QString::fromUtf8(title), parent);
    auto* layout = new QVBoxLayout(group);
    std::array<QRadioButton*, 3> buttons{};
    for (std::size_t i = 0; i < choices.size(); ++i) {
        buttons[i] = new QRadioButton(QString::fromUtf8(choices[i].text), group);
        buttons[i]->setObjectName(QString::fromUtf8(choices[i].name));
        layout->addWidget(buttons[i]);
    }
    into->addWidget(group);
    return buttons;
}

struct Chosen {
    PrintKind kind;
    PrintOutput output;
};

// What was printed last, for the next time, as long as the program runs.
std::optional<Chosen>& lastChoice() {
    static std::optional<Chosen> last;
    return last;
}

}  // namespace

PrintChoiceDialog::PrintChoiceDialog(PrintKind proposed, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Imprimer"));
    auto* layout = new QVBoxLayout(this);
    const auto what = choiceGroup("Document",
                                  {{{"&Planning, une semaine par page", "print_timeline"},
                                    {"&Calendrier, un mois par page", "print_calendar"},
                                    {"&Suivi des groupes, les retards d'abord", "print_report"}}},
                                  layout, this);
    timeline_ = what[0];
    calendar_ = what[1];
    report_ = what[2];
    const auto where = choiceGroup(
        "Vers",
        {{{"&Imprimante", "print_printer"}, {"Fichier P&DF", "print_pdf"}, {"Fichier CS&V (tableur)", "print_csv"}}},
        layout, this);
    printer_ = where[0];
    pdf_ = where[1];
    csv_ = where[2];

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Imprimer"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    layout->addWidget(buttons);

    const PrintKind kind = lastChoice() ? lastChoice()->kind : proposed;
    const PrintOutput output = lastChoice() ? lastChoice()->output : PrintOutput::Pdf;
    (kind == PrintKind::Calendar ? calendar_ : kind == PrintKind::Report ? report_ : timeline_)->setChecked(true);
    (output == PrintOutput::Printer ? printer_ : output == PrintOutput::Csv ? csv_ : pdf_)->setChecked(true);
    for (QRadioButton* b : {timeline_, calendar_, report_})
        connect(b, &QRadioButton::toggled, this, &PrintChoiceDialog::allowCsv);
    allowCsv();
}

void PrintChoiceDialog::accept() {
    lastChoice() = Chosen{kind(), output()};
    QDialog::accept();
}

void PrintChoiceDialog::allowCsv() {
    // Only the report is a table a spreadsheet can take.
    csv_->setEnabled(report_->isChecked());
    if (!csv_->isEnabled() && csv_->isChecked()) pdf_->setChecked(true);
}

PrintKind PrintChoiceDialog::kind() const {
    return calendar_->isChecked() ? PrintKind::Calendar
           : report_->isChecked() ? PrintKind::Report
                                  : PrintKind::Timeline;
}

PrintOutput PrintChoiceDialog::output() const {
    return printer_->isChecked() ? PrintOutput::Printer : csv_->isChecked() ? PrintOutput::Csv : PrintOutput::Pdf;
}

}  // namespace planning
