// Where the two connections' settings come from: a settings file beside the executable for the
// installation (brelo.ini), which a file of the same name in the user's own settings folder may
// override key by key, so that an office that moves its server, or a workstation pointing at
// another one, edits a file instead of rebuilding. The compiled values are the defaults of the
// keys that neither file gives; no password is compiled in. Read once at start, before any
// connection and any worker thread.
//
//   [ticketing]                      [programme]
//   host=billetterie.example         host=programme.example
//   port=35427                       port=3306
//   database=billetterie             database=programme
//   user=lecture                     accounts=access        (or server)
//   password=...                     user=brelo             (access only)
//   tls=true                         password=...           (access only)
//   tls_authority=tls/ca.pem         tls=true
//   check_timeout=5                  tls_authority=tls/ca.pem
//   load_timeout=30
#pragma once

#include <QString>
#include <QStringList>

namespace db {

inline constexpr const char* kSettingsFileName = "brelo.ini";

// The installation's file, beside the executable.
QString installationSettingsFile(const QString& executableDir);
// The user's own file, which overrides the installation's (the user's configuration folder,
// "Brelo" in it).
QString userSettingsFile();

// The messages of a file the program cannot start with, each naming it.
inline constexpr const char* kSettingsMissingFormat = "Fichier de réglages introuvable : %1";
inline constexpr const char* kSettingsUnreadableFormat = "Fichier de réglages illisible : %1";
inline constexpr const char* kSettingsIncompleteFormat = "Fichier de réglages incomplet : %1 (il manque %2)";
inline constexpr const char* kSettingsInvalidFormat = "Fichier de réglages %1 : valeur refusée pour %2";

// Reads the files given, the later overriding the earlier (a file that does not exist is
// skipped, as long as one exists), into the two connections' settings. Returns the message to
// show, naming the file, or nothing; on a message the settings are left as they were.
QString loadSettingsFiles(const QStringList& files);
// The installation's file and the user's.
QString loadSettings(const QString& executableDir);

}  // namespace db
