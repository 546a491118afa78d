// Whether a window shows its texts whole: every label, button, check box and list column
// header measured with its own font against the room its control leaves for text.
#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace dlg {

struct CutText {
    QString control;  // the control's object name, and the column for a header
    QString text;
    int needed = 0;     // pixels the text takes
    int available = 0;  // pixels the control leaves for it
};

// Every text of the window's controls that does not fit, hidden controls included (they
// show later with the same text).
std::vector<CutText> cutTexts(const QWidget* window);

// The room a list column header needs to show its text whole.
int headerWidthFor(const QWidget* list, const QString& heading);

}  // namespace dlg
