// The wildcard matching of file names, on its own.
#include "platform/file_system.h"

#include <gtest/gtest.h>

namespace {

using platform::Wildcard;

struct Case {
    const char* pattern;
    const char* name;
    bool matches;
};

void ExpectAll(const std::vector<Case>& cases)
{
    for (const Case& c : cases)
        EXPECT_EQ(Wildcard(QString::fromUtf8(c.pattern)).matches(QString::fromUtf8(c.name)), c.matches)
            << '"' << c.pattern << "\" on \"" << c.name << '"';
}

TEST(Wildcard, StarAndQuestionMarkIgnoringLetterCase)
{
    ExpectAll({
        {"*.ods", "X.ODS", true},
        {"*.ODS", "book.ods", true},
        {"*.ods", ".ods", true},
        {"*.ods", "book.ods.bak", false},
        {"*.ods", "book.odsx", false},
        {"*.ÄDS", "straße.äds", true},
        {"a*b*c", "aXbYbZc", true},  // a later "b" after a false start
        {"a*b*c", "aXbYbZ", false},
        {"?.ods", "a.ods", true},
        {"?.ods", "ab.ods", false},
        {"?.ods", ".ods", false},
        {"*", "anything at all", true},
    });
}

TEST(Wildcard, APatternEndingWithDotStarAlsoTakesNamesWithoutADot)
{
    ExpectAll({
        {"*.*", "README", true},
        {"*.*", "book.ods", true},
        {"book.*", "book", true},
        {"book.*", "BOOK.xls", true},
        {"book.*", "bookcase", false},
        {"*.ods", "ods", false},
    });
}

TEST(Wildcard, EveryOtherCharacterStandsForItself)
{
    ExpectAll({
        {"*.o[ds", "x.o[ds", true},  // no character class, and no broken one either
        {"[ab].ods", "a.ods", false},
        {"[ab].ods", "[AB].ods", true},
        {"*.ods]", "x.ods]", true},
        {"a+b(1).ods", "A+B(1).ods", true},
        {"a\\b.ods", "a\\b.ods", true},
        {"^$.ods", "^$.ods", true},
    });
}

}  // namespace
