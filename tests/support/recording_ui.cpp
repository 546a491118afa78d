#include "tests/support/recording_ui.h"

namespace testing_support {

int RecordingUi::messageBox(const QString& text, platform::MessageIcon icon, platform::MessageButtons buttons) {
    messages.push_back({text, icon, buttons});
    if (onMessage) onMessage(messages.back());
    if (answers.empty()) {
        return buttons == platform::MessageButtons::YesNo || buttons == platform::MessageButtons::YesNoCancel
                   ? platform::IDYES
                   : platform::IDOK;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

int RecordingUi::askChoice(const QString& text, const QStringList& choices) {
    messages.push_back({text, platform::MessageIcon::Question, platform::MessageButtons::YesNoCancel, choices});
    if (onMessage) onMessage(messages.back());
    if (answers.empty()) return 0;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

void RecordingUi::setWaitCursor() {
    ++waitCursorCalls;
    waitCursorShown = true;
}

void RecordingUi::setArrowCursor() {
    ++arrowCursorCalls;
    waitCursorShown = false;
}

QString RecordingUi::chooseFile(const QString&, const QString&, const QString&) {
    if (fileAnswers.empty()) return {};
    QString file = fileAnswers.front();
    fileAnswers.pop_front();
    return file;
}

QString RecordingUi::chooseSaveFile(const QString& title, const QString&, const QString& filter) {
    saveTitles << title;
    return chooseFile(title, {}, filter);
}

int RecordingUi::openDocumentAndWait(const QString& path) {
    openedDocuments << path;
    return onOpenDocument ? onOpenDocument(path) : 0;
}

void RecordingUi::debugOutput(const QByteArray& text) { debugLines.push_back(text); }

void RecordingUi::clear() { *this = RecordingUi(); }

QStringList RecordingUi::messageTexts() const {
    QStringList texts;
    for (const auto& m : messages) texts << m.text;
    return texts;
}

QStringList RecordingUi::errorTexts() const {
    QStringList texts;
    for (const auto& m : messages)
        if (m.icon == platform::MessageIcon::Error) texts << m.text;
    return texts;
}

RecordingUi& ui() {
    static RecordingUi recorder;
    return recorder;
}

}  // namespace testing_support
