#include <gtest/gtest.h>

#include <string>

#include "modem/vendors.h"
#include "shell/settings.h"
#include "shell/text.h"
#include "tests/native/support/testfiles.h"

namespace {

class Settings : public ::testing::Test {
protected:
    status_t read(const std::string& ini)
    {
        dir.write("INSTALL.INI", ini);
        UL_copytext(ctx.sourcedir, (dir.path() + "/").c_str());
        return INS_readsettings(&ctx);
    }
    testfiles::tempdir dir;
    setup_context ctx{};
};

TEST_F(Settings, EmptyGeneralSectionGivesTheDefaults)
{
    ASSERT_EQ(read("[GENERAL]\r\n"), ST_OK);
    EXPECT_EQ(ctx.INS_whichprogram, 2);
    EXPECT_EQ(ctx.INS_vendor, VENDOR_MODEMBLASTER);
    EXPECT_EQ(ctx.INS_diskspace, 15);
    EXPECT_EQ(ctx.INS_cdrom, 0);
    EXPECT_EQ(ctx.INS_installprinter, 0);
    EXPECT_STREQ(ctx.INS_version, "");
    EXPECT_STREQ(ctx.INS_ati3, "");
}

TEST_F(Settings, EmptyWhichProgramReadsAsZeroNotTheDefault)
{
    ASSERT_EQ(read("[GENERAL]\nWHICHPROGRAM=\n"), ST_OK);
    EXPECT_EQ(ctx.INS_whichprogram, 0);
}

TEST_F(Settings, TheAbsentMarkerCountsAsAbsent)
{
    ASSERT_EQ(read("[GENERAL]\nWHICHPROGRAM=ZYZY\nVENDOR=ZYZY\nVERSION=ZYZY\n"), ST_OK);
    EXPECT_EQ(ctx.INS_whichprogram, 2);
    EXPECT_EQ(ctx.INS_vendor, VENDOR_MODEMBLASTER);
    EXPECT_STREQ(ctx.INS_version, "");
}

TEST_F(Settings, NumbersReadLikeAtoiAndTextsAreKept)
{
    ASSERT_EQ(read("[GENERAL]\nWHICHPROGRAM=1\nVENDOR= -31x\nCDROM=abc\nDISKSPACE=12MB\n"
                   "ATI3=5601\nINSTALLPRINTER=2\nNOCLEAN=1\nUSEVOXROCK=1\nVENDORINI=RCK\n"),
              ST_OK);
    EXPECT_EQ(ctx.INS_whichprogram, 1);
    EXPECT_EQ(ctx.INS_vendor, -31);
    EXPECT_EQ(ctx.INS_cdrom, 0);
    EXPECT_EQ(ctx.INS_diskspace, 12);
    EXPECT_STREQ(ctx.INS_ati3, "5601");
    EXPECT_EQ(ctx.INS_installprinter, 2);
    EXPECT_EQ(ctx.INS_noclean, 1);
    EXPECT_EQ(ctx.INS_iniusevoxrock, 1);
    EXPECT_STREQ(ctx.INS_vendorini, "RCK");
}

TEST_F(Settings, VersionIsCutTo31AndOtherTextsTo78)
{
    ASSERT_EQ(read("[GENERAL]\nVERSION=" + std::string(40, 'v') + "\nATI4=" + std::string(200, 'a') + "\n"), ST_OK);
    EXPECT_EQ(std::string(ctx.INS_version), std::string(31, 'v'));
    EXPECT_EQ(std::string(ctx.INS_ati4), std::string(78, 'a'));
}

TEST_F(Settings, KeysOutsideGeneralAreIgnored)
{
    ASSERT_EQ(read("[OTHER]\nWHICHPROGRAM=0\nVENDOR=31\n[GENERAL]\nDISKSPACE=9\n"), ST_OK);
    EXPECT_EQ(ctx.INS_whichprogram, 2);
    EXPECT_EQ(ctx.INS_vendor, VENDOR_MODEMBLASTER);
    EXPECT_EQ(ctx.INS_diskspace, 9);
}

TEST_F(Settings, NumbersOutOfRangeWrapTo16Bits)
{
    ASSERT_EQ(read("[GENERAL]\nVENDOR=65537\nDISKSPACE=99999999999\n"), ST_OK);
    EXPECT_EQ(ctx.INS_vendor, 1);
}

TEST(SettingsFile, MissingInstallIniIsAGeneralFailure)
{
    testfiles::tempdir dir;
    setup_context ctx{};
    UL_copytext(ctx.sourcedir, (dir.path() + "/").c_str());
    EXPECT_EQ(INS_readsettings(&ctx), ST_GENERAL);
}

}  // namespace
