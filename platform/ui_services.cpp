#include "platform/ui_services.h"

#include <QCoreApplication>
#include <cstdio>

namespace platform {
namespace {

class ConsoleUiServices final : public UnattendedUi {
public:
    int messageBox(const QString& text, MessageIcon, MessageButtons buttons) override {
        std::fprintf(stderr, "[message] %s\n", text.toLocal8Bit().constData());
        return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? IDYES : IDOK;
    }
    int askChoice(const QString& text, const QStringList& answers) override {
        std::fprintf(stderr, "[question] %s\n", text.toLocal8Bit().constData());
        return static_cast<int>(answers.size()) - 1;
    }
    void debugOutput(const QByteArray& text) override { std::fputs(text.constData(), stderr); }
};

ConsoleUiServices& consoleServices() {
    static ConsoleUiServices services;
    return services;
}

UiServices* installed = nullptr;

}  // namespace

UiServices& ui() { return installed ? *installed : consoleServices(); }

UiServices* setUiServices(UiServices* services) {
    UiServices* previous = installed;
    installed = services;
    return previous;
}

int showError(const QString& text) { return ui().messageBox(text, MessageIcon::Error, MessageButtons::Ok); }

bool askYesNo(const QString& text) {
    return ui().messageBox(text, MessageIcon::Question, MessageButtons::YesNo) == IDYES;
}

int defaultAnswer(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok: return IDOK;
    case MessageButtons::OkCancel: return IDCANCEL;
    case MessageButtons::YesNo: return IDNO;
    case MessageButtons::YesNoCancel: return IDCANCEL;
    }
    return IDCANCEL;
}

QString executableDir() { return QCoreApplication::applicationDirPath(); }

}  // namespace platform
