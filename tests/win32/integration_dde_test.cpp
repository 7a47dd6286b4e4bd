// The Program Manager conversation with Wine's shell (it needs the display
// that scripts/with-wine.sh provides).
#include <windows.h>
#include <shlobj.h>

#include "integration/progman.h"
#include "tests/win32/integration_ddefixture.h"
#include "tests/support/logcheck.h"

namespace {

class ProgramManager : public DdeClientTest {
protected:
    void SetUp() override
    {
        DdeClientTest::SetUp();
        UL_copytext(ctx->sourcedir, root.c_str());
        UL_copytext(ctx->pathname, "C:\\VEQTEST\\");
        UL_copytext(ctx->producttitle, "VEQ Group Test");
    }

    static std::string programs_folder()
    {
        char path[MAX_PATH] = {};
        LPITEMIDLIST list = nullptr;
        if (SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &list) != S_OK) return "";
        SHGetPathFromIDListA(list, path);
        CoTaskMemFree(list);
        return path;
    }
};

TEST_F(ProgramManager, GroupIsCreatedAndCommandsAreAnsweredByTheShell)
{
    ctx->INS_whichprogram = 1;
    write(root + "ICONS.LST", "C:\\windows\\notepad.exe\r\n\r\nEditor\r\n\r\n");
    ASSERT_EQ(INS_addprogram(ctx), ST_OK) << log();
    std::string l = log();
    // Every command got its answer: no time-out, whatever the shell decided.
    EXPECT_FALSE(logcheck::contains(l, "timeout nackflag"));
    EXPECT_TRUE(logcheck::contains(l, "exe buf = [DeleteGroup(\"VEQ Group Test\")]"));
    EXPECT_TRUE(logcheck::contains(l, "item=[AddItem(\"C:\\windows\\notepad.exe\",\"Editor\",\"\")]"));
    EXPECT_TRUE(logcheck::contains(l, "nackflag = 0")) << "CreateGroup is acknowledged";
    EXPECT_TRUE(logcheck::contains(l, "after loop"));

    std::string group = programs_folder() + "\\VEQ Group Test";
    EXPECT_TRUE(exists(group)) << group;
    EXPECT_TRUE(exists(group + "\\Editor.lnk")) << "the item's shortcut in the group";

    // Again over the existing group, in a second conversation right after the
    // first: the group is deleted (acknowledged this time) and made anew.
    std::size_t before = log().size();
    ASSERT_EQ(INS_addprogram(ctx), ST_OK) << log();
    std::string again = log().substr(before);
    EXPECT_TRUE(logcheck::contains(again, "[DeleteGroup(\"VEQ Group Test\")]\r\nack lparam"));
    EXPECT_FALSE(logcheck::contains(again, "nackflag = 1"));
    EXPECT_TRUE(exists(group + "\\Editor.lnk"));
    winpaths::remove_tree(group + "\\");
}

// What Wine's shell makes of quoted fields: a destination with blanks,
// parentheses and a comma, a group name with a comma.
TEST_F(ProgramManager, QuotedFieldsCarryParenthesesCommasAndBlanks)
{
    std::string dest = "C:\\VEQTEST (new), A\\";
    CreateDirectoryA(dest.c_str(), nullptr);
    CreateDirectoryA((dest + "PROGRAM").c_str(), nullptr);
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    ASSERT_TRUE(CopyFileA((std::string(windows) + "\\notepad.exe").c_str(), (dest + "PROGRAM\\EDIT.EXE").c_str(), FALSE));
    UL_copytext(ctx->pathname, dest.c_str());
    UL_copytext(ctx->producttitle, "VEQ Group (Test), 2");
    ctx->INS_whichprogram = 1;
    write(root + "ICONS.LST", "#EDIT.EXE\r\n\r\nEdit (new)\r\n\r\n#EDIT.EXE\r\n*README.TXT\r\nEdit, read me\r\n\r\n");
    ASSERT_EQ(INS_addprogram(ctx), ST_OK) << log();
    std::string l = log();
    EXPECT_TRUE(logcheck::contains(l, "exe buf = [AddItem(\"C:\\VEQTEST (new), A\\PROGRAM\\EDIT.EXE\",\"Edit (new)"));
    EXPECT_FALSE(logcheck::contains(l, "timeout nackflag"));
    std::string group = programs_folder() + "\\VEQ Group (Test), 2";
    EXPECT_TRUE(exists(group)) << "CreateGroup with a comma in its quoted name\n" << l;
    EXPECT_TRUE(exists(group + "\\Edit (new).lnk")) << "the program in C:\\VEQTEST (new), A\\\n" << l;
    // The second item has an argument: Wine 8 looks for the whole first field
    // as a file and refuses it; a shell that splits the command line takes it.
    winpaths::remove_tree(group + "\\");
    DeleteFileA((dest + "PROGRAM\\EDIT.EXE").c_str());
    RemoveDirectoryA((dest + "PROGRAM").c_str());
    RemoveDirectoryA(dest.c_str());
}

TEST_F(ProgramManager, ServiceNobodyAnswersEndsWith13024)
{
    DWORD start = GetTickCount();
    EXPECT_EQ(DDE_initiate(ctx, ctx->hinstance, parent, "VEQNOSUCHSERVICE", "VEQNOSUCHSERVICE"), ST_DDE_NO_SERVER);
    EXPECT_GE(GetTickCount() - start, 10000u);
}

}  // namespace
