// The platform's user-interface services that logic code needs: message boxes, the wait and
// arrow cursors, the file chooser, "open this document and wait", the debug output.
// Logic code calls them through ui(); the program installs the widget implementation at
// start, tests install one that records what was asked and answers from a script.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform {

enum class MessageIcon { Error, Warning, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

// Dialog and message box results, with the numbers the dialog templates use for their buttons.
enum DialogResult : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

inline constexpr const char* kMessageCaption = "Brelo";

class UiServices {
public:
    virtual ~UiServices() = default;
    // Shows a modal message box and returns the button pressed (a DialogResult). A question
    // that may destroy something has the answer that keeps it as its default: "Non" for
    // YesNo, "Annuler" for YesNoCancel (defaultAnswer()).
    virtual int messageBox(const QString& text, MessageIcon icon, MessageButtons buttons) = 0;
    // A question whose answers are the program's own words. The last answer is the one that
    // changes nothing: it is the default button and what Escape or the close box give.
    // Returns the index of the answer chosen.
    virtual int askChoice(const QString& text, const QStringList& answers) = 0;
    virtual void setWaitCursor() = 0;
    virtual void setArrowCursor() = 0;
    // Returns the chosen file's full path, or an empty text when the user cancelled.
    virtual QString chooseFile(const QString& title, const QString& folder, const QString& filter) = 0;
    // The file to write, chosen from `suggested` (a full path); empty when the user cancelled.
    // The system's chooser asks before replacing a file that exists.
    virtual QString chooseSaveFile(const QString& title, const QString& suggested, const QString& filter) = 0;
    // Opens a document in its application and returns when that application has ended;
    // returns 0 when it could be opened, a negative value otherwise.
    virtual int openDocumentAndWait(const QString& path) = 0;
    // One piece of debugger output, as written (no line end added).
    virtual void debugOutput(const QByteArray& text) = 0;
};

// Services for a program nobody sits at (a fuzz target, a bench, a simulated workstation): no
// cursor, no file chosen, no document opened, nothing written; a box answers OK and a question
// its last answer, the one that changes nothing. Derived classes keep what they need to watch.
class UnattendedUi : public UiServices {
public:
    int messageBox(const QString&, MessageIcon, MessageButtons) override { return IDOK; }
    int askChoice(const QString&, const QStringList& answers) override { return static_cast<int>(answers.size()) - 1; }
    void setWaitCursor() override {}
    void setArrowCursor() override {}
    QString chooseFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    int openDocumentAndWait(const QString&) override { return -1; }
    void debugOutput(const QByteArray&) override {}
};

// The services in force: the installed ones, or a console fallback that writes messages to
// the standard error and answers OK (so that logic run without a window never blocks).
UiServices& ui();
// Installs services (nullptr restores the console fallback); returns the previous ones.
UiServices* setUiServices(UiServices* services);

// The common case: an error box with the OK button.
int showError(const QString& text);
// A yes/no question; true only when the user answers "Oui" ("Non" is the default).
bool askYesNo(const QString& text);
// The button a box of these buttons has as its default, and gives for Escape.
int defaultAnswer(MessageButtons buttons);

// Shows the wait cursor for the lifetime of the object, then the arrow cursor.
class WaitCursor {
public:
    WaitCursor() { ui().setWaitCursor(); }
    ~WaitCursor() { ui().setArrowCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The folder holding the executable; the models, survey and generated folders are found there.
QString executableDir();

}  // namespace platform
