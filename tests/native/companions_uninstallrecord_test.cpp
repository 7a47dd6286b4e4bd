// The uninstaller's record reader and removal plan: whatever a user wrote
// into DATA\UNINSTAL.DAT or DATA\UNINSTAL.LST, no path outside the
// installation is planned, nothing is cut into another name, every line left
// is told with its reason, and the order leaves each directory empty when its
// turn comes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "companions/uninstall/command.cpp"
#include "companions/uninstall/record.cpp"

namespace {

struct notes {
    std::vector<std::pair<std::string, ur_reason>> left;
    std::vector<ur_entry> made;
    bool refuse_after = false;
    std::size_t limit = 0;
};

void note(void* user, const char* line, ur_reason why) { static_cast<notes*>(user)->left.push_back({line, why}); }

bool add(void* user, const ur_entry& e)
{
    notes* n = static_cast<notes*>(user);
    if (n->refuse_after && n->made.size() >= n->limit) return false;
    n->made.push_back(e);
    return true;
}

bool titles(const std::string& data, ur_titles* r, notes* n)
{
    return UR_readtitles(data.data(), data.size(), r, note, n);
}

notes made(const std::string& data, bool* ok = nullptr)
{
    notes n;
    bool read = UR_readmade(data.data(), data.size(), add, note, &n);
    if (ok) *ok = read;
    return n;
}

std::string plan(ur_recordstate state, const std::vector<ur_entry>& entries, bool deleteuserdata,
                 bool driveroot = false)
{
    std::string out;
    UR_plan(state, entries.data(), int(entries.size()), deleteuserdata, driveroot,
            [](void* user, const ur_step& s) {
                std::string& o = *static_cast<std::string*>(user);
                const char* action[] = {"file ", "tree ", "empty ", "keep ", "restore "};
                o += action[s.action];
                o += s.rel[0] ? s.rel : "<dir>";
                if (s.action == UR_KEEP) o += std::string(" (") + UR_reasontext(s.why) + ")";
                o += "; ";
            },
            &out);
    return out;
}

std::vector<ur_entry> entries(const std::string& data) { return made(data).made; }

TEST(UninstallRecord, TitleAndVerbsAreReadAndDamagedVerbLinesToldNotTaken)
{
    ur_titles r;
    notes n;
    std::string verb79(79, 'v'), verb80(80, 'v');
    ASSERT_TRUE(titles("ZeltaFax Pro\r\n001,Open\r\nlgo,&\xd6" "ffnen\r\n\r\nno comma\r\n001,..\\x\r\n001," + verb80 +
                           "\r\n001," + verb79 + "\n",
                       &r, &n));
    EXPECT_STREQ(r.title, "ZeltaFax Pro");
    ASSERT_EQ(r.count, 3) << "the good verb lines, in their order";
    EXPECT_STREQ(r.verbs[0].extension, "001");
    EXPECT_STREQ(r.verbs[1].verb, "&\xd6" "ffnen");
    EXPECT_EQ(std::string(r.verbs[2].verb), verb79) << "a verb that just fits is whole";
    ASSERT_EQ(n.left.size(), 3u) << "no comma, a path for a verb, a verb that does not fit";
    for (const auto& l : n.left) EXPECT_EQ(l.second, UR_NOT_A_RECORD_LINE) << l.first;
}

TEST(UninstallRecord, ADamagedTitleNamesNothing)
{
    std::string cases[] = {
        "",                          // no title at all
        "\r\n001,Open\r\n",          // empty first line
        "..\\..\\WINDOWS\r\n",       // a path
        "Fax)][DeleteGroup(Main\r\n",  // would end the DeleteGroup command
        std::string(80, 'T') + "\r\n",  // does not fit: never cut to another title
        std::string("Zelta\0Other\r\n", 13),  // a NUL would hide the rest
    };
    for (const std::string& c : cases) {
        ur_titles r;
        notes n;
        EXPECT_FALSE(titles(c, &r, &n)) << "title line: " << c;
        EXPECT_STREQ(r.title, "") << c;
        EXPECT_EQ(r.count, 0) << c;
    }
    ur_titles r;
    notes n;
    EXPECT_TRUE(titles(std::string(79, 'T'), &r, &n)) << "79 characters fit, line end or not";
}

TEST(UninstallRecord, VerbsBeyondTheRecordsRoomAreToldAsTooMany)
{
    std::string data = "Title\r\n";
    for (int i = 0; i < UR_MAXVERBS + 3; ++i) data += "001,V" + std::to_string(i) + "\r\n";
    ur_titles r;
    notes n;
    ASSERT_TRUE(titles(data, &r, &n));
    EXPECT_EQ(r.count, int(UR_MAXVERBS));
    ASSERT_EQ(n.left.size(), 3u);
    EXPECT_EQ(n.left[0].first, "001,V32");
    EXPECT_EQ(n.left[0].second, UR_TOO_MANY);
}

TEST(UninstallRecord, PathsLeavingTheInstallationAreToldAndNeverTaken)
{
    bool ok = false;
    std::string longpath = "F,PROGRAM\\" + std::string(600, 'A');
    notes n = made("D,PROGRAM\r\nF,PROGRAM\\ZELTAFAX.EXE\nF,..\\WINDOWS\\WIN.INI\r\nD,C:\\WINDOWS\r\n"
                   "F,\\AUTOEXEC.BAT\r\nF,PROGRAM\\..\\..\\x\r\nD,AUX\r\nX,PROGRAM\r\n" + longpath + "\r\n\r\n" +
                       std::string("F,DATA\\A\0\\..\\..\\B", 17) + "\r\n",
                   &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(n.made.size(), 2u);
    EXPECT_EQ(n.made[0].kind, 'D');
    EXPECT_STREQ(n.made[1].rel, "PROGRAM\\ZELTAFAX.EXE");
    std::vector<std::pair<std::string, ur_reason>> expected = {
        {"F,..\\WINDOWS\\WIN.INI", UR_OUTSIDE}, {"D,C:\\WINDOWS", UR_OUTSIDE},     {"F,\\AUTOEXEC.BAT", UR_OUTSIDE},
        {"F,PROGRAM\\..\\..\\x", UR_OUTSIDE},  {"D,AUX", UR_OUTSIDE},             {"X,PROGRAM", UR_NOT_A_RECORD_LINE},
    };
    ASSERT_EQ(n.left.size(), expected.size() + 2) << "the overlong line and the one with a NUL too";
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(n.left[i].first, expected[i].first);
        EXPECT_EQ(n.left[i].second, expected[i].second) << n.left[i].first;
    }
    EXPECT_EQ(n.left[6].first.substr(0, 12), "F,PROGRAM\\AA") << "the overlong line is told, not cut and taken";
    EXPECT_EQ(n.left[7].first, "F,DATA\\A") << "a NUL ends what is told, and the line is not taken";
}

TEST(UninstallRecord, ARecordThatCannotBeHeldWholeIsNotRead)
{
    notes n;
    n.refuse_after = true;
    n.limit = 1;
    std::string data = "D,PROGRAM\r\nD,DATA\r\n";
    EXPECT_FALSE(UR_readmade(data.data(), data.size(), add, note, &n));
}

TEST(UninstallPlan, FilesThenDirectoriesDeepestFirstThenTheRecordAndWhatIsEmpty)
{
    auto e = entries("D,PROGRAM\r\nD,MBOX000\r\nD,MBOX000\\DRECV\r\nD,DATA\r\nF,PROGRAM\\ZELTAFAX.EXE\r\n"
                     "F,RECEIVE\\fax.001\r\nD,SCRIPT1\\A\\B\r\n");
    EXPECT_EQ(plan(UR_RECORD_READ, e, true),
              "file PROGRAM\\ZELTAFAX.EXE; file RECEIVE\\fax.001; tree SCRIPT1\\A\\B; tree MBOX000\\DRECV; "
              "tree PROGRAM; tree MBOX000; tree DATA; file DATA\\UNINSTAL.DAT; file DATA\\UNINSTAL.LST; "
              "empty DATA; empty <dir>; ");
    EXPECT_EQ(plan(UR_RECORD_READ, e, false),
              "file PROGRAM\\ZELTAFAX.EXE; keep RECEIVE\\fax.001 (the user's data kept); tree SCRIPT1\\A\\B; "
              "keep MBOX000\\DRECV (the user's data kept); tree PROGRAM; keep MBOX000 (the user's data kept); "
              "tree DATA; file DATA\\UNINSTAL.DAT; file DATA\\UNINSTAL.LST; empty DATA; empty <dir>; ");
    // DATA there before the installation: only the record's own files go from it.
    EXPECT_EQ(plan(UR_RECORD_READ, entries("F,DATA\\X.INI\r\n"), true),
              "file DATA\\X.INI; file DATA\\UNINSTAL.DAT; file DATA\\UNINSTAL.LST; empty <dir>; ");
}

TEST(UninstallPlan, WithoutARecordTheFixedTreeGoesChildrenFirstNeverFromADrivesRoot)
{
    std::string all = plan(UR_NO_RECORD, {}, true);
    EXPECT_EQ(all.find("tree MBOX000\\FOD; tree MBOX000\\DRECV; tree MBOX000\\DSEND; tree MBOX000; tree SCRIPT9"), 0u)
        << all;
    for (const char* d : {"tree TEMP;", "tree PROGRAM;", "tree DATA;", "tree SDK;", "tree SCRIPT1;", "tree RECEIVE;"})
        EXPECT_NE(all.find(d), std::string::npos) << d << " missing from " << all;
    EXPECT_EQ(all.substr(all.size() - 13), "empty <dir>; ");
    std::string kept = plan(UR_NO_RECORD, {}, false);
    EXPECT_NE(kept.find("keep RECEIVE (the user's data kept)"), std::string::npos) << kept;
    EXPECT_EQ(kept.find("tree SEND"), std::string::npos) << kept;
    EXPECT_EQ(kept.find("tree MBOX000"), std::string::npos) << kept;
    EXPECT_EQ(plan(UR_NO_RECORD, {}, true, true), "keep <dir> (a drive's root); ");
}

TEST(UninstallPlan, AnUnreadableRecordRemovesNothing)
{
    EXPECT_EQ(plan(UR_RECORD_UNREADABLE, entries("D,PROGRAM\r\n"), true),
              "keep DATA\\UNINSTAL.LST (the record cannot be read); ");
}

TEST(UninstallCommand, LogAndResultTakeQuotedPathsAndRefuseWhatDoesNotFit)
{
    uninstall_command c;
    ASSERT_TRUE(UC_parsecommand("ZVUNINST.EXE /Y /LOG=\"C:\\My Logs\\removal.log\" -result=C:\\R.INI "
                                "/PATH=\"C:\\Fax (new)\"",
                                &c));
    EXPECT_STREQ(c.log, "C:\\My Logs\\removal.log");
    EXPECT_STREQ(c.result, "C:\\R.INI");
    EXPECT_STREQ(c.path, "C:\\Fax (new)");
    EXPECT_EQ(c.userdata, 1);
    // As the shell's "start" passes an argument with blanks: quoted whole.
    ASSERT_TRUE(UC_parsecommand("Z /N \"/LOG=C:\\My Logs\\removal.log\" \"-PATH=C:\\Fax (new)\"", &c));
    EXPECT_STREQ(c.log, "C:\\My Logs\\removal.log");
    EXPECT_STREQ(c.path, "C:\\Fax (new)");
    EXPECT_EQ(c.userdata, 0);
    EXPECT_FALSE(UC_parsecommand("ZVUNINST.EXE /N /LOG=\"C:\\My Logs\\removal.log", &c))
        << "an unclosed quote names no known file";
    std::string fits(UC_PATHSIZE - 1, 'L'), longer(UC_PATHSIZE, 'L');
    EXPECT_TRUE(UC_parsecommand(("Z /RESULT=" + fits).c_str(), &c));
    EXPECT_EQ(std::string(c.result), fits);
    EXPECT_FALSE(UC_parsecommand(("Z /LOG=" + longer).c_str(), &c)) << "a log path that does not fit is refused";
    EXPECT_FALSE(UC_parsecommand(("Z /RESULT=\"" + longer + "\"").c_str(), &c));
}

// The journal: whatever a cut, damaged or planted journal holds, a change is
// taken only as its whole line says it, outside the installation directory
// only the suite's own names, and a bad head refuses the journal whole.
struct journal {
    bool read = false;
    ur_journalhead head;
    std::vector<ur_change> changes;
    std::vector<std::pair<std::string, ur_reason>> left;
};

journal readjournal(const std::string& data, const char* windowsdir = "C:\\WINDOWS",
                    const char* systemdir = "C:\\WINDOWS\\SYSTEM\\")
{
    journal j;
    j.read = UR_readjournal(
        data.data(), data.size(), windowsdir, systemdir, &j.head,
        [](void* user, const ur_change& c) {
            static_cast<journal*>(user)->changes.push_back(c);
            return true;
        },
        [](void* user, const char* line, ur_reason why) { static_cast<journal*>(user)->left.push_back({line, why}); },
        &j);
    return j;
}

std::string line_of(const ur_change& c)
{
    char line[UL_RECORDPATH_MAX + 16];
    return UR_formatchange(c, line, sizeof line) ? line : "<unformatted>";
}

const char GOODHEAD[] = "T,ZeltaFax Pro\r\nP,C:\\ZELTA\\FAX\\\r\n";
const char GOODBODY[] = "M\r\nD,PROGRAM\r\nF,PROGRAM\\ZELTAFAX.EXE\r\nW,VEQFAX.INI\r\nS,veqmdm.dll\r\n"
                        "A,1,W,FAX.INI\r\nA,99999,F,PROGRAM\\OLD.DLL\r\nD,PROGRAM\\SUB\r\nA,3,S,ZVUNINST.EXE\r\n";

TEST(UninstallJournal, ChangeLinesReadBackAsWrittenAndStrangersAreRefused)
{
    struct good {
        const char* line;
        char kind, where;
        unsigned aside;
        const char* rel;
    } goods[] = {
        {"D,PROGRAM\\SUB", 'D', 0, 0, "PROGRAM\\SUB"},   {"F,PROGRAM\\ZELTAFAX.EXE", 'F', 0, 0, "PROGRAM\\ZELTAFAX.EXE"},
        {"W,VEQFAX.INI", 'W', 0, 0, "VEQFAX.INI"},       {"S,zvuninst.exe", 'S', 0, 0, "zvuninst.exe"},
        {"W,FAX.INI", 'W', 0, 0, "FAX.INI"},             {"A,1,F,DATA\\FAX.INI", 'A', 'F', 1, "DATA\\FAX.INI"},
        {"A,99999,W,VEQ.INI", 'A', 'W', 99999, "VEQ.INI"}, {"A,420,S,VEQMDM.DLL", 'A', 'S', 420, "VEQMDM.DLL"},
        {"G,Zelta Voice", 'G', 0, 0, "Zelta Voice"},
    };
    for (const good& g : goods) {
        ur_change c;
        ASSERT_TRUE(UR_parsechange(g.line, &c)) << g.line;
        EXPECT_EQ(c.kind, g.kind) << g.line;
        EXPECT_EQ(c.where, g.where) << g.line;
        EXPECT_EQ(c.aside, g.aside) << g.line;
        EXPECT_STREQ(c.rel, g.rel) << g.line;
        std::size_t n = std::strlen(g.line);
        std::vector<char> out(n + 1, 'x');
        EXPECT_FALSE(UR_formatchange(c, out.data(), n)) << "no room for the terminator: " << g.line;
        ASSERT_TRUE(UR_formatchange(c, out.data(), n + 1)) << g.line;
        EXPECT_STREQ(out.data(), g.line);
    }
    const char* bads[] = {
        "", "M", "T,VEQ.INI", "X,VEQ.INI", "w,VEQ.INI", "W", "W,", "W,WIN.INI", "S,USER.EXE", "W,FAX.INI.BAK",
        "W,VEQ\\..\\WIN.INI", "W,C:\\VEQ.INI", "W,..\\VEQ.INI", "S,VEQ:X", "W,VEQ*.INI", "F,..\\WIN.INI",
        "F,C:\\WINDOWS\\WIN.INI", "D,\\PROGRAM", "F,PROGRAM\\NUL.TXT", "D,COM1", "F,", "A,", "A,1", "A,1,F",
        "A,1,F,", "A,0,F,X.INI", "A,00,F,X.INI", "A,01,F,X.INI", "A,100000,F,X.INI", "A,9999999,F,X.INI",
        "A,-1,F,X.INI", "A, 1,F,X.INI", "A,1,,X.INI", "A,1,D,X.INI", "A,1,f,X.INI", "A,1,FF,X.INI",
        "A,1,W,WIN.INI", "A,1,S,KRNL386.EXE", "A,1,F,..\\WIN.INI", "A,1,F,C:\\X.INI", "A,1,F,AUX",
        "A,1,W,VEQ\\X.INI", "A,1,F,PROGRAM\\\\X", "G,", "G,Programs\\Zelta", "G,C:Zelta",
    };
    for (const char* b : bads) {
        ur_change c;
        EXPECT_FALSE(UR_parsechange(b, &c)) << b;
    }
    // A number the line cannot hold is not written as another.
    ur_change c{'A', 'F', 100000, "X.INI"};
    char out[64];
    EXPECT_FALSE(UR_formatchange(c, out, sizeof out));
    c.aside = 0;
    EXPECT_FALSE(UR_formatchange(c, out, sizeof out));
}

TEST(UninstallJournal, AGoodJournalIsReadWholeAndItsBadLinesToldNotTaken)
{
    journal j = readjournal(std::string(GOODHEAD) + GOODBODY +
                            "F,..\\WIN.INI\r\nW,WIN.INI\r\nA,0,F,X.INI\r\nMM\r\nT,Other\r\nP,C:\\OTHER\\\r\n"
                            "F,PROGRAM\\LAST.EXE");
    ASSERT_TRUE(j.read);
    EXPECT_STREQ(j.head.title, "ZeltaFax Pro");
    EXPECT_STREQ(j.head.destination, "C:\\ZELTA\\FAX\\");
    EXPECT_TRUE(j.head.madedestination);
    std::string lines;
    for (const ur_change& c : j.changes) lines += line_of(c) + "; ";
    EXPECT_EQ(lines, "D,PROGRAM; F,PROGRAM\\ZELTAFAX.EXE; W,VEQFAX.INI; S,veqmdm.dll; A,1,W,FAX.INI; "
                     "A,99999,F,PROGRAM\\OLD.DLL; D,PROGRAM\\SUB; A,3,S,ZVUNINST.EXE; ")
        << "the last line, without its line end, is not read";
    std::vector<std::pair<std::string, ur_reason>> expected = {
        {"F,..\\WIN.INI", UR_OUTSIDE},   {"W,WIN.INI", UR_OUTSIDE},           {"A,0,F,X.INI", UR_OUTSIDE},
        {"MM", UR_NOT_A_RECORD_LINE},    {"T,Other", UR_NOT_A_RECORD_LINE},   {"P,C:\\OTHER\\", UR_NOT_A_RECORD_LINE},
    };
    EXPECT_EQ(j.left, expected);

    std::string data = std::string(GOODHEAD) + GOODBODY;
    int calls = 0;
    ur_journalhead head;
    EXPECT_FALSE(UR_readjournal(data.data(), data.size(), nullptr, nullptr, &head,
                                [](void* user, const ur_change&) { return ++*static_cast<int*>(user) < 2; }, nullptr,
                                &calls))
        << "a journal that cannot be held whole is not read";
    EXPECT_EQ(calls, 2) << "nothing is added after a refusal";
}

TEST(UninstallJournal, ABadHeadRefusesTheWholeJournal)
{
    const std::string heads[] = {
        "",
        "P,C:\\ZELTA\\\r\n",
        "T,\r\nP,C:\\ZELTA\\\r\n",
        "T,Fax)][DeleteGroup(Main\r\nP,C:\\ZELTA\\\r\n",
        "T,..\\X\r\nP,C:\\ZELTA\\\r\n",
        "T," + std::string(80, 'T') + "\r\nP,C:\\ZELTA\\\r\n",
        "ZeltaFax\r\nP,C:\\ZELTA\\\r\n",
        "T,ZeltaFax\r\n",
        "T,ZeltaFax\r\nD,PROGRAM\r\nP,C:\\ZELTA\\\r\n",
        "T,ZeltaFax\r\nP,\r\n",
        "T,ZeltaFax\r\nP,C:\\\r\n",
        "T,ZeltaFax\r\nP,d:\\\r\n",
        "T,ZeltaFax\r\nP,C:\\\\\r\n",
        "T,ZeltaFax\r\nP,C:\\WINDOWS\\\r\n",
        "T,ZeltaFax\r\nP,c:\\windows\\\r\n",
        "T,ZeltaFax\r\nP,C:\\WINDOWS\r\n",
        "T,ZeltaFax\r\nP,C:\\WINDOWS.\\\r\n",   // Windows drops a component's last dots and blanks
        "T,ZeltaFax\r\nP,C:\\WINDOWS \\\r\n",
        "T,ZeltaFax\r\nP,C:\\WINDOWS\\SYSTEM\\\r\n",
        "T,ZeltaFax\r\nP,C:\\Windows\\System. .\\\r\n",
        "T,ZeltaFax\r\nP,ZELTA\\\r\n",
        "T,ZeltaFax\r\nP,\\ZELTA\\\r\n",
        "T,ZeltaFax\r\nP,C:ZELTA\\\r\n",
        "T,ZeltaFax\r\nP,\\\\SERVER\\SHARE\\\r\n",
        "T,ZeltaFax\r\nP,C:\\ZELTA\\..\\WINDOWS\\\r\n",
        "T,ZeltaFax\r\nP,C:\\ZELTA\\..\\\r\n",
        "T,ZeltaFax\r\nP,C:\\ZELTA\r\n",
        "T,ZeltaFax\r\nP,C:\\ZELTA\\\\FAX\\\r\n",
        "T,ZeltaFax\r\nP,C:\\AUX\\\r\n",
        "T,ZeltaFax\r\nP,C:/ZELTA/\r\n",
        std::string("T,ZeltaFax\r\nP,C:\\ZELTA\\\0\r\n", 26),
    };
    // The Windows and system directories as the system gives them, with and without their backslash.
    const char* dirs[][2] = {{"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM"}, {"C:\\WINDOWS\\", "C:\\WINDOWS\\SYSTEM\\"}};
    for (const auto& d : dirs) {
        for (const std::string& h : heads) {
            journal j = readjournal(h + GOODBODY, d[0], d[1]);
            EXPECT_FALSE(j.read) << h;
            EXPECT_TRUE(j.changes.empty() && j.left.empty()) << h;
            EXPECT_STREQ(j.head.title, "") << h;
            EXPECT_STREQ(j.head.destination, "") << h;
            EXPECT_FALSE(j.head.madedestination) << h;
        }
        journal below = readjournal(std::string("T,ZeltaFax\r\nP,C:\\WINDOWS\\ZELTA\\\r\n") + GOODBODY, d[0], d[1]);
        EXPECT_TRUE(below.read) << "a directory below Windows' own is the user's choice";
        EXPECT_EQ(below.changes.size(), 8u);
    }
    EXPECT_FALSE(readjournal(std::string("T,ZeltaFax\r\nP,D:\\OS\\\r\n") + GOODBODY, "D:\\OS\\WIN98",
                             "D:\\OS\\WIN98\\SYSTEM").read)
        << "a destination that holds the Windows directory";
}

// A journal cut at any byte, as a run that stopped leaves it: what it adds is
// the start of what the whole journal holds, in its order, and its head is
// the whole journal's or nothing (a cut P line would name a parent directory).
TEST(UninstallJournal, AJournalCutAnywhereAddsOnlyTheStartOfWhatItHeld)
{
    const std::string data = std::string(GOODHEAD) + GOODBODY;
    const journal whole = readjournal(data);
    ASSERT_TRUE(whole.read);
    ASSERT_EQ(whole.changes.size(), 8u);
    std::size_t taken = 0;
    for (std::size_t k = 0; k <= data.size(); ++k) {
        journal j = readjournal(data.substr(0, k));
        EXPECT_TRUE(j.left.empty()) << "a cut line is not told either: " << k;
        if (!j.read) {
            EXPECT_TRUE(k < std::strlen(GOODHEAD) && j.changes.empty() && j.head.title[0] == '\0') << k;
            continue;
        }
        EXPECT_STREQ(j.head.title, whole.head.title) << k;
        EXPECT_STREQ(j.head.destination, whole.head.destination) << k;
        EXPECT_TRUE(!j.head.madedestination || whole.head.madedestination) << k;
        ASSERT_LE(j.changes.size(), whole.changes.size()) << k;
        for (std::size_t i = 0; i < j.changes.size(); ++i)
            EXPECT_EQ(line_of(j.changes[i]), line_of(whole.changes[i])) << k;
        EXPECT_GE(j.changes.size(), taken) << "a longer journal holds all a shorter one did: " << k;
        taken = j.changes.size();
    }
    EXPECT_EQ(taken, whole.changes.size());
}

std::string undo(const journal& j)
{
    std::string out;
    UR_planundo(j.head, j.changes.data(), int(j.changes.size()),
                [](void* user, const ur_step& s) {
                    std::string& o = *static_cast<std::string*>(user);
                    const char* action[] = {"file ", "tree ", "empty ", "keep ", "restore "};
                    o += action[s.action];
                    if (s.where) o += std::string(1, s.where) + ":";
                    o += s.rel[0] ? s.rel : "<dir>";
                    if (s.action == UR_RESTORE) o += "#" + std::to_string(s.aside);
                    o += "; ";
                },
                &out);
    return out;
}

TEST(UninstallUndo, NewestFirstThenDirectoriesDeepestFirstWhenEmptyThenTheDirectoryMade)
{
    const std::string body = "D,PROGRAM\r\nF,PROGRAM\\A.EXE\r\nA,1,W,FAX.INI\r\nD,PROGRAM\\SUB\r\nD,DATA\r\n"
                             "F,PROGRAM\\SUB\\B.DLL\r\nW,VEQFAX.INI\r\nA,2,F,DATA\\X.INI\r\nD,PROGRAM\\SUB\\DEEP\r\n"
                             "S,VEQMDM.DLL\r\nA,3,F,PROGRAM\\A.EXE\r\n";
    const std::string steps = "restore PROGRAM\\A.EXE#3; file S:VEQMDM.DLL; restore DATA\\X.INI#2; file W:VEQFAX.INI; "
                              "file PROGRAM\\SUB\\B.DLL; restore W:FAX.INI#1; file PROGRAM\\A.EXE; "
                              "empty PROGRAM\\SUB\\DEEP; empty PROGRAM\\SUB; empty DATA; empty PROGRAM; ";
    EXPECT_EQ(undo(readjournal("T,ZeltaFax\r\nP,C:\\ZELTA\\\r\n" + body)), steps);
    EXPECT_EQ(undo(readjournal("T,ZeltaFax\r\nP,C:\\ZELTA\\\r\n" + body + "M\r\n")), steps + "empty <dir>; ")
        << "the directory goes only when the run made it";
    EXPECT_EQ(undo(readjournal("T,ZeltaFax\r\nP,C:\\ZELTA\\\r\nM\r\n")), "empty <dir>; ");
}

}  // namespace
