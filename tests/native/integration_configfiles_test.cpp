#include "integration/configfiles.h"
#include "integration/integration.h"
#include "modem/vendors.h"
#include "tests/native/integration_fixture.h"
#include "tests/support/logcheck.h"

namespace {

class ConfigFiles : public IntegrationTest {
protected:
    void SetUp() override
    {
        IntegrationTest::SetUp();
        UL_copytext(ctx->productname, "DIDOVADA");
        UL_copytext(ctx->username, "Ann Smith");
        UL_copytext(ctx->companyname, "");
        UL_copytext(ctx->address1, "1 Main St");
        UL_copytext(ctx->address2, "Springfield");
        UL_copytext(ctx->datanumber, "555-1000");
        UL_copytext(ctx->terminalid, "+1 555 1001");
        UL_copytext(ctx->phonenumber, "555-1002");
        ctx->comport = 2;
    }
    std::string productini() const { return read(root + "/dest/DATA/DIDOVADA.ini"); }
    std::string faxini() const { return read(root + "/windows/FAX.ini"); }
};

TEST_F(ConfigFiles, FirstInstallationWritesEveryRowInTableOrder)
{
    ctx->INS_vendor = VENDOR_PCTEL;
    ASSERT_EQ(INS_addproductini(ctx), ST_OK);
    std::string p = root + "/dest/PROGRAM/ZELTATRM.EXE";
    std::string d = root + "/dest/DATA/";
    EXPECT_EQ(productini(),
              "[GENERAL]\r\nUSERNAME=Ann Smith\r\nCOMPANYNAME=\r\nADDRESS1=1 Main St\r\nADDRESS2=Springfield\r\n"
              "DATANUMBER=555-1000\r\nFAXNUMBER=+1 555 1001\r\nPHONENUMBER=555-1002\r\n"
              "COMMPROGRAMNAME0=" + p + "\r\n"
              "[VEQFAX1]\r\nCOMPORT=2\r\nMAXRATE=3\r\n"
              "[VOICE]\r\nFAXBACK1=" + d + "FLOCHART\r\nFAXBACK2=" + d + "PRICE\r\n");
}

TEST_F(ConfigFiles, FirmwareFlagIsWrittenOnlyForVendor31)
{
    ctx->INS_vendor = VENDOR_USROBOTICS;
    ctx->usrversion = 0;
    ASSERT_EQ(INS_addproductini(ctx), ST_OK);
    EXPECT_NE(productini().find("[HARDWARE]\r\nVERSION=0\r\n[VOICE]"), std::string::npos) << productini();

    const std::int16_t codes[] = {VENDOR_CLS_GENERIC, 30, 32, VENDOR_FAXONLY};
    for (std::int16_t vendor : codes) {
        std::filesystem::remove(root + "/dest/DATA/DIDOVADA.ini");
        ctx->INS_vendor = vendor;
        ASSERT_EQ(INS_addproductini(ctx), ST_OK);
        EXPECT_EQ(productini().find("HARDWARE"), std::string::npos) << "vendor " << vendor;
    }
}

TEST_F(ConfigFiles, EachProductWritesItsOwnFileBesideTheOthers)
{
    ASSERT_EQ(INS_addproductini(ctx), ST_OK);
    UL_copytext(ctx->productname, "ZELTAPRO");
    ctx->comport = 4;
    ASSERT_EQ(INS_addproductini(ctx), ST_OK);
    EXPECT_NE(read(root + "/dest/DATA/ZELTAPRO.ini").find("COMPORT=4"), std::string::npos);
    EXPECT_NE(productini().find("COMPORT=2"), std::string::npos) << "the other product's file is untouched";
}

TEST_F(ConfigFiles, ReinstallationReplacesOurKeysAndKeepsTheRest)
{
    write(root + "/dest/DATA/DIDOVADA.ini",
          "[GENERAL]\r\nUSERNAME=Old Name\r\nLANGUAGE=GER\r\n[VEQFAX1]\r\nCOMPORT=4\r\nRINGS=3\r\n[USER]\r\nX=1\r\n");
    ctx->comport = 8;
    ASSERT_EQ(INS_addproductini(ctx), ST_OK);
    std::string ini = productini();
    EXPECT_NE(ini.find("USERNAME=Ann Smith"), std::string::npos);
    EXPECT_EQ(ini.find("Old Name"), std::string::npos);
    EXPECT_NE(ini.find("LANGUAGE=GER"), std::string::npos);
    EXPECT_NE(ini.find("COMPORT=8"), std::string::npos);
    EXPECT_EQ(ini.find("COMPORT=4"), std::string::npos);
    EXPECT_NE(ini.find("RINGS=3"), std::string::npos);
    EXPECT_NE(ini.find("[USER]\r\nX=1"), std::string::npos);
}

TEST_F(ConfigFiles, UnwritableProductFileStopsWith2213AndNamesTheFile)
{
    dir(ctx->datadir, "/missing/DATA/");
    EXPECT_EQ(INS_addproductini(ctx), 2213);
    EXPECT_EQ(ctx->lasterror, 2213);
    EXPECT_NE(std::string(ctx->lasterrortext).find("DIDOVADA.ini"), std::string::npos);
}

TEST_F(ConfigFiles, FaxIniTemplateWithoutProgramGetsOnlyThePath)
{
    write(root + "/windows/FAX.INI", "[FAX]\r\nMODEM=1\r\n");
    ASSERT_EQ(INS_addfaxini(ctx), ST_OK);
    // The template and FAX.ini are the same file on Windows; the double is case sensitive.
    std::string ini = read(root + "/windows/FAX.ini");
    EXPECT_EQ(ini, "[FAX]\r\nPATH=" + root + "/dest/\r\n");
    EXPECT_TRUE(logcheck::contains(log(), "programrc = 0"));
}

TEST_F(ConfigFiles, FaxIniWithAnyProgramValueGetsTheTaskPath)
{
    write(root + "/windows/FAX.ini", "[FAX]\r\nPROGRAM=X\r\nMODEM=1\r\n");
    ASSERT_EQ(INS_addfaxini(ctx), ST_OK);
    EXPECT_EQ(faxini(), "[FAX]\r\nPROGRAM=" + root + "/dest/PROGRAM\\VEQTASK.EXE\r\nMODEM=1\r\nPATH=" + root +
                            "/dest/\r\n");
    EXPECT_TRUE(logcheck::contains(log(), "programrc = 1"));
}

TEST_F(ConfigFiles, FaxIniWithAnEmptyProgramValueIsLeftWithoutIt)
{
    write(root + "/windows/FAX.ini", "[FAX]\r\nPROGRAM=\r\n");
    ASSERT_EQ(INS_addfaxini(ctx), ST_OK);
    EXPECT_NE(faxini().find("PROGRAM=\r\n"), std::string::npos) << faxini();
}

TEST_F(ConfigFiles, UnwritableFaxIniStopsWith2213)
{
    dir(ctx->windowsdir, "/nowhere/");
    EXPECT_EQ(INS_addfaxini(ctx), 2213);
}

}  // namespace
