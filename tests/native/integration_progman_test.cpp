#include "integration/ddewait.h"
#include "integration/progman.h"
#include "tests/native/integration_fixture.h"
#include "tests/support/logcheck.h"

namespace {

namespace d = integration_doubles;

class ProgramGroup : public IntegrationTest {
protected:
    void SetUp() override
    {
        IntegrationTest::SetUp();
        UL_copytext(ctx->pathname, "C:\\APP\\");
    }
    void list(const char* name, const std::string& text) { write(root + "/src/" + name, text); }
    static std::string items(int n)
    {
        std::string text;
        for (int i = 1; i <= n; ++i) {
            std::string k = std::to_string(i);
            text += "#P" + k + ".EXE\r\n\r\nItem " + k + "\r\n\r\n";
        }
        return text;
    }
    // The outcome lines of the waits, in order.
    std::vector<std::string> waits() const
    {
        std::vector<std::string> out;
        std::istringstream in(log());
        for (std::string line; std::getline(in, line);)
            if (line.find("nackflag = ") != std::string::npos) out.push_back(line.substr(0, line.find('\r')));
        return out;
    }
    std::vector<std::string> additems() const
    {
        std::vector<std::string> out;
        for (const auto& c : d::ddecommands)
            if (c.rfind("[AddItem(", 0) == 0) out.push_back(c);
        return out;
    }
};

TEST_F(ProgramGroup, ItemPathsExpandTheirLocationPrefix)
{
    char out[TEXTSIZE];
    INS_expanditempath(ctx, out, "#VOICE.EXE");
    EXPECT_STREQ(out, "C:\\APP\\PROGRAM\\VOICE.EXE");
    INS_expanditempath(ctx, out, "*DEMO.WAV");
    EXPECT_STREQ(out, "C:\\APP\\DATA\\DEMO.WAV");
    INS_expanditempath(ctx, out, "C:\\WINDOWS\\NOTEPAD.EXE");
    EXPECT_STREQ(out, "C:\\WINDOWS\\NOTEPAD.EXE");
    INS_expanditempath(ctx, out, "X#Y*");
    EXPECT_STREQ(out, "X#Y*");
}

TEST_F(ProgramGroup, ExpandedPathIsCutTo79Characters)
{
    char out[TEXTSIZE];
    INS_expanditempath(ctx, out, ("#" + std::string(79, 'A')).c_str());
    EXPECT_EQ(std::string(out).size(), 79u);
    EXPECT_EQ(std::string(out).substr(0, 15), "C:\\APP\\PROGRAM\\");
}

TEST_F(ProgramGroup, CommandsHaveTheShellsSyntaxWithEveryFieldQuoted)
{
    char out[DDE_COMMANDSIZE];
    EXPECT_TRUE(INS_groupcommand(out, "DeleteGroup", "ZeltaFax"));
    EXPECT_STREQ(out, "[DeleteGroup(\"ZeltaFax\")]");
    EXPECT_TRUE(INS_itemcommand(out, "C:\\APP\\PROGRAM\\ZELTAFAX.EXE", "/m", "Fax", "C:\\APP\\PROGRAM\\FAX.ICO"));
    EXPECT_STREQ(out, "[AddItem(\"C:\\APP\\PROGRAM\\ZELTAFAX.EXE /m\",\"Fax\",\"C:\\APP\\PROGRAM\\FAX.ICO\")]");
    EXPECT_TRUE(INS_itemcommand(out, "A.EXE", "", "T", ""));
    EXPECT_STREQ(out, "[AddItem(\"A.EXE\",\"T\",\"\")]") << "no blank without an argument";
    // Commas, parentheses and blanks of a destination stay inside their field.
    EXPECT_TRUE(INS_itemcommand(out, "C:\\Fax (new),B\\PROGRAM\\X.EXE", "", "X, the (fax)", ""));
    EXPECT_STREQ(out, "[AddItem(\"C:\\Fax (new),B\\PROGRAM\\X.EXE\",\"X, the (fax)\",\"\")]");
}

TEST_F(ProgramGroup, TextsThatAQuotedFieldCannotCarryAreRefused)
{
    char out[DDE_COMMANDSIZE] = "old";
    for (const char* bad : {"C:\\A\")][Delete\\X.EXE", "C:\\A[1]\\X.EXE", "C:\\A\tB\\X.EXE", "C:\\A\x7f\\X.EXE"}) {
        EXPECT_FALSE(INS_progmanfield(bad)) << bad;
        EXPECT_FALSE(INS_itemcommand(out, bad, "", "T", "")) << bad;
        EXPECT_STREQ(out, "");
        EXPECT_FALSE(INS_itemcommand(out, "A.EXE", bad, "T", "")) << bad;
        EXPECT_FALSE(INS_itemcommand(out, "A.EXE", "", "T", bad)) << bad;
        EXPECT_FALSE(INS_groupcommand(out, "CreateGroup", bad)) << bad;
    }
    EXPECT_TRUE(INS_progmanfield("C:\\Fax (new)\\\xe9t\xe9,\\"));  // letters of the code page are fine
    // The title names the item's file in the group's folder.
    EXPECT_FALSE(INS_itemcommand(out, "A.EXE", "", "..\\..\\Startup\\X", ""));
    EXPECT_FALSE(INS_itemcommand(out, "A.EXE", "", "A/B", ""));
}

TEST_F(ProgramGroup, CommandThatDoesNotFit159CharactersIsRefusedNotCut)
{
    std::string f(79, 'x');
    char out[DDE_COMMANDSIZE];
    EXPECT_FALSE(INS_itemcommand(out, f.c_str(), f.c_str(), f.c_str(), f.c_str()));
    // 9 + (1 + 79 + 1) + 1 + (1 + 65 + 1) + 1 + 2 + 2 = 163: too long by four.
    EXPECT_FALSE(INS_itemcommand(out, f.c_str(), "", std::string(65, 't').c_str(), ""));
    EXPECT_TRUE(INS_itemcommand(out, f.c_str(), "", std::string(61, 't').c_str(), ""));
    EXPECT_EQ(std::string(out).size(), 159u);
    EXPECT_EQ(std::string(out).substr(155), "\"\")]");
}

TEST_F(ProgramGroup, GroupIsDeletedRecreatedAndFilledInOrder)
{
    ctx->INS_whichprogram = 1;
    list("ICONS.LST", "#VOICE.EXE\r\n*DEMO.WAV\r\nVoice demo\r\n#VOICE.ICO\r\n"
                      "#SETUP.EXE\r\n\r\nSetup\r\n\r\n");
    ASSERT_EQ(INS_addprogram(ctx), ST_OK);
    EXPECT_EQ(d::ddecommands,
              (std::vector<std::string>{"initiate PROGMAN PROGMAN", "[DeleteGroup(\"ZeltaFax\")]",
                                        "[CreateGroup(\"ZeltaFax\")]",
                                        "[AddItem(\"C:\\APP\\PROGRAM\\VOICE.EXE C:\\APP\\DATA\\DEMO.WAV\",\"Voice demo\","
                                        "\"C:\\APP\\PROGRAM\\VOICE.ICO\")]",
                                        "[AddItem(\"C:\\APP\\PROGRAM\\SETUP.EXE\",\"Setup\",\"\")]"}));
    EXPECT_EQ(d::ddeterminated, 1);
    EXPECT_TRUE(logcheck::contains(log(), "item=[AddItem(\"C:\\APP\\PROGRAM\\SETUP.EXE\",\"Setup\",\"\")]"));
}

// The shell opens a window for every group it creates: a silent run writes the
// same items into the group's folder itself and talks to no Program Manager.
TEST_F(ProgramGroup, SilentRunWritesTheItemsIntoTheGroupsFolderWithoutProgramManager)
{
    ctx->INS_whichprogram = 1;
    ctx->silent = SILENT_NOTHING;
    list("ICONS.LST", "#VOICE.EXE\r\n*DEMO.WAV\r\nVoice demo\r\n#VOICE.ICO\r\n"
                      "#SETUP.EXE\r\n\r\nSetup\r\n\r\n");
    ASSERT_EQ(INS_addprogram(ctx), ST_OK);
    EXPECT_TRUE(d::ddecommands.empty());
    EXPECT_EQ(d::folders, (std::vector<std::string>{"C:\\WINDOWS\\Start Menu\\Programs\\ZeltaFax"}));
    EXPECT_EQ(d::groupitems,
              (std::vector<std::string>{
                  "C:\\WINDOWS\\Start Menu\\Programs\\ZeltaFax|C:\\APP\\PROGRAM\\VOICE.EXE|C:\\APP\\DATA\\DEMO.WAV|"
                  "Voice demo|C:\\APP\\PROGRAM\\VOICE.ICO",
                  "C:\\WINDOWS\\Start Menu\\Programs\\ZeltaFax|C:\\APP\\PROGRAM\\SETUP.EXE||Setup|"}));
    // The log shows the same items as a run that asks Program Manager.
    EXPECT_TRUE(logcheck::contains(log(), "item=[AddItem(\"C:\\APP\\PROGRAM\\SETUP.EXE\",\"Setup\",\"\")]"));

    // A shell that knows no Programs folder: no group, and the run goes on.
    d::reset();
    d::programs.clear();
    EXPECT_EQ(INS_addprogram(ctx), ST_OK);
    EXPECT_TRUE(d::groupitems.empty());
    EXPECT_TRUE(d::ddecommands.empty());
}

TEST_F(ProgramGroup, GroupFolderIsOnePlainNameBelowPrograms)
{
    char out[SHELLPATHSIZE];
    EXPECT_TRUE(INS_groupfolderpath(out, "C:\\P\\", "Zelta Voice (new)"));
    EXPECT_STREQ(out, "C:\\P\\Zelta Voice (new)");
    EXPECT_TRUE(INS_groupfolderpath(out, "C:\\P", "Z"));
    EXPECT_STREQ(out, "C:\\P\\Z");
    for (const char* group : {"", "..", ".hidden", "..\\..\\Startup", "A\\B", "A/B", "C:X", "A*", "\tA"}) {
        EXPECT_FALSE(INS_groupfolderpath(out, "C:\\P", group)) << group;
        EXPECT_STREQ(out, "") << group;
    }
    EXPECT_FALSE(INS_groupfolderpath(out, "", "Z"));
    EXPECT_FALSE(INS_groupfolderpath(out, std::string(255, 'p').c_str(), "Zelta"));
}

TEST_F(ProgramGroup, FaxProductReadsIconsFax)
{
    ctx->INS_whichprogram = 0;
    list("ICONS.LST", items(1));
    list("ICONS.FAX", "#FAX.EXE\r\n\r\nFax\r\n\r\n");
    ASSERT_EQ(INS_addprogram(ctx), ST_OK);
    ASSERT_EQ(additems().size(), 1u);
    EXPECT_EQ(additems()[0], "[AddItem(\"C:\\APP\\PROGRAM\\FAX.EXE\",\"Fax\",\"\")]");
}

TEST_F(ProgramGroup, NineItemsAreAddedAndElevenAreCutToTen)
{
    ctx->INS_whichprogram = 2;
    list("ICONS.LST", items(9));
    ASSERT_EQ(INS_addprogram(ctx), ST_OK);
    EXPECT_EQ(additems().size(), 9u);

    d::reset();
    list("ICONS.LST", items(11));
    ASSERT_EQ(INS_addprogram(ctx), ST_OK);
    ASSERT_EQ(additems().size(), 10u);
    EXPECT_EQ(additems()[9], "[AddItem(\"C:\\APP\\PROGRAM\\P10.EXE\",\"Item 10\",\"\")]");
}

TEST_F(ProgramGroup, EmptyProgramAndTitleLinesRepeatThePreviousItems)
{
    ctx->INS_whichprogram = 1;
    list("ICONS.LST", "#VOICE.EXE\r\n/a\r\nVoice\r\n#A.ICO\r\n\r\n/b\r\n\r\n\r\n");
    ASSERT_EQ(INS_addprogram(ctx), ST_OK);
    ASSERT_EQ(additems().size(), 2u);
    EXPECT_EQ(additems()[1], "[AddItem(\"C:\\APP\\PROGRAM\\VOICE.EXE /b\",\"Voice\",\"\")]");
}

TEST_F(ProgramGroup, LastItemWithTwoLinesIsDroppedAndWithThreeLinesIsAdded)
{
    ctx->INS_whichprogram = 1;
    list("ICONS.LST", items(1) + "#TWO.EXE\r\n/x\r\n");
    ASSERT_EQ(INS_addprogram(ctx), ST_OK);
    EXPECT_EQ(additems().size(), 1u);

    d::reset();
    list("ICONS.LST", items(1) + "#THREE.EXE\r\n/x\r\nThree");
    ASSERT_EQ(INS_addprogram(ctx), ST_OK);
    ASSERT_EQ(additems().size(), 2u);
    EXPECT_EQ(additems()[1], "[AddItem(\"C:\\APP\\PROGRAM\\THREE.EXE /x\",\"Three\",\"\")]");
}

TEST_F(ProgramGroup, ItemThatCannotBeCarriedIsSkippedAndTheRestAdded)
{
    ctx->INS_whichprogram = 1;
    ctx->debuglevel = 2;
    list("ICONS.LST", "#A.EXE\r\n/x\")][DeleteGroup(\"Other\r\nBad\r\n\r\n#B.EXE\r\n\r\nB\r\n\r\n");
    ASSERT_EQ(INS_addprogram(ctx), ST_OK);
    ASSERT_EQ(additems().size(), 1u);
    EXPECT_EQ(additems()[0], "[AddItem(\"C:\\APP\\PROGRAM\\B.EXE\",\"B\",\"\")]");
    EXPECT_TRUE(logcheck::contains(log(), "item refused: Bad"));
    for (const auto& c : d::ddecommands) EXPECT_EQ(c.find("Other"), std::string::npos) << c;

    // A destination the shell cannot carry spoils every "#" item; a group
    // name it cannot carry makes no group at all.
    d::reset();
    UL_copytext(ctx->pathname, "C:\\A]\\");
    ASSERT_EQ(INS_addprogram(ctx), ST_OK);
    EXPECT_TRUE(additems().empty());
    d::reset();
    UL_copytext(ctx->producttitle, "Zelta\"Fax");
    ASSERT_EQ(INS_addprogram(ctx), ST_OK);
    EXPECT_EQ(d::ddecommands.size(), 1u) << "only the conversation";
    EXPECT_EQ(d::ddeterminated, 1);
}

TEST_F(ProgramGroup, PageBreakEndsTheList)
{
    ctx->INS_whichprogram = 1;
    list("ICONS.LST", items(1) + "#NEXT.EXE\f\r\n\r\nNext\r\n\r\n");
    ASSERT_EQ(INS_addprogram(ctx), ST_OK);
    EXPECT_EQ(additems().size(), 1u);
}

TEST_F(ProgramGroup, FirstItemWithoutProgramIsSkippedNotSentEmpty)
{
    ctx->INS_whichprogram = 1;
    list("ICONS.LST", "\r\n\r\nNothing\r\n\r\n#B.EXE\r\n\r\nB\r\n\r\n");
    ASSERT_EQ(INS_addprogram(ctx), ST_OK);
    ASSERT_EQ(additems().size(), 1u);
    EXPECT_EQ(additems()[0], "[AddItem(\"C:\\APP\\PROGRAM\\B.EXE\",\"B\",\"\")]");
}

TEST_F(ProgramGroup, MissingListFileFailsAfterTheGroupAndEndsTheConversation)
{
    ctx->INS_whichprogram = 1;
    EXPECT_EQ(INS_addprogram(ctx), ST_OPEN_FAILED);
    EXPECT_EQ(d::ddecommands.back(), "[CreateGroup(\"ZeltaFax\")]");
    EXPECT_EQ(d::ddeterminated, 1);
}

TEST_F(ProgramGroup, NoProgramManagerReturnsTheInitiateStatus)
{
    d::ddeinitiate = ST_DDE_NO_SERVER;
    list("ICONS.LST", items(1));
    EXPECT_EQ(INS_addprogram(ctx), ST_DDE_NO_SERVER);
    EXPECT_EQ(d::ddecommands.size(), 1u);
    EXPECT_TRUE(logcheck::contains(log(), "Error in INS_addprogram = " + std::to_string(ST_DDE_NO_SERVER)));
}

// What each answer of the server makes of the execute being waited for.
TEST(DdeWait, AnswersTerminationAndTimeDecideTheExecutesOutcome)
{
    setup_context c{};
    setup_context* ctx = &c;
    status_t st = 9;
    DDE_executestarted(ctx);
    EXPECT_FALSE(DDE_waitover(ctx, DDE_ACKTIMEOUT, &st)) << "still within the time";
    EXPECT_TRUE(DDE_waitover(ctx, DDE_ACKTIMEOUT + 1, &st));
    EXPECT_EQ(st, ST_DDE_NO_ACK) << "no answer at all is the time-out";

    EXPECT_TRUE(DDE_executeanswered(ctx, 0x8000)) << "the command's memory comes back to the client";
    EXPECT_EQ(ctx->ddenackflag, DDE_ACKED);
    EXPECT_TRUE(DDE_waitover(ctx, DDE_ACKTIMEOUT + 1, &st));
    EXPECT_EQ(st, ST_OK) << "an answer that came in time counts, whenever the wait looks";
    EXPECT_FALSE(DDE_conversationended(ctx)) << "an answered execute is not cut off";
    EXPECT_EQ(ctx->ddenackflag, DDE_ACKED);

    DDE_executestarted(ctx);
    EXPECT_TRUE(DDE_executeanswered(ctx, 0x0000));
    EXPECT_EQ(ctx->ddenackflag, DDE_REFUSED);
    EXPECT_TRUE(DDE_waitover(ctx, 0, &st));
    EXPECT_EQ(st, ST_OK) << "a refusal is no error";

    DDE_executestarted(ctx);
    EXPECT_TRUE(DDE_conversationended(ctx));
    EXPECT_EQ(ctx->ddenackflag, DDE_REFUSED) << "the server ended the conversation instead of answering";
    EXPECT_EQ(ctx->ddepending, DDE_PENDING_NONE);
    EXPECT_TRUE(DDE_waitover(ctx, 0, &st)) << "at once, not after the time-out";
    EXPECT_EQ(st, ST_OK);
    EXPECT_FALSE(DDE_executeanswered(ctx, 0x0000)) << "a late answer carries no memory of ours";
    EXPECT_EQ(ctx->ddenackflag, DDE_REFUSED);

    DDE_executestarted(ctx);
    DDE_timerfired(ctx);
    EXPECT_TRUE(DDE_waitover(ctx, 0, &st));
    EXPECT_EQ(ctx->ddenackflag, DDE_TIMERFIRED);
    EXPECT_EQ(st, ST_OK);

    // The state is the context's: another's conversation leaves this execute waiting.
    setup_context other{};
    DDE_executestarted(ctx);
    DDE_executestarted(&other);
    EXPECT_TRUE(DDE_executeanswered(&other, 0x8000));
    EXPECT_FALSE(DDE_waitover(ctx, 0, &st));
    EXPECT_EQ(ctx->ddepending, DDE_PENDING_EXECUTE);
}

TEST_F(ProgramGroup, RefusedCommandIsTracedAndTheGroupGoesOn)
{
    ctx->INS_whichprogram = 1;
    list("ICONS.LST", items(2));
    d::ddeanswers = {d::ddeanswer::nack, d::ddeanswer::ack, d::ddeanswer::nack};
    EXPECT_EQ(INS_addprogram(ctx), ST_OK) << log();
    EXPECT_EQ(additems().size(), 2u) << "a refused item does not end the list";
    EXPECT_EQ(waits(), (std::vector<std::string>{"nackflag = 1", "nackflag = 0", "nackflag = 1", "nackflag = 0"}))
        << log();
    EXPECT_LT(doubles::clock_ms, 100u);
}

TEST_F(ProgramGroup, UnansweredCommandTimesOutAfterTenSecondsAndEndsTheGroup)
{
    ctx->INS_whichprogram = 1;
    list("ICONS.LST", items(2));
    d::ddeanswers = {d::ddeanswer::ack, d::ddeanswer::silent};
    EXPECT_EQ(INS_addprogram(ctx), ST_DDE_NO_ACK);
    EXPECT_GT(doubles::clock_ms, DDE_ACKTIMEOUT);
    EXPECT_LT(doubles::clock_ms, DDE_ACKTIMEOUT + 100u);
    EXPECT_TRUE(additems().empty());
    EXPECT_EQ(d::ddetimerstops, 1);
    EXPECT_EQ(d::ddeterminated, 1) << "the conversation is still ended";
    EXPECT_EQ(waits(), (std::vector<std::string>{"nackflag = 0", "timeout nackflag = 9"})) << log();
    EXPECT_TRUE(logcheck::contains(log(), "Error in INS_addprogram = 13027"));
}

TEST_F(ProgramGroup, ServerThatEndsTheConversationEndsEveryWaitAtOnce)
{
    ctx->INS_whichprogram = 1;
    list("ICONS.LST", items(3));
    d::ddeanswers = {d::ddeanswer::ack, d::ddeanswer::terminate};
    EXPECT_EQ(INS_addprogram(ctx), ST_OK) << log();
    EXPECT_LT(doubles::clock_ms, 100u) << "neither the cut command nor the ones after it wait out the time-out";
    EXPECT_EQ(additems().size(), 3u) << "the items are still tried, and refused at once";
    EXPECT_EQ(waits(), (std::vector<std::string>{"nackflag = 0", "nackflag = 1", "nackflag = 1", "nackflag = 1",
                                                 "nackflag = 1"}))
        << "the cut CreateGroup and the three items count as refused, none as a time-out\n"
        << log();
    EXPECT_EQ(d::ddetimerstops, 0);
    EXPECT_EQ(d::ddeterminated, 1);
}

}  // namespace
