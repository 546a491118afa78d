// Platform services for tests: records every message box, cursor change, file choice and
// opened document, and answers from what the test queued beforehand (OK by default).
#pragma once

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "platform/ui_services.h"

namespace testing_support {

class RecordingUi final : public platform::UiServices {
public:
    struct Message {
        QString text;
        platform::MessageIcon icon;
        platform::MessageButtons buttons;
        QStringList choices;  // the answers of a choice question; empty for the other boxes
    };

    int messageBox(const QString& text, platform::MessageIcon icon, platform::MessageButtons buttons) override;
    // Answers from `answers` too (the index of the answer); the first answer when none is queued.
    int askChoice(const QString& text, const QStringList& choices) override;
    void setWaitCursor() override;
    void setArrowCursor() override;
    QString chooseFile(const QString& title, const QString& folder, const QString& filter) override;
    QString chooseSaveFile(const QString& title, const QString& suggested, const QString& filter) override;
    int openDocumentAndWait(const QString& path) override;
    void debugOutput(const QByteArray& text) override;

    void clear();
    QStringList messageTexts() const;
    // The texts of the boxes with the error icon: what went wrong, without the questions.
    QStringList errorTexts() const;

    std::vector<Message> messages;
    std::deque<int> answers;          // the buttons pressed on the next boxes
    std::deque<QString> fileAnswers;  // the files chosen in the next file choosers (open or save)
    QStringList saveTitles;           // the titles of the save choosers shown
    QStringList openedDocuments;
    std::vector<QByteArray> debugLines;  // each piece of debug output
    int waitCursorCalls = 0;
    int arrowCursorCalls = 0;
    bool waitCursorShown = false;
    // Runs when a box is shown, before it is answered (to look at the state at that moment).
    std::function<void(const Message&)> onMessage;
    // Runs when a document is opened (standing for the user working in its application).
    std::function<int(const QString&)> onOpenDocument;
};

// The recorder that the test main installs for the whole run.
RecordingUi& ui();

}  // namespace testing_support
