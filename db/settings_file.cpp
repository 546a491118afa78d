#include "db/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <optional>

#include "db/connections.h"

namespace db {
namespace {

// One key's value and the file it came from (the later file wins).
struct Value {
    QString text;
    QString file;
};
using Values = QMap<QString, Value>;

// QSettings reads "a,b" as a list: a password with a comma comes back whole.
QString textOf(const QVariant& v) {
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(u',');
    return v.toString();
}

QString shown(const QString& file) { return QDir::toNativeSeparators(file); }

// The keys every installation names: the rest has a default.
QStringList missingKeys(const Values& values) {
    QStringList required{QStringLiteral("ticketing/host"), QStringLiteral("ticketing/database"),
                         QStringLiteral("ticketing/user"), QStringLiteral("ticketing/password"),
                         QStringLiteral("programme/host"), QStringLiteral("programme/database")};
    const QString accounts = values.value(QStringLiteral("programme/accounts")).text;
    if (accounts != QLatin1String("server"))
        required << QStringLiteral("programme/user") << QStringLiteral("programme/password");
    QStringList missing;
    for (const QString& key : required)
        if (!values.contains(key)) missing << key;
    return missing;
}

// The same rule as the configuration's (cmake/ConnectionTls.cmake): an unencrypted link only
// to this machine, or the accounts would cross the network readable.
bool localHost(const std::string& host) {
    static const QRegularExpression local(QStringLiteral("^(127\\.[0-9]+\\.[0-9]+\\.[0-9]+|localhost|::1|)$"));
    return local.match(QString::fromStdString(host)).hasMatch();
}

class Reader {
public:
    explicit Reader(const Values& values) : values_(values) {}

    // The refused key, with its file, once a value did not read.
    QString refused;

    void text(const char* key, std::string& into) {
        if (const auto v = find(key)) into = v->text.toStdString();
    }
    void number(const char* key, unsigned& into, unsigned maximum) {
        const auto v = find(key);
        if (!v) return;
        bool ok = false;
        const uint n = v->text.trimmed().toUInt(&ok);
        if (ok && n <= maximum)
            into = n;
        else
            refuse(key, *v);
    }
    void flag(const char* key, bool& into) {
        const auto v = find(key);
        if (!v) return;
        const QString t = v->text.trimmed().toLower();
        if (t == u"true" || t == u"1")
            into = true;
        else if (t == u"false" || t == u"0")
            into = false;
        else
            refuse(key, *v);
    }
    void accounts(const char* key, AccountMode& into) {
        const auto v = find(key);
        if (!v) return;
        if (v->text == u"access")
            into = AccountMode::Access;
        else if (v->text == u"server")
            into = AccountMode::Server;
        else
            refuse(key, *v);
    }
    void requireLocalWithoutTls(const char* section, const ConnectionSettings& s) {
        if (s.tls || localHost(s.host)) return;
        const QString key = QLatin1String(section) + QStringLiteral("/tls");
        refuse(key.toUtf8().constData(),
               values_.value(key, values_.value(QLatin1String(section) + QStringLiteral("/host"))));
    }

private:
    std::optional<Value> find(const char* key) const {
        const auto it = values_.find(QString::fromUtf8(key));
        if (it == values_.end()) return std::nullopt;
        return *it;
    }
    void refuse(const char* key, const Value& v) {
        if (refused.isEmpty())
            refused = QString::fromUtf8(kSettingsInvalidFormat).arg(shown(v.file), QString::fromUtf8(key));
    }
    const Values& values_;
};

}  // namespace

QString installationSettingsFile(const QString& executableDir) {
    return QDir(executableDir).filePath(QString::fromUtf8(kSettingsFileName));
}

QString userSettingsFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(folder).filePath(QStringLiteral("Brelo/") + QString::fromUtf8(kSettingsFileName));
}

QString loadSettingsFiles(const QStringList& files) {
    Values values;
    QStringList read;
    for (const QString& file : files) {
        const QFileInfo info(file);
        if (!info.exists()) continue;
        QFile probe(file);
        if (!info.isFile() || !probe.open(QIODevice::ReadOnly))
            return QString::fromUtf8(kSettingsUnreadableFormat).arg(shown(file));
        probe.close();
        QSettings settings(file, QSettings::IniFormat);
        if (settings.status() != QSettings::NoError)
            return QString::fromUtf8(kSettingsUnreadableFormat).arg(shown(file));
        for (const QString& key : settings.allKeys()) values[key] = {textOf(settings.value(key)), file};
        read << shown(file);
    }
    if (read.isEmpty()) return QString::fromUtf8(kSettingsMissingFormat).arg(shown(files.value(0)));
    if (const QStringList missing = missingKeys(values); !missing.isEmpty())
        return QString::fromUtf8(kSettingsIncompleteFormat)
            .arg(read.join(QStringLiteral(", ")), missing.join(QStringLiteral(", ")));

    ConnectionSettings ticketing = ticketingSettings();
    ConnectionSettings programme = programmeSettings();
    Reader r(values);
    r.text("ticketing/host", ticketing.host);
    r.number("ticketing/port", ticketing.port, 65535);
    r.text("ticketing/database", ticketing.database);
    r.text("ticketing/user", ticketing.user);
    r.text("ticketing/password", ticketing.password);
    r.flag("ticketing/tls", ticketing.tls);
    r.text("ticketing/tls_authority", ticketing.tlsAuthority);
    r.number("ticketing/check_timeout", ticketing.timeout, 3600);
    r.number("ticketing/load_timeout", ticketing.loadTimeout, 3600);
    r.text("programme/host", programme.host);
    r.number("programme/port", programme.port, 65535);
    r.text("programme/database", programme.database);
    r.accounts("programme/accounts", programme.accounts);
    if (programme.accounts == AccountMode::Access) {
        r.text("programme/user", programme.user);
        r.text("programme/password", programme.password);
    } else {
        // The login's account, typed by each member of staff; nothing shared is kept.
        programme.user.clear();
        programme.password.clear();
    }
    r.flag("programme/tls", programme.tls);
    r.text("programme/tls_authority", programme.tlsAuthority);
    r.requireLocalWithoutTls("ticketing", ticketing);
    r.requireLocalWithoutTls("programme", programme);
    if (!r.refused.isEmpty()) return r.refused;
    ticketingSettings() = ticketing;
    programmeSettings() = programme;
    return {};
}

QString loadSettings(const QString& executableDir) {
    return loadSettingsFiles({installationSettingsFile(executableDir), userSettingsFile()});
}

}  // namespace db
