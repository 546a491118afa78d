// Files written by hand in an editor: lines whole, blank lines left out, the encoding the
// editor saved them in; and the test that tells UTF-8 from Windows-1252.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "platform/text_file.h"
#include "tests/support/files.h"

namespace {

using platform::TextEncoding;

QByteArray bytesOfLines(const platform::TextLines& text, std::vector<int>* numbers) {
    QByteArray joined;
    for (const platform::TextLine& line : text.lines) {
        joined += line.bytes + '|';
        numbers->push_back(line.number);
    }
    return joined;
}

TEST(TextLines, EachLineWholeInTheEncodingOfItsEditor) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QByteArray bom("\xEF\xBB\xBF");
    const QByteArray of1022(1022, 'a'), of5000(5000, 'b');
    const struct {
        const char* name;
        QByteArray file;
        QByteArray lines;  // each followed by "|"
        std::vector<int> numbers;
        TextEncoding encoding;
    } cases[] = {
        {"CR LF", "A\r\nB\r\n", "A|B|", {1, 2}, TextEncoding::Windows1252},
        {"LF", "A\nB\n", "A|B|", {1, 2}, TextEncoding::Windows1252},
        {"last line without a break", "A\r\nB", "A|B|", {1, 2}, TextEncoding::Windows1252},
        {"blank middle lines", "A\r\n\r\n \t\r\n\nB\n", "A|B|", {1, 5}, TextEncoding::Windows1252},
        {"blank first and last lines", "\r\nA\r\n\r\n", "A|", {2}, TextEncoding::Windows1252},
        {"spaces inside a line stay", " A b \r\n", " A b |", {1}, TextEncoding::Windows1252},
        {"a line of 1022 bytes", of1022 + "\r\nZ\r\n", of1022 + "|Z|", {1, 2}, TextEncoding::Windows1252},
        {"a line of 5000 bytes", of5000 + "\nZ", of5000 + "|Z|", {1, 2}, TextEncoding::Windows1252},
        {"Windows-1252", "R\xe8glement 1\r\n", "R\xe8glement 1|", {1}, TextEncoding::Windows1252},
        {"UTF-8", "R\xc3\xa8glement 1\r\nStat", "R\xc3\xa8glement 1|Stat|", {1, 2}, TextEncoding::Utf8},
        {"UTF-8 with LF", "Stat\nR\xc3\xa8glement 1\n", "Stat|R\xc3\xa8glement 1|", {1, 2}, TextEncoding::Utf8},
        {"UTF-8 with its mark", bom + "R\xc3\xa8glement 1\r\n", "R\xc3\xa8glement 1|", {1}, TextEncoding::Utf8},
        // The mark alone says UTF-8, even over plain ASCII; it is never part of the first line.
        {"the mark over ASCII", bom + "A\r\nB", "A|B|", {1, 2}, TextEncoding::Utf8},
        {"plain ASCII", "Stat\r\n", "Stat|", {1}, TextEncoding::Windows1252},
        // One Windows-1252 letter after UTF-8 ones: the file is not UTF-8.
        {"mixed",
         "R\xc3\xa8glement\r\nd\xe9j\xe0\r\n",
         "R\xc3\xa8glement|d\xe9j\xe0|",
         {1, 2},
         TextEncoding::Windows1252},
        {"empty", "", "", {}, TextEncoding::Windows1252},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = QDir(folder.path()).filePath(QString::fromUtf8(c.name) + QStringLiteral(".txt"));
        testing_support::writeFile(path, c.file);
        const platform::TextLines text = platform::readTextLines(path);
        EXPECT_TRUE(text.opened);
        std::vector<int> numbers;
        EXPECT_EQ(bytesOfLines(text, &numbers), c.lines);
        EXPECT_EQ(numbers, c.numbers);
        EXPECT_EQ(text.encoding, c.encoding);
    }
    const platform::TextLines absent =
        platform::readTextLines(QDir(folder.path()).filePath(QStringLiteral("absent.txt")));
    EXPECT_FALSE(absent.opened);
    EXPECT_TRUE(absent.lines.empty());
}

TEST(TextLines, Utf8IsValidAndHoldsAMultiByteCharacter) {
    const struct {
        const char* name;
        QByteArray bytes;
        bool utf8;
    } cases[] = {
        {"two bytes", "\xc3\xa8", true},
        {"three bytes", "\xe2\x82\xac", true},
        {"four bytes", "\xf0\x9d\x84\x9e", true},
        {"last code point", "\xf4\x8f\xbf\xbf", true},
        {"plain ASCII", "Stat", false},
        {"nothing", "", false},
        {"Windows-1252 letter", "d\xe9j\xe0", false},
        {"Windows-1252 looking like a lead byte", "\xc3 a", false},
        {"lone continuation byte", "\xa9", false},
        {"overlong two bytes", "\xc0\xaf", false},
        {"overlong three bytes", "\xe0\x80\xaf", false},
        {"overlong four bytes", "\xf0\x80\x80\xaf", false},
        {"surrogate", "\xed\xa0\x80", false},
        {"past U+10FFFF", "\xf4\x90\x80\x80", false},
        {"cut short at the end", "ok \xe2\x82", false},
        {"cut short by ASCII", "\xe2\x82 ", false},
        {"byte never in UTF-8", "\xff", false},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::isMultiByteUtf8(c.bytes), c.utf8) << c.name;
}

}  // namespace
