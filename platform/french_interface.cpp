#include "platform/french_interface.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "platform/ui_services.h"

namespace platform {

namespace {
constexpr const char* kQtTranslation = "qtbase";
constexpr const char* kTranslationsFolder = "translations";
}  // namespace

QStringList translationFolders() {
    return {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
            QDir(executableDir()).filePath(QString::fromUtf8(kTranslationsFolder))};
}

bool installFrenchInterface(QCoreApplication& application) {
    const QLocale french(QLocale::French, QLocale::France);
    QLocale::setDefault(french);
    // Owned by the application: a translator lives as long as the texts it translates.
    auto* translator = new QTranslator(&application);
    for (const QString& folder : translationFolders()) {
        if (translator->load(french, QString::fromUtf8(kQtTranslation), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
    }
    delete translator;
    return false;
}

}  // namespace platform
