#include "platform/file_name.h"

#include <QStringList>

#include "platform/utf8.h"

namespace platform {

QString fileNameProblem(const QString& name, const QString& what) {
    const auto refused = [&](const char* reason) {
        return QStringLiteral("%1 « %2 » ne peut pas servir de nom de fichier : %3.").arg(what, name, u8(reason));
    };
    if (name.isEmpty()) return QStringLiteral("%1 est vide : il faut un nom pour le fichier.").arg(what);
    if (name == u'.' || name == QStringLiteral("..")) return refused("« . » et « .. » désignent des dossiers");
    for (QChar c : name) {
        if (c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c))
            return refused("les caractères \\ / : * ? \" < > | et les caractères de contrôle y sont interdits");
    }
    if (name.endsWith(u'.') || name.endsWith(u' '))
        return refused("un nom de fichier ne finit ni par un point ni par une espace");
    const QString stem = name.section(u'.', 0, 0).toUpper();
    static const QStringList kReserved = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                          QStringLiteral("NUL")};
    const bool numberedDevice = stem.size() == 4 &&
                                (stem.startsWith(QStringLiteral("COM")) || stem.startsWith(QStringLiteral("LPT"))) &&
                                stem[3] >= u'1' && stem[3] <= u'9';
    if (kReserved.contains(stem) || numberedDevice) return refused("c'est le nom d'un périphérique du système");
    return QString();
}

}  // namespace platform
