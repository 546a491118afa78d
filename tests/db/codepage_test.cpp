#include <gtest/gtest.h>

#include "db/codepage.h"

namespace {

TEST(CodePage, FrenchLettersAndEuroBothWays) {
    const QString text = QStringLiteral("été € œuvre Œ “guillemets” … Ÿ");
    const std::string ansi = db::toAnsi(text);
    EXPECT_EQ(ansi, "\xE9t\xE9 \x80 \x9Cuvre \x8C \x93guillemets\x94 \x85 \x9F");
    EXPECT_EQ(db::fromAnsi(ansi), text);
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    // A Greek letter, a CJK character and a character outside the basic plane (a surrogate
    // pair): one "?" each, never the substitution byte 0x1A.
    const QString text = QString::fromUtf8(
        "a\xCE\xB1"
        "b\xE4\xB8\xAD"
        "c\xF0\x9F\x98\x80"
        "d");
    EXPECT_EQ(db::toAnsi(text), "a?b?c?d");
}

TEST(CodePage, EveryByteReadsAndTheUndefinedOnesComeBack) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    const QString wide = db::fromAnsi(all);
    ASSERT_EQ(wide.size(), 255);
    EXPECT_EQ(wide[0x80 - 1], QChar(0x20AC));
    EXPECT_EQ(wide[0x81 - 1], QChar(0x0081));
    EXPECT_EQ(db::toAnsi(wide), all);
    EXPECT_EQ(db::fromAnsi(static_cast<const char*>(nullptr)), QString());
}

}  // namespace
