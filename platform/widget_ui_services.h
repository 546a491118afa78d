// The platform services for the running program, with Qt's message boxes, cursors, file
// dialog and the desktop's document opening.
#pragma once

#include "platform/ui_services.h"

namespace platform {

class WidgetUiServices final : public UiServices {
public:
    int messageBox(const QString& text, MessageIcon icon, MessageButtons buttons) override;
    int askChoice(const QString& text, const QStringList& answers) override;
    void setWaitCursor() override;
    void setArrowCursor() override;
    QString chooseFile(const QString& title, const QString& folder, const QString& filter) override;
    QString chooseSaveFile(const QString& title, const QString& suggested, const QString& filter) override;
    int openDocumentAndWait(const QString& path) override;
    void debugOutput(const QByteArray& text) override;
};

}  // namespace platform
