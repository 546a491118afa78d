#include "manager/print_action.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrinter>

#include "followup/followup_report.h"
#include "manager/planning_pane.h"
#include "planning/planning_print.h"
#include "planning/print_choice_dlg.h"
#include "platform/csv.h"
#include "platform/ui_services.h"

namespace {

constexpr const char* kSavePdfTitle = "Enregistrer en PDF";
constexpr const char* kSaveCsvTitle = "Enregistrer le suivi pour un tableur";
constexpr const char* kPdfFilter = "Fichier PDF (*.pdf)";
constexpr const char* kCsvFilter = "Fichier CSV (*.csv)";
constexpr const char* kWriteFailed = "Impossible d'écrire le fichier %1 : %2";
constexpr const char* kPrintFailed = "Impossible d'imprimer : l'imprimante n'est pas disponible.";

}  // namespace

void PrintAction::run() {
    planning::PrintChoiceDialog choice(
        pane_.calendarShown() ? planning::PrintKind::Calendar : planning::PrintKind::Timeline, window_);
    if (choice.exec() != QDialog::Accepted) return;
    pane_.readPickers();
    const planning::PlanningView view = pane_.view();
    const platform::DateTime now = platform::DateTime::now();
    const planning::PrintKind kind = choice.kind();

    if (choice.output() == planning::PrintOutput::Printer) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageOrientation(QPageLayout::Landscape);
        QPrintDialog dialog(&printer, window_);
        if (dialog.exec() != QDialog::Accepted) return;
        platform::WaitCursor wait;
        if (planning::printDocument(printer, kind, view, now) < 0) platform::showError(QString::fromUtf8(kPrintFailed));
        return;
    }

    const bool csv = choice.output() == planning::PrintOutput::Csv;
    const QString suggested = QDir(QDir::homePath()).filePath(planning::suggestedFileName(kind, csv, view.from));
    const QString path = platform::ui().chooseSaveFile(QString::fromUtf8(csv ? kSaveCsvTitle : kSavePdfTitle),
                                                       suggested, QString::fromUtf8(csv ? kCsvFilter : kPdfFilter));
    if (path.isEmpty()) return;
    QString failure;
    {
        platform::WaitCursor wait;
        failure = csv ? platform::writeCsvFile(path, followup::followUpReportLines(followup::followUpReport(
                                                         planning::visibleTimeslots(view), now)))
                      : planning::writePdf(path, kind, view, now);
    }
    if (!failure.isEmpty())
        platform::showError(QString::fromUtf8(kWriteFailed).arg(QDir::toNativeSeparators(path), failure));
}
