#include "dialog/text_fit.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTreeWidget>

namespace dlg {

namespace {

int textWidth(const QWidget* w, const QString& text) { return QFontMetrics(w->font()).horizontalAdvance(text); }

void check(std::vector<CutText>& cut, const QString& control, const QString& text, int needed, int available) {
    if (!text.isEmpty() && needed > available) cut.push_back({control, text, needed, available});
}

int buttonRoom(const QAbstractButton* button, QStyle::SubElement contents) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.rect = QRect(QPoint(0, 0), button->size());
    option.text = button->text();
    return button->style()->subElementRect(contents, &option, button).width();
}

}  // namespace

int headerWidthFor(const QWidget* list, const QString& heading) {
    const int margin = list->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, list);
    return textWidth(list, heading) + 2 * margin + 2;
}

std::vector<CutText> cutTexts(const QWidget* window) {
    std::vector<CutText> cut;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            const QFontMetrics fm(label->font());
            check(cut, name, label->text(), fm.horizontalAdvance(label->text()), label->contentsRect().width());
            check(cut, name, label->text(), fm.height(), label->contentsRect().height());
        } else if (const auto* box = qobject_cast<const QCheckBox*>(w)) {
            check(cut, name, box->text(), textWidth(box, box->text()), buttonRoom(box, QStyle::SE_CheckBoxContents));
        } else if (const auto* button = qobject_cast<const QPushButton*>(w)) {
            // A push button's text sits inside its frame, with the style's margin each side.
            const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
            check(cut, name, button->text(), textWidth(button, button->text()),
                  buttonRoom(button, QStyle::SE_PushButtonContents) - margin);
        } else if (const auto* list = qobject_cast<const QTreeWidget*>(w)) {
            const QTreeWidgetItem* headings = list->headerItem();
            for (int column = 0; column < list->columnCount(); ++column) {
                const QString heading = headings->text(column);
                check(cut, name + QStringLiteral(" column %1").arg(column), heading, headerWidthFor(list, heading),
                      list->header()->sectionSize(column));
            }
        }
    }
    return cut;
}

}  // namespace dlg
