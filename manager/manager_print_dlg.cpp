// "Imprimer…": the planning of the range in force (dates and rooms), or its "Suivi" report,
// printed or written to a PDF or CSV file.
#include "manager/manager_dlg.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrinter>

#include "platform/csv.h"
#include "platform/ui_services.h"
#include "planning/followup_report.h"
#include "planning/planning_print.h"
#include "planning/print_choice_dlg.h"

namespace {

constexpr const char* kSavePdfTitle = "Enregistrer en PDF";
constexpr const char* kSaveCsvTitle = "Enregistrer le suivi pour un tableur";
constexpr const char* kPdfFilter = "Fichier PDF (*.pdf)";
constexpr const char* kCsvFilter = "Fichier CSV (*.csv)";
constexpr const char* kWriteFailed = "Impossible d'écrire le fichier %1 : %2";
constexpr const char* kPrintFailed = "Impossible d'imprimer : l'imprimante n'est pas disponible.";

}  // namespace

void manager::OnPrint(const dlg::Notification&) {
    planning::PrintChoiceDialog choice(isChecked(kCalendar) ? planning::PrintKind::Calendar
                                                            : planning::PrintKind::Timeline,
                                       this);
    if (choice.exec() != QDialog::Accepted) return;
    readPickers();
    const planning::PlanningView view = planningView();
    const platform::DateTime now = platform::DateTime::now();
    const planning::PrintKind kind = choice.kind();

    if (choice.output() == planning::PrintOutput::Printer) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageOrientation(QPageLayout::Landscape);
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() != QDialog::Accepted) return;
        platform::WaitCursor wait;
        if (planning::printDocument(printer, kind, view, now) < 0) platform::showError(QString::fromUtf8(kPrintFailed));
        return;
    }

    const bool csv = choice.output() == planning::PrintOutput::Csv;
    const QString suggested = QDir(QDir::homePath()).filePath(planning::suggestedFileName(kind, csv, view.from));
    const QString path = platform::ui().chooseSaveFile(QString::fromUtf8(csv ? kSaveCsvTitle : kSavePdfTitle), suggested,
                                                       QString::fromUtf8(csv ? kCsvFilter : kPdfFilter));
    if (path.isEmpty()) return;
    QString failure;
    {
        platform::WaitCursor wait;
        failure = csv ? platform::writeCsvFile(path, planning::followUpReportLines(planning::followUpReport(view, now)))
                      : planning::writePdf(path, kind, view, now);
    }
    if (!failure.isEmpty()) platform::showError(QString::fromUtf8(kWriteFailed).arg(QDir::toNativeSeparators(path), failure));
}
