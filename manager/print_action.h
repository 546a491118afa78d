// "Imprimer…": the planning of the range in force (dates and rooms), or its "Suivi" report,
// printed or written to a PDF or CSV file.
#pragma once

class QWidget;
class PlanningPane;

class PrintAction {
public:
    PrintAction(QWidget* window, PlanningPane& pane) : window_(window), pane_(pane) {}
    void run();

private:
    QWidget* window_;
    PlanningPane& pane_;
};
