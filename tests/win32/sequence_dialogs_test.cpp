// The sequence's dialogs from the real resource library, driven through the
// messages a person's input produces (the unattended answer path).
#include <gtest/gtest.h>

#include <fstream>

#include "install/dialogs.h"
#include "install/install.h"
#include "install/state.h"
#include "install/progress.h"
#include "install/unattended.h"
#include "shell/context.h"
#include "shell/text.h"
#include "tests/win32/support/winpaths.h"

namespace {

class SequenceDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(INS_createcontext(&ctx), ST_OK);
        INS_attachdriver(ctx);  // as start-up does
        INS_context = ctx;
        std::string dll = winpaths::from_unix(winpaths::env("TEST_RESOURCE_DLL"));
        library = LoadLibraryA(dll.c_str());
        ASSERT_NE(library, nullptr) << "cannot load " << dll;
        ctx->resourcelib = library;
        static bool registered = false;
        if (!registered) {
            WNDCLASSA c = {};
            c.lpfnWndProc = DefWindowProcA;
            c.hInstance = GetModuleHandleA(nullptr);
            c.lpszClassName = "seqtestmain";
            RegisterClassA(&c);
            registered = true;
        }
        main = CreateWindowExA(0, "seqtestmain", "Install", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        ctx->mainwindow = main;
        UL_copytext(ctx->windowtitle, "ZeltaFax Installation");
        UL_copytext(ctx->producttitle, "ZeltaFax");
        UL_copytext(ctx->productname, "ZELTA");
        UL_copytext(ctx->sourcedir, src.path().c_str());
        UL_copytext(ctx->answerfile, src.file("answers.ini").c_str());
    }
    void TearDown() override
    {
        DestroyWindow(main);
        FreeLibrary(library);
        INS_destroycontext(ctx);
        INS_context = nullptr;
    }
    void answers(const std::string& text) { src.write("answers.ini", text); }

    winpaths::tempdir src;
    winpaths::tempdir dest;
    setup_context* ctx = nullptr;
    HMODULE library = nullptr;
    HWND main = nullptr;
};

bool isdir(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(SequenceDialogs, CountryChosenByNameGivesItsExtension)
{
    CreateDirectoryA(src.file("COUNTRY").c_str(), nullptr);
    src.write("COUNTRY\\COUNTRY.LST", "GER,Germany\r\nFRA,France\r\nUK,United Kingdom\r\n");
    answers("[988]\n111=France\nButton=1\n");
    EXPECT_EQ(INS_askcountry(ctx), ST_OK);
    EXPECT_STREQ(ctx->countryext, "FRA");
    EXPECT_EQ(ctx->helpcontext, 101) << "help context restored after the dialog";
    EXPECT_EQ(ctx->install->unattendedstatus, 0);
}

TEST_F(SequenceDialogs, CountryCancelIsTheUsersCancel)
{
    CreateDirectoryA(src.file("COUNTRY").c_str(), nullptr);
    src.write("COUNTRY\\COUNTRY.LST", "GER,Germany\r\n");
    answers("[988]\nButton=2\n");
    EXPECT_EQ(INS_askcountry(ctx), ST_CANCELLED);
    EXPECT_STREQ(ctx->countryext, "");
}

TEST_F(SequenceDialogs, NoCountryListAsksNothing)
{
    answers("");  // no section at all: a dialog shown would end the run
    EXPECT_EQ(INS_askcountry(ctx), ST_OK);
    EXPECT_EQ(ctx->install->unattendedstatus, 0);
}

TEST_F(SequenceDialogs, CountryDialogWithoutAnswerEndsTheRun)
{
    CreateDirectoryA(src.file("COUNTRY").c_str(), nullptr);
    src.write("COUNTRY\\COUNTRY.LST", "GER,Germany\r\n");
    answers("[992]\nButton=111\n");
    EXPECT_EQ(INS_askcountry(ctx), ST_CANCELLED);
    EXPECT_EQ(ctx->install->unattendedstatus, ST_BAD_REQUEST);
    EXPECT_EQ(INS_unattendedoutcome(ctx, ST_CANCELLED), ST_BAD_REQUEST);
}

TEST_F(SequenceDialogs, DisketteAcceptedOnlyWhenItsCheckFileExists)
{
    answers("[900]\nTimeout=1\n");
    src.write("3.txt", "disk 3");
    std::uint16_t cancelled = 9;
    EXPECT_EQ(INS_changediskette(ctx, 3, &cancelled), ST_OK);
    EXPECT_EQ(cancelled, 0);
    DWORD start = GetTickCount();
    EXPECT_EQ(INS_changediskette(ctx, 4, &cancelled), ST_OK);
    EXPECT_EQ(cancelled, 1) << "disk 4 never arrives";
    EXPECT_GE(GetTickCount() - start, 900u) << "OK is pressed again until the time limit";
    EXPECT_EQ(ctx->install->unattendedstatus, ST_NOT_AVAILABLE);
}

DWORD WINAPI insert_disk_later(LPVOID param)
{
    Sleep(1200);
    auto* path = static_cast<std::string*>(param);
    std::ofstream(path->c_str()) << "disk 2";
    return 0;
}

TEST_F(SequenceDialogs, DisketteSwappedByAnOutsideChangerIsTakenOnARetry)
{
    answers("[900]\nTimeout=10\n");
    std::string check = src.file("2.txt");
    // Wine's file names are Windows names; the thread writes through the C library.
    HANDLE t = CreateThread(nullptr, 0, insert_disk_later, &check, 0, nullptr);
    std::uint16_t cancelled = 9;
    EXPECT_EQ(INS_changediskette(ctx, 2, &cancelled), ST_OK);
    WaitForSingleObject(t, 5000);
    CloseHandle(t);
    EXPECT_EQ(cancelled, 0);
    EXPECT_EQ(ctx->install->unattendedstatus, 0);
}

TEST_F(SequenceDialogs, DestinationTwoLevelsUnderANewParentIsCreated)
{
    std::string parent = "C:\\seqtest_" + std::to_string(GetCurrentProcessId());
    std::string target = parent + "\\SUB";
    answers("[992]\n102=" + target + "\nButton=111\n");
    UL_copytext(ctx->pathname, "C:\\WRONG\\");
    ctx->INS_back = 2;
    std::uint16_t cancelled = 9;
    ASSERT_EQ(INS_proceed(ctx, &cancelled), ST_OK);
    EXPECT_EQ(cancelled, 0);
    EXPECT_EQ(std::string(ctx->pathname), target + "\\");
    EXPECT_EQ(std::string(ctx->programdir), target + "\\PROGRAM\\");
    EXPECT_EQ(std::string(ctx->datadir), target + "\\DATA\\");
    EXPECT_TRUE(isdir(target));
    RemoveDirectoryA(target.c_str());
    RemoveDirectoryA(parent.c_str());
}

TEST_F(SequenceDialogs, DestinationThreeNewLevelsFailsWith2315)
{
    std::string target = "C:\\seqtest_new_" + std::to_string(GetCurrentProcessId()) + "\\B\\C";
    answers("[992]\n102=" + target + "\nButton=111\n");
    std::uint16_t cancelled = 0;
    ASSERT_EQ(INS_proceed(ctx, &cancelled), ST_OK);
    EXPECT_EQ(cancelled, 1) << "the dialog did not accept it";
    EXPECT_EQ(ctx->install->unattendedstatus, 2315);
    RemoveDirectoryA(("C:\\seqtest_new_" + std::to_string(GetCurrentProcessId())).c_str());
}

TEST_F(SequenceDialogs, DestinationThatTheProgramGroupCannotCarryIsRefusedWith2315)
{
    // ")][" would end the group's command and start one of its own.
    std::string target = "C:\\seqtest_" + std::to_string(GetCurrentProcessId()) + ")][x";
    answers("[992]\n102=" + target + "\nButton=111\n");
    std::uint16_t cancelled = 0;
    ASSERT_EQ(INS_proceed(ctx, &cancelled), ST_OK);
    EXPECT_EQ(cancelled, 1) << "the dialog did not accept it";
    EXPECT_EQ(ctx->install->unattendedstatus, 2315);
    EXPECT_FALSE(isdir(target)) << "refused before anything is made";
}

TEST_F(SequenceDialogs, ExistingDestinationNeedsAYesToQuestion494)
{
    answers("[992]\n102=" + dest.path() + "\nButton=111\n[494]\nAnswer=Yes\n");
    std::uint16_t cancelled = 9;
    ASSERT_EQ(INS_proceed(ctx, &cancelled), ST_OK);
    EXPECT_EQ(cancelled, 0);

    answers("[992]\n102=" + dest.path() + "\nButton=111\n[494]\nAnswer=No\n");
    ASSERT_EQ(INS_proceed(ctx, &cancelled), ST_OK);
    EXPECT_EQ(cancelled, 1) << "No keeps the dialog open, which ends an unattended run";
    EXPECT_EQ(ctx->install->unattendedstatus, ST_BAD_REQUEST);
}

TEST_F(SequenceDialogs, DestinationWithoutDriveLetterIsRefusedWith2251)
{
    answers("[992]\n102=\\\\server\\share\\fax\nButton=111\n");
    std::uint16_t cancelled = 0;
    ASSERT_EQ(INS_proceed(ctx, &cancelled), ST_OK);
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(ctx->install->unattendedstatus, 2251);
}

TEST_F(SequenceDialogs, BackFromTheSecondDialogRemovesTheEmptyDirectory)
{
    std::string made = dest.path() + "MADE";
    CreateDirectoryA(made.c_str(), nullptr);
    UL_copytext(ctx->pathname, (made + "\\").c_str());
    ctx->INS_back = 1;
    answers("[992]\nButton=112\n");
    std::uint16_t cancelled = 0;
    ASSERT_EQ(INS_proceed(ctx, &cancelled), ST_OK);
    EXPECT_EQ(cancelled, 1);
    EXPECT_FALSE(isdir(made)) << "the still-empty directory of the last pass is gone";
    EXPECT_EQ(ctx->install->unattendedstatus, 0) << "Cancel is an answer like any other";
}

TEST_F(SequenceDialogs, FailureNoticeShowsAndClosesInAnUnattendedRun)
{
    answers("");
    EXPECT_EQ(INS_failinstall(ctx, 2231), ST_OK);
}

TEST_F(SequenceDialogs, ProgressWindowShowsNotesAndStopsOnItsButton)
{
    ctx->modemsearch = 1;
    ASSERT_EQ(INS_keyabortopen(ctx, "Title", "Line one", "Line two"), ST_OK);
    HWND window = static_cast<HWND>(ctx->install->progress.window);
    ASSERT_NE(window, nullptr);
    ctx->progressnote = 13;
    std::uint16_t stop = 9;
    INS_keyabortpoll(ctx, &stop, 1);
    EXPECT_EQ(stop, 0);
    char text[TEXTSIZE] = {};
    GetDlgItemTextA(window, 116, text, sizeof text);
    EXPECT_STREQ(text, "Checking port COM3") << "the third note line belongs to COM3";
    GetDlgItemTextA(window, 111, text, sizeof text);
    EXPECT_STREQ(text, "Line one");
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "Title");

    SendMessageA(window, WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(window)) << "the window disappears at once";
    EXPECT_EQ(INS_checkabort(ctx), ST_CANCELLED);
    EXPECT_EQ(INS_keyabortclose(ctx), ST_OK);
    EXPECT_EQ(ctx->install->stoprequested, 0) << "the next close clears the request";
    EXPECT_EQ(INS_keyabortclose(ctx), ST_OK) << "closing twice is harmless";
    ctx->progressnote = 0;
}

TEST_F(SequenceDialogs, CopyingFormDrawsTheBarFromTheCounters)
{
    ctx->modemsearch = 0;
    ASSERT_EQ(INS_keyabortopen(ctx, "Copying", "a", "b"), ST_OK);
    ctx->progressnote = 0;
    ctx->INS_currentfilesize = 3000;
    ctx->totalfilesize = 4000;
    EXPECT_EQ(INS_checkabort(ctx), ST_OK);
    EXPECT_EQ(ctx->install->progress.percent, 75);
    EXPECT_STREQ(ctx->install->progress.percenttext, "75 %");
    EXPECT_EQ(INS_keyabortclose(ctx), ST_OK);
    EXPECT_EQ(ctx->install->progress.window, nullptr);
}

// A person at the destination dialog: types a path and presses OK.
std::string typed_path;
void CALLBACK person_types_path(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dialog = FindWindowA("#32770", "ZeltaFax Installation");
    if (!dialog) return;
    KillTimer(nullptr, id);
    SetDlgItemTextA(dialog, 102, typed_path.c_str());
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(111, BN_CLICKED), LPARAM(GetDlgItem(dialog, 111)));
}

TEST_F(SequenceDialogs, RecordedAnswersReplayTheSameRun)
{
    ctx->answerfile[0] = '\0';
    UL_copytext(ctx->recordfile, src.file("recorded.ini").c_str());
    typed_path = "C:\\seqrec_" + std::to_string(GetCurrentProcessId());
    SetTimer(nullptr, 0, 100, person_types_path);
    std::uint16_t cancelled = 9;
    ASSERT_EQ(INS_proceed(ctx, &cancelled), ST_OK);
    EXPECT_EQ(cancelled, 0);
    char value[TEXTSIZE] = {};
    GetPrivateProfileStringA("992", "102", "", value, sizeof value, ctx->recordfile);
    EXPECT_EQ(std::string(value), typed_path) << "the typed destination is recorded";
    GetPrivateProfileStringA("992", "Button", "", value, sizeof value, ctx->recordfile);
    EXPECT_STREQ(value, "111");
    RemoveDirectoryA(typed_path.c_str());

    // The recording as the answer file of an unattended run.
    ctx->recordfile[0] = '\0';
    UL_copytext(ctx->answerfile, src.file("recorded.ini").c_str());
    UL_copytext(ctx->pathname, "C:\\ELSEWHERE\\");
    ASSERT_EQ(INS_proceed(ctx, &cancelled), ST_OK);
    EXPECT_EQ(cancelled, 0);
    EXPECT_EQ(std::string(ctx->pathname), typed_path + "\\");
    EXPECT_EQ(ctx->install->unattendedstatus, 0);
    RemoveDirectoryA(typed_path.c_str());
}

}  // namespace
