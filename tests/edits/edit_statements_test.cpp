// The statements of the edit handlers: the system's texts, with values escaped and ids
// written in the formats the stored rows hold.
#include <gtest/gtest.h>

#include "db/connections.h"
#include "db/sql_text.h"
#include "edits/edit_statements.h"
#include "tests/support/text.h"

namespace {

TEST(EditStatements, TextsFormatsAndEscaping) {
    db::closeProgramme();  // the connection-less escaping gives the same bytes for latin1
    const planning::SlotEntry morning{5, 7, 2019, 9, 5, 10, 0};
    const planning::SlotEntry invalid{-1, -1, -1, -1, -1, -1, -1};
    const std::pair<std::string, std::string> cases[] = {
        {edits::addCompanyStatement(3, q("Le \"Petit\""), q("l'a@b"), q("x\\y"), q("")),
         "INSERT INTO `comp` (`id`, `nom`, `email`, `contact1`, `contact2`) VALUES (\"3\", \"Le \\\"Petit\\\"\", "
         "\"l\\'a@b\", \"x\\\\y\", \"\")"},
        {edits::addPlaceholderShowStatement(7, q("Été"), 3),
         "INSERT INTO `showname` (`id`, `name`, `comp`) VALUES (\"7\", \"<spectacle \xE0 d\xE9"
         "finir (compagnie \xC9t\xE9)>\", \"3\")"},
        {edits::addShowStatement(4, q("Solo"), -1),
         "INSERT INTO `showname` (`id`, `name`, `comp`, `deleted`) VALUES (\"4\", \"Solo\", \"-1\", \"0\")"},
        {edits::editShowStatement(q("Solo"), -1, q("4")),
         "UPDATE `showname` SET `name` = \"Solo\", `comp` = \"4294967295\" WHERE `id` = 4"},
        {edits::deleteGroupStatement(q("12")),
         "UPDATE `timeslot` SET `deleted` = \"1\" WHERE `id` = 12 or `childof` = 12"},
        {edits::addGroupChildStatement(9, morning, 2, 8, 1),
         "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`) VALUES "
         "(\"9\", \"2019-07-05\", \"09:05:00\", \"10:00:00\", \"0\", \"2\", \"8\", \"1\")"},
        {edits::addSlotStatement(9, morning, 2, 1, 8),
         "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `room`, `childof`) VALUES "
         "(\"9\", \"2019-07-05\", \"09:05:00\", \"10:00:00\", \"0\", \"2\", \"1\", \"8\")"},
        {edits::editGroupChildStatement(morning, -1, 1, 8, 9),
         "UPDATE `timeslot` SET `date` = '2019-07-05', `start` = '09:05:0.0', `end` = '10:00:0.0', `showname` = "
         "'4294967295', `room` = '1',`childof` = '8' WHERE `id` = 9"},
        {edits::editGroupHeadStatement(morning, 2, 1, q("a.txt"), q("A$$$B"), q("A=Fait le 1/7/2019"), 8),
         "UPDATE `timeslot` SET `date` = '2019-07-05', `start` = '09:05:0.0', `end` = '10:00:0.0', `showname` = "
         "'2', `room` = '1',`childof` = '-1',`survey` = 'a.txt',`todo` = 'A$$$B',`done` = 'A=Fait le 1/7/2019' "
         "WHERE `id` = 8"},
        {edits::insertDateText(invalid) + " " + edits::insertStartText(invalid),
         "4294967295-4294967295-4294967295 4294967295:4294967295:00"},
    };
    for (const auto& [built, expected] : cases) EXPECT_EQ(built, expected);
    // Without a connection (connecting failed) the escaping still works and never crashes.
    EXPECT_EQ(db::sqlEscape(std::string_view("a\nb\r\x1a\0\xE9", 7)), "a\\nb\\r\\Z\\0\xE9");

    // Records read back into entries: the head's texts as the server sends them.
    EXPECT_EQ(edits::slotEntryOf(q("2019-07-05"), q("09:05:00"), q("22:30:00")),
              (planning::SlotEntry{5, 7, 2019, 9, 5, 22, 30}));
}

}  // namespace
