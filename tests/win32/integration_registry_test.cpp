// The registry, shell link and service control manager under a real Windows
// API (Wine): what the shell registration leaves behind, read back.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlguid.h>

#include "integration/integration.h"
#include "integration/shellentries.h"
#include "tests/win32/integration_fixture.h"
#include "tests/support/logcheck.h"

namespace {

const char UNINSTALL[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VEQ Test Product";

class RegistryTest : public WineIntegrationTest {
protected:
    void TearDown() override
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, UNINSTALL);
        // The prefix is the target machine of the end-to-end runs: leave no types behind.
        for (const char* key : {"001file\\shell\\Open\\command", "001file\\shell\\Open", "001file\\shell", "001file",
                                ".001", "lgofile\\shell\\Fax\\command", "lgofile\\shell\\Fax", "lgofile\\shell",
                                "lgofile", ".lgo"})
            RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
        WineIntegrationTest::TearDown();
    }
};

TEST_F(RegistryTest, UninstallKeyHoldsDisplayNameAndCommand)
{
    // The command names the installation it removes.
    char command[200];
    ASSERT_TRUE(INS_uninstallcommand(command, sizeof command, "C:\\WINDOWS\\ZVUNINST.EXE", "C:\\ZELTAPRO\\"));
    ASSERT_EQ(INS_adduninstallkey(ctx, "VEQ Test Product", "VEQ Test Product", command), ST_OK);
    EXPECT_EQ(regvalue(HKEY_LOCAL_MACHINE, UNINSTALL, "DisplayName"), "VEQ Test Product");
    EXPECT_EQ(regvalue(HKEY_LOCAL_MACHINE, UNINSTALL, "UninstallString"),
              "\"C:\\WINDOWS\\ZVUNINST.EXE\" /PATH=\"C:\\ZELTAPRO\"");

    // A second installation replaces the values of the same key.
    ASSERT_TRUE(INS_uninstallcommand(command, sizeof command, "D:\\W\\ZVUNINST.EXE", "D:\\Fax (new)\\"));
    INS_adduninstallkey(ctx, "VEQ Test Product", "VEQ Test Product", command);
    EXPECT_EQ(regvalue(HKEY_LOCAL_MACHINE, UNINSTALL, "UninstallString"),
              "\"D:\\W\\ZVUNINST.EXE\" /PATH=\"D:\\Fax (new)\"");
}

TEST_F(RegistryTest, StringValuesAreStoredWithTheirTerminatingNul)
{
    INS_setregstring(UL_HKEY_LOCAL_MACHINE, UNINSTALL, "DisplayName", "abc");
    HKEY h;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL, 0, KEY_READ, &h), ERROR_SUCCESS);
    DWORD size = 0, type = 0;
    RegQueryValueExA(h, "DisplayName", nullptr, &type, nullptr, &size);
    RegCloseKey(h);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(size, 4u);
}

TEST_F(RegistryTest, NoKeyPathWritesNothing)
{
    EXPECT_EQ(INS_setregstring(UL_HKEY_CLASSES_ROOT, "", nullptr, "x"), ST_OK);
    EXPECT_EQ(INS_setregstring(UL_HKEY_CLASSES_ROOT, nullptr, nullptr, "x"), ST_OK);
    EXPECT_EQ(regvalue(HKEY_CLASSES_ROOT, "", nullptr), "<no value>");
}

TEST_F(RegistryTest, FaxImageAndLogoTypesAreRegisteredWithTheirVerbs)
{
    ASSERT_EQ(INS_addfiletype(ctx, "001", "Open", "C:\\FAX\\PROGRAM\\DUVOVIR.EXE %1", "Fax Image"), ST_OK);
    ASSERT_EQ(INS_addfiletype(ctx, "lgo", "Fax", "C:\\FAX\\PROGRAM\\DIDOVADA.EXE %1", "Cover Sheet Logo"), ST_OK);
    EXPECT_EQ(regvalue(HKEY_CLASSES_ROOT, ".001", nullptr), "001file");
    EXPECT_EQ(regvalue(HKEY_CLASSES_ROOT, "001file", nullptr), "Fax Image");
    EXPECT_EQ(regvalue(HKEY_CLASSES_ROOT, "001file\\shell\\Open\\command", nullptr), "C:\\FAX\\PROGRAM\\DUVOVIR.EXE %1");
    EXPECT_EQ(regvalue(HKEY_CLASSES_ROOT, ".lgo", nullptr), "lgofile");
    EXPECT_EQ(regvalue(HKEY_CLASSES_ROOT, "lgofile", nullptr), "Cover Sheet Logo");
    EXPECT_EQ(regvalue(HKEY_CLASSES_ROOT, "lgofile\\shell\\Fax\\command", nullptr), "C:\\FAX\\PROGRAM\\DIDOVADA.EXE %1");
}

struct link_fields {
    std::string path, workdir, description, icon;
    int iconindex = -1;
};

link_fields read_link(const std::string& file)
{
    link_fields out;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            WCHAR wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
            if (SUCCEEDED(persist->Load(wide, STGM_READ))) {
                char text[MAX_PATH] = {};
                link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
                out.path = text;
                link->GetWorkingDirectory(text, MAX_PATH);
                out.workdir = text;
                link->GetDescription(text, MAX_PATH);
                out.description = text;
                link->GetIconLocation(text, MAX_PATH, &out.iconindex);
                out.icon = text;
            }
            persist->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return out;
}

TEST_F(RegistryTest, ShortcutPointsAtTheProgramWithItsFolderIconAndTitle)
{
    std::string program = root + "PROGRAM\\DIDOVADA.EXE";
    CreateDirectoryA((root + "PROGRAM").c_str(), nullptr);
    write(program, "MZ");
    std::string folder = root + "links";
    CreateDirectoryA(folder.c_str(), nullptr);

    INS_makeshortcut(ctx, program.c_str(), folder.c_str(), "VEQ Test Product");
    std::string file = folder + "\\VEQ Test Product.LNK";
    ASSERT_TRUE(exists(file)) << log();
    link_fields f = read_link(file);
    EXPECT_STRCASEEQ(f.path.c_str(), program.c_str());
    EXPECT_STRCASEEQ(f.workdir.c_str(), (root + "PROGRAM").c_str());
    EXPECT_EQ(f.description, "VEQ Test Product");
    EXPECT_STRCASEEQ(f.icon.c_str(), program.c_str());
    EXPECT_EQ(f.iconindex, 0);
    EXPECT_TRUE(logcheck::contains(log(), "Save link result=0"));
}

TEST_F(RegistryTest, DesktopInAnyCaseUsesTheUsersDesktopFolder)
{
    std::string desktop = regvalue(HKEY_CURRENT_USER,
                                   "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Desktop");
    if (desktop[0] == '<') GTEST_SKIP() << "this prefix records no Desktop folder";
    std::string program = root + "DIDOVADA.EXE";
    write(program, "MZ");
    INS_makeshortcut(ctx, program.c_str(), "DESKTOP", "VEQ Test Product");
    std::string file = desktop + "\\VEQ Test Product.LNK";
    EXPECT_TRUE(exists(file)) << log();
    EXPECT_STRCASEEQ(read_link(file).path.c_str(), program.c_str());
    DeleteFileA(file.c_str());
}

TEST_F(RegistryTest, SendToFolderIsKnownToTheShell)
{
    char folder[SHELLPATHSIZE];
    ASSERT_GT(UL_getsendtofolder(folder, sizeof folder), 0u);
    EXPECT_NE(std::string(folder).find("SendTo"), std::string::npos) << folder;
}

TEST_F(RegistryTest, MissingFaxServerIsReportedAs1060)
{
    EXPECT_EQ(INS_removeservice(ctx), 1060);
    EXPECT_TRUE(logcheck::contains(log(), "Openning service:-Halvern Fax Server"));
    EXPECT_FALSE(logcheck::contains(log(), "OpenService OK"));
}

TEST_F(RegistryTest, StoppedFaxServerIsDeleted)
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager, nullptr);
    SC_HANDLE service = CreateServiceA(manager, "Halvern Fax Server", "Halvern Fax Server", SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                       "C:\\windows\\system32\\notepad.exe", nullptr, nullptr, nullptr, nullptr,
                                       nullptr);
    ASSERT_NE(service, nullptr) << GetLastError();
    CloseServiceHandle(service);

    EXPECT_EQ(INS_removeservice(ctx), ST_OK);
    EXPECT_TRUE(logcheck::contains(log(), "OpenService OK"));
    EXPECT_TRUE(logcheck::contains(log(), "before DeleteService OK"));
    service = OpenServiceA(manager, "Halvern Fax Server", SERVICE_ALL_ACCESS);
    EXPECT_EQ(service, nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SERVICE_DOES_NOT_EXIST));
    if (service) {
        DeleteService(service);
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
}

}  // namespace
