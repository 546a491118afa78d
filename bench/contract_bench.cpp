// Contract generation without the viewer: a template of 100 kB holding all 34 tokens, filled,
// written into the generated folder and read back, as "Générer et ouvrir" does. The
// substitution alone is also timed on templates of 100 kB, 1 MB and 4 MB, with ordinary
// values and with values made of token-like text and RTF syntax, to show that its cost
// follows the template's size whatever the values hold.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/median_time.h"
#include "contracts/contract_document.h"
#include "platform/ui_services.h"

namespace {

using bench::Clock;
using bench::medianMs;
using bench::verdict;

// An RTF template of about `bytes` bytes: paragraphs of contract text, with every token of
// the key table spread through it (each key several times).
std::string makeTemplate(std::size_t bytes) {
    std::string text = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs22\n";
    std::size_t key = 0;
    while (text.size() < bytes) {
        text +=
            "\\pard\\sa120\\qj La compagnie c\\'e8de \\'e0 l'organisateur le droit de repr\\'e9senter le spectacle, "
            "dans les conditions du pr\\'e9sent contrat : <<<";
        text += contracts::kTokenKeys[key++ % contracts::kTokenKeys.size()].key;
        text += ">>> et {\\b <<<";
        text += contracts::kTokenKeys[key++ % contracts::kTokenKeys.size()].key;
        text += ">>>}.\\par\n";
    }
    text += "}";
    return text;
}

contracts::ContractInfoList makeRows(bool hostile) {
    contracts::ContractInfoList list;
    int n = 0;
    for (const contracts::TokenKey& key : contracts::kTokenKeys) {
        QString value =
            hostile ? QStringLiteral("<<<%1>>> {\\} <<< >>> <<<X\r\n").arg(QString::fromLatin1(key.key)).repeated(4)
                    : QStringLiteral("Valeur n° %1 de la ligne « %2 »").arg(++n).arg(QString::fromUtf8(key.label));
        list.rows.push_back({QString::fromUtf8(key.label), value});
    }
    list.setValue(QString::fromUtf8(contracts::kTokenKeys[2].label), QStringLiteral("Bench_0001_0002_0003"));
    return list;
}

// The figures leave the viewer out: the document counts as opened and closed at once.
class NoViewerUi final : public platform::UnattendedUi {
public:
    int messageBox(const QString& text, platform::MessageIcon, platform::MessageButtons) override {
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
        return platform::IDOK;
    }
    int openDocumentAndWait(const QString&) override { return 0; }
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    NoViewerUi noViewer;
    platform::setUiServices(&noViewer);
    QTemporaryDir root;
    if (!root.isValid()) return 1;
    const QDir dir(root.path());
    for (const char* sub : {"models", "generated", "shared"}) dir.mkpath(QString::fromLatin1(sub));
    const contracts::ContractFolders folders{dir.filePath(QStringLiteral("models")),
                                             dir.filePath(QStringLiteral("generated")),
                                             dir.filePath(QStringLiteral("shared"))};
    const std::string templ = makeTemplate(100 * 1024);
    {
        std::FILE* file =
            std::fopen(QFile::encodeName(QDir(folders.models).filePath(QStringLiteral("bench.rtf"))).constData(), "wb");
        if (!file) return 1;
        std::fwrite(templ.data(), 1, templ.size(), file);
        std::fclose(file);
    }
    const contracts::ContractInfoList rows = makeRows(false);
    const contracts::ContractInfoList hostile = makeRows(true);

    QString rtf;
    if (contracts::generateAndOpen(folders, rows, QStringLiteral("bench.rtf"), rtf) != 0) {
        std::fprintf(stderr, "generation failed\n");
        return 1;
    }
    const std::string filled = contracts::fillTemplate(templ, rows);
    std::size_t tokensLeft = 0;
    for (const contracts::TokenKey& key : contracts::kTokenKeys)
        tokensLeft += filled.find(std::string("<<<") + key.key + ">>>") != std::string::npos;
    std::printf("Template %zu bytes, document %zu bytes, table tokens left: %zu\n", templ.size(), filled.size(),
                tokensLeft);

    const double generate = medianMs(51, [&] {
        QString out;
        contracts::generateAndOpen(folders, rows, QStringLiteral("bench.rtf"), out);
    });
    const double generateOdd = medianMs(51, [&] {
        QString out;
        contracts::generateAndOpen(folders, hostile, QStringLiteral("bench.rtf"), out);
    });
    std::vector<double> plain, odd;
    for (std::size_t kb : {100, 1024, 4096}) {
        const std::string t = makeTemplate(kb * 1024);
        plain.push_back(medianMs(kb > 1000 ? 11 : 31, [&] {
            volatile std::size_t n = contracts::fillTemplate(t, rows).size();
            (void)n;
        }));
        odd.push_back(medianMs(kb > 1000 ? 11 : 31, [&] {
            volatile std::size_t n = contracts::fillTemplate(t, hostile).size();
            (void)n;
        }));
    }

    std::printf("\nFigures (medians)\n");
    std::printf("  generation of a 100 kB template, 34 tokens, written and read back: %.2f ms (target <= 20 ms: %s)\n",
                generate, verdict(generate <= 20.0));
    std::printf("  the same with token-like values holding RTF syntax: %.2f ms (target <= 20 ms: %s)\n", generateOdd,
                verdict(generateOdd <= 20.0));
    std::printf("  substitution, ordinary values:   100 kB %.2f ms, 1 MB %.2f ms, 4 MB %.2f ms\n", plain[0], plain[1],
                plain[2]);
    std::printf("  substitution, token-like values: 100 kB %.2f ms, 1 MB %.2f ms, 4 MB %.2f ms\n", odd[0], odd[1],
                odd[2]);
    const double growth = std::max(plain[2] / plain[1], odd[2] / odd[1]);
    // From 1 to 4 MB (both beyond the processor's caches) linear growth gives 4; a rescan
    // from the start after every replacement would give 16.
    std::printf("  a template four times larger costs %.2f times as much (target: linear, <= 5: %s)\n", growth,
                verdict(growth <= 5.0));
    return 0;
}
