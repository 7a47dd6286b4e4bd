// The uninstaller's record reader and removal plan: whatever a user wrote
// into DATA\UNINSTAL.DAT or DATA\UNINSTAL.LST, no path outside the
// installation is planned, nothing is cut into another name, every line left
// is told with its reason, and the order leaves each directory empty when its
// turn comes.
#include <gtest/gtest.h>

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
                const char* action[] = {"file ", "tree ", "empty ", "keep "};
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

}  // namespace
