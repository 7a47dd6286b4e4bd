#include "integration/progman.h"
#include "tests/native/integration_fixture.h"

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

TEST_F(ProgramGroup, CommandsHaveTheShellsSyntax)
{
    char out[DDE_COMMANDSIZE];
    INS_groupcommand(out, "DeleteGroup", "ZeltaFax");
    EXPECT_STREQ(out, "[DeleteGroup(ZeltaFax)]");
    INS_itemcommand(out, "C:\\APP\\PROGRAM\\ZELTAFAX.EXE", "/m", "Fax", "C:\\APP\\PROGRAM\\FAX.ICO");
    EXPECT_STREQ(out, "[AddItem(C:\\APP\\PROGRAM\\ZELTAFAX.EXE /m,Fax,C:\\APP\\PROGRAM\\FAX.ICO)]");
    INS_itemcommand(out, "A.EXE", "", "T", "");
    EXPECT_STREQ(out, "[AddItem(A.EXE ,T,)]");
}

TEST_F(ProgramGroup, LongestFieldsAreCutToOneCommandOf159Characters)
{
    std::string f(79, 'x');
    char out[DDE_COMMANDSIZE];
    INS_itemcommand(out, f.c_str(), f.c_str(), f.c_str(), f.c_str());
    EXPECT_EQ(std::string(out).size(), 159u);
    EXPECT_EQ(std::string(out).substr(157), ")]") << "the command stays well-formed";
}

TEST_F(ProgramGroup, GroupIsDeletedRecreatedAndFilledInOrder)
{
    ctx->INS_whichprogram = 1;
    list("ICONS.LST", "#VOICE.EXE\r\n*DEMO.WAV\r\nVoice demo\r\n#VOICE.ICO\r\n"
                      "#SETUP.EXE\r\n\r\nSetup\r\n\r\n");
    ASSERT_EQ(INS_addprogram(ctx), ST_OK);
    EXPECT_EQ(d::ddecommands,
              (std::vector<std::string>{"initiate PROGMAN PROGMAN", "[DeleteGroup(ZeltaFax)]", "[CreateGroup(ZeltaFax)]",
                                        "[AddItem(C:\\APP\\PROGRAM\\VOICE.EXE C:\\APP\\DATA\\DEMO.WAV,Voice demo,"
                                        "C:\\APP\\PROGRAM\\VOICE.ICO)]",
                                        "[AddItem(C:\\APP\\PROGRAM\\SETUP.EXE ,Setup,)]"}));
    EXPECT_EQ(d::ddeterminated, 1);
    EXPECT_NE(log().find("item=[AddItem(C:\\APP\\PROGRAM\\SETUP.EXE ,Setup,)]"), std::string::npos);
}

TEST_F(ProgramGroup, FaxProductReadsIconsFax)
{
    ctx->INS_whichprogram = 0;
    list("ICONS.LST", items(1));
    list("ICONS.FAX", "#FAX.EXE\r\n\r\nFax\r\n\r\n");
    ASSERT_EQ(INS_addprogram(ctx), ST_OK);
    ASSERT_EQ(additems().size(), 1u);
    EXPECT_EQ(additems()[0], "[AddItem(C:\\APP\\PROGRAM\\FAX.EXE ,Fax,)]");
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
    EXPECT_EQ(additems()[9], "[AddItem(C:\\APP\\PROGRAM\\P10.EXE ,Item 10,)]");
}

TEST_F(ProgramGroup, EmptyProgramAndTitleLinesRepeatThePreviousItems)
{
    ctx->INS_whichprogram = 1;
    list("ICONS.LST", "#VOICE.EXE\r\n/a\r\nVoice\r\n#A.ICO\r\n\r\n/b\r\n\r\n\r\n");
    ASSERT_EQ(INS_addprogram(ctx), ST_OK);
    ASSERT_EQ(additems().size(), 2u);
    EXPECT_EQ(additems()[1], "[AddItem(C:\\APP\\PROGRAM\\VOICE.EXE /b,Voice,)]");
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
    EXPECT_EQ(additems()[1], "[AddItem(C:\\APP\\PROGRAM\\THREE.EXE /x,Three,)]");
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
    EXPECT_EQ(additems()[0], "[AddItem(C:\\APP\\PROGRAM\\B.EXE ,B,)]");
}

TEST_F(ProgramGroup, MissingListFileFailsAfterTheGroupAndEndsTheConversation)
{
    ctx->INS_whichprogram = 1;
    EXPECT_EQ(INS_addprogram(ctx), ST_OPEN_FAILED);
    EXPECT_EQ(d::ddecommands.back(), "[CreateGroup(ZeltaFax)]");
    EXPECT_EQ(d::ddeterminated, 1);
}

TEST_F(ProgramGroup, NoProgramManagerReturnsTheInitiateStatus)
{
    d::ddeinitiate = ST_DDE_NO_SERVER;
    list("ICONS.LST", items(1));
    EXPECT_EQ(INS_addprogram(ctx), ST_DDE_NO_SERVER);
    EXPECT_EQ(d::ddecommands.size(), 1u);
    EXPECT_NE(log().find("Error in INS_addprogram = " + std::to_string(ST_DDE_NO_SERVER)), std::string::npos) << log();
}

}  // namespace
