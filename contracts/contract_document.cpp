#include "contracts/contract_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>

#include "db/codepage.h"
#include "platform/file_name.h"
#include "platform/ui_services.h"
#include "platform/utf8.h"
#include "programme/programme_data.h"

#ifndef BRELO_SHARED_FOLDER
#define BRELO_SHARED_FOLDER "~/gd/generated"
#endif

namespace contracts {

const std::array<TokenKey, 34> kTokenKeys = {{
    {"CRE", "Créneau(x)"},
    {"SPECTACLE", "Spectacle"},
    {"NUM", "Numéro de contrat"},
    {"CREATED", "Créé par"},
    {"VERIFIED", "Vérifié par"},
    {"COMPAGNIE", "Compagnie"},
    {"REPR", "Représentant légal"},
    {"SIRET", "Siret"},
    {"LICENCE", "Numéro de licence"},
    {"ADR1", "Adresse1"},
    {"ADR2", "Adresse2"},
    {"ADR3", "Adresse3"},
    {"CP", "Code postal"},
    {"VILLE", "Ville"},
    {"PAYS", "Pays"},
    {"TEL", "Téléphone"},
    {"EMAIL", "Email"},
    {"AUTEUR", "Auteur"},
    {"DMIN", "Durée en minutes"},
    {"SALLE", "Salle"},
    {"HEURE", "Heure du créneau (début spectacle)"},
    {"HSTART", "Heure de début (accès à la salle)"},
    {"HEND", "Heure de fin (libération de la salle)"},
    {"PRIX", "Prix (TTC)"},
    {"FT", "Forfait frais payés par KQ à la compagnie en euros TTC"},
    {"MAXDR", "Date de retour du contrat avant nullité"},
    {"MAXPER", "Contenance salle"},
    {"CB", "Montant de chacun des 5 chèques"},
    {"CD1", "Date encaissement du chèque numéro 1"},
    {"CD2", "Date encaissement du chèque numéro 2"},
    {"CD3", "Date encaissement du chèque numéro 3"},
    {"CD4", "Date encaissement du chèque numéro 4"},
    {"CD5", "Date encaissement du chèque numéro 5"},
    {"DC", "Date de signature du contrat"},
}};

namespace {

using platform::u8;

constexpr qint64 kCopyChunkBytes = 1 << 20;

// A file opened with the C library, wide paths included, closed on every path out.
struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file) std::fclose(file);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File openFile(const QString& path, const char* mode) {
#ifdef _WIN32
    return File(
        _wfopen(reinterpret_cast<const wchar_t*>(path.utf16()), QString::fromLatin1(mode).toStdWString().c_str()));
#else
    return File(std::fopen(QFile::encodeName(path).constData(), mode));
#endif
}

enum class ReadResult { Ok, NoMemory, Incomplete };

// The whole file in one read, in a buffer one byte longer than the file, set to zero.
ReadResult readWhole(std::FILE* file, std::string& bytes, bool emptyIsIncomplete) {
    if (std::fseek(file, 0, SEEK_END) != 0) return ReadResult::Incomplete;
    const long length = std::ftell(file);
    if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) return ReadResult::Incomplete;
    try {
        bytes.assign(static_cast<std::size_t>(length) + 1, '\0');
    } catch (const std::bad_alloc&) {
        return ReadResult::NoMemory;
    } catch (const std::length_error&) {
        return ReadResult::NoMemory;
    }
    const std::size_t read = std::fread(bytes.data(), 1, static_cast<std::size_t>(length), file);
    if (read != static_cast<std::size_t>(length) || (emptyIsIncomplete && length == 0)) return ReadResult::Incomplete;
    bytes.resize(static_cast<std::size_t>(length));
    return ReadResult::Ok;
}

// Every failure shows one error box and gives -1.
int fail(const QString& message) {
    platform::showError(message);
    return -1;
}

// The copy is written under a passing name beside the destination and takes the
// destination's name in one step once complete, so that the shared drive never holds half a
// document, nor loses its last good copy when the copy or the replacement fails.
bool copyReplacingWhole(const QString& source, const QString& destination) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) return false;
    QSaveFile out(destination);
    // Never write into the destination itself, even where the passing file cannot be made.
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly)) return false;
    QByteArray chunk;
    while (!(chunk = in.read(kCopyChunkBytes)).isEmpty()) {
        if (out.write(chunk) != chunk.size()) return false;
    }
    if (in.error() != QFileDevice::NoError) return false;
    return out.commit();
}

QString pathProblem(const QString& path) {
    if (path.size() < kMaxPath) return QString();
    return u8(kPathTooLong).arg(QDir::toNativeSeparators(path));
}

void appendUnicodeEscapes(std::string& out, QStringView units) {
    // In a group of its own, so that the one-character fallback count holds whatever the
    // template set around the value.
    out += "{\\uc1";
    for (QChar unit : units) {
        out += "\\u";
        out += std::to_string(static_cast<int16_t>(unit.unicode()));
        out += '?';
    }
    out += '}';
}

}  // namespace

QString sharedFolder() {
    QString folder = QString::fromUtf8(BRELO_SHARED_FOLDER);
    if (folder == u'~' || folder.startsWith(QStringLiteral("~/"))) folder = QDir::homePath() + folder.mid(1);
    return QDir::cleanPath(folder);
}

ContractFolders defaultFolders() {
    const QDir dir(platform::executableDir());
    return {dir.filePath(QStringLiteral("models")), dir.filePath(QStringLiteral("generated")), sharedFolder()};
}

std::string rtfText(const QString& value) {
    std::string out;
    out.reserve(static_cast<std::size_t>(value.size()) + 8);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        switch (c) {
        case u'\\': out += "\\\\"; continue;
        case u'{': out += "\\{"; continue;
        case u'}': out += "\\}"; continue;
        case u'\t': out += "\\tab "; continue;
        case u'\r':
            if (i + 1 < value.size() && value[i + 1] == u'\n') ++i;
            out += "\\par ";
            continue;
        case u'\n': out += "\\par "; continue;
        default: break;
        }
        // Other control characters carry no text and would only confuse a reader.
        if (c < 0x20) continue;
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        const qsizetype units =
            QChar::isHighSurrogate(c) && i + 1 < value.size() && value[i + 1].isLowSurrogate() ? 2 : 1;
        const QStringView character = QStringView(value).mid(i, units);
        const std::string ansi = db::toAnsi(character.toString());
        if (units == 1 && ansi.size() == 1 && ansi[0] != '?')
            out += ansi;
        else
            appendUnicodeEscapes(out, character);
        i += units - 1;
    }
    return out;
}

std::string fillTemplate(std::string_view templateBytes, const ContractInfoList& list, bool* tooLarge,
                         std::size_t maxBytes) {
    if (tooLarge) *tooLarge = false;
    const std::size_t zero = templateBytes.find('\0');
    std::string text(templateBytes.substr(0, zero));
    std::string next;
    for (const TokenKey& key : kTokenKeys) {
        const std::string token = std::string("<<<") + key.key + ">>>";
        std::size_t found = text.find(token);
        if (found == std::string::npos) continue;
        const std::string value = rtfText(list.value(u8(key.label)));
        if (value.size() > token.size()) {
            std::size_t count = 0;
            for (std::size_t at = found; at != std::string::npos; at = text.find(token, at + token.size())) ++count;
            const std::size_t room = text.size() < maxBytes ? maxBytes - text.size() : 0;
            if (room / (value.size() - token.size()) < count) {
                if (tooLarge) *tooLarge = true;
                return std::string();
            }
        }
        next.clear();
        next.reserve(text.size() + value.size());
        std::size_t from = 0;
        while (found != std::string::npos) {
            next.append(text, from, found - from);
            next += value;
            from = found + token.size();
            found = text.find(token, from);
        }
        next.append(text, from, std::string::npos);
        text.swap(next);
    }
    return text;
}

QString generationCheckMessage(const ContractInfoList& list) {
    const auto price = list.find(labels::kPrice);
    if (price && price->isEmpty()) return u8(kPriceMissing);
    const auto fee = list.find(labels::kFee);
    if (fee && fee->isEmpty()) return u8(kFeeMissing);
    return QString();
}

QString documentName(const ContractInfoList& list) { return db::fromAnsi(db::toAnsi(list.value(labels::kNumber))); }

QString numberTakenProblem(const ContractInfoList& list, const QString& ownNumber) {
    const QString mine = documentName(list);
    if (mine.isEmpty() || mine.compare(db::fromAnsi(db::toAnsi(ownNumber)), Qt::CaseInsensitive) == 0) return {};
    for (const programme::Contract& contract : programme::contracts()) {
        const QString theirs = db::fromAnsi(db::toAnsi(valueInExtra(contract.extra, labels::kNumber)));
        if (theirs.compare(mine, Qt::CaseInsensitive) == 0) return u8(kNumberTakenFormat).arg(mine);
    }
    return {};
}

int generateAndOpen(const ContractFolders& folders, const ContractInfoList& list, const QString& templateName,
                    QString& rtf) {
    if (const QString message = generationCheckMessage(list); !message.isEmpty()) return fail(message);
    platform::WaitCursor wait;

    if (const QString problem = platform::fileNameProblem(templateName, QStringLiteral("Le modèle de contrat"));
        !problem.isEmpty())
        return fail(problem);
    const QString templatePath = QDir(folders.models).filePath(templateName);
    if (const QString problem = pathProblem(templatePath); !problem.isEmpty()) return fail(problem);
    std::string templateBytes;
    {
        errno = 0;
        const File file = openFile(templatePath, "rb");
        if (!file) {
            const int code = errno;
            return fail(QString::asprintf(kTemplateOpenFailed, code,
                                          QDir::toNativeSeparators(templatePath).toUtf8().constData()));
        }
        switch (readWhole(file.get(), templateBytes, true)) {
        case ReadResult::Ok: break;
        case ReadResult::NoMemory: return fail(u8(kOutOfMemory));
        case ReadResult::Incomplete: return fail(u8(kTemplateReadFailed));
        }
    }
    bool tooLarge = false;
    const std::string document = fillTemplate(templateBytes, list, &tooLarge);
    if (tooLarge) return fail(u8(kDocumentTooLarge));

    const QString name = documentName(list);
    if (const QString problem = platform::fileNameProblem(name, QStringLiteral("Le numéro de contrat"));
        !problem.isEmpty())
        return fail(problem);
    const QString documentPath = QDir(folders.generated).filePath(name + QStringLiteral(".rtf"));
    if (const QString problem = pathProblem(documentPath); !problem.isEmpty()) return fail(problem);
    {
        File file = openFile(documentPath, "wb");
        if (!file) return fail(u8(kCreateFailed));
        const std::size_t written = std::fwrite(document.data(), 1, document.size(), file.get());
        const bool closed = std::fclose(file.release()) == 0;
        if (written != document.size() || document.empty() || !closed) return fail(u8(kWriteFailed));
    }

    // A document nothing could open is still the contract: the user needs to learn where it
    // is to open it by other means, and the generation goes on.
    if (platform::ui().openDocumentAndWait(documentPath) < 0) {
        platform::ui().messageBox(
            u8(kDocumentNotOpened).arg(QDir::toNativeSeparators(QFileInfo(documentPath).absoluteFilePath())),
            platform::MessageIcon::Warning, platform::MessageButtons::Ok);
    }

    {
        const File file = openFile(documentPath, "rb");
        if (!file) return fail(u8(kGeneratedOpenFailed));
        std::string readBack;
        switch (readWhole(file.get(), readBack, false)) {
        case ReadResult::Ok: break;
        case ReadResult::NoMemory: return fail(u8(kOutOfMemory));
        case ReadResult::Incomplete: return fail(u8(kGeneratedReadFailed));
        }
    }
    rtf = db::fromAnsi(db::toAnsi(templateName));
    return 0;
}

int copyToShared(const ContractFolders& folders, const ContractInfoList& list) {
    const QString name = documentName(list);
    // A number that cannot name a file in its folder was refused at generation: there is
    // nothing of that name to copy.
    if (!platform::fileNameProblem(name, QString()).isEmpty()) return fail(u8(kCopyFailed));
    const QString fileName = name + QStringLiteral(".rtf");
    const QString source = QDir(folders.generated).filePath(fileName);
    const QString destination = QDir(folders.shared).filePath(fileName);
    const bool copied = pathProblem(destination).isEmpty() && copyReplacingWhole(source, destination);
    if (!copied) return fail(u8(kCopyFailed));
    return 0;
}

}  // namespace contracts
