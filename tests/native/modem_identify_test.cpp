// The identification's decision tree against the modem profiles of
// media/modems and against modems scripted for one branch each.
#include <regex>

#include "modem/atcommand.h"
#include "modem/identify.h"
#include "modem/modem.h"
#include "modem/vendors.h"
#include "tests/native/modem_identifyfixture.h"

namespace {

int code_in_name(const std::string& name)
{
    std::smatch m;
    std::regex_search(name, m, std::regex("^vendor([0-9]+)-"));
    return std::stoi(m[1]);
}

}  // namespace

class Identify : public IdentifyingTest {
protected:
    void SetUp() override
    {
        IdentifyingTest::SetUp();
        ctx->resourcelib = reinterpret_cast<ul_module>(1);
        doubles::strings = {{7104, "Didovada Fax"}, {7114, "Roderora Voice"}, {7124, "Rorar Voice Pro"}};
    }

    status_t detect(const std::string& profile)
    {
        attach(profile);
        return INS_detectmodem(ctx);
    }

    std::string icon() const { return ctx->producticon ? static_cast<const char*>(ctx->producticon) : ""; }
};

class EveryProfile : public Identify, public ::testing::WithParamInterface<std::string> {};

TEST_P(EveryProfile, GivesTheVendorCodeInItsName)
{
    const std::string name = GetParam();
    ASSERT_EQ(detect(name), ST_OK) << logtext();
    EXPECT_EQ(ctx->INS_vendor, code_in_name(name)) << logtext();
    EXPECT_TRUE(logged("INS_vendor = " + std::to_string(code_in_name(name))));
    EXPECT_EQ(ctx->atiblock, nullptr) << "the answer block is freed";
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED) << "detection closes the port";
    EXPECT_EQ(doubles::serialdtrdrops, 1);
    EXPECT_TRUE(logged("INS_modem = " + std::to_string(ctx->INS_modem)));
}

// The fuzz targets let the virtual time of a port with nothing on its way pass
// a second per read; what the identification finds, sends and traces must not change.
TEST_P(EveryProfile, FindsTheSameWhenIdleTimePassesInSteps)
{
    const setup_context before = *ctx;
    auto commands = [] {
        std::string text;
        for (const auto& [when, byte] : doubles::serialwritten) text += char(byte);
        return text;
    };
    ASSERT_EQ(detect(GetParam()), ST_OK);
    const setup_context polled = *ctx;
    const std::string sent = commands(), trace = logtext();
    const int reads = doubles::serialreads;

    *ctx = before;
    doubles::serialreset();
    doubles::painted.clear();
    doubles::serialidlestep = 1000;
    ASSERT_EQ(detect(GetParam()), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, polled.INS_vendor);
    EXPECT_EQ(ctx->INS_modem, polled.INS_modem);
    EXPECT_EQ(ctx->usrversion, polled.usrversion);
    EXPECT_EQ(ctx->atimatchcode, polled.atimatchcode);
    EXPECT_STREQ(ctx->INS_vendorini, polled.INS_vendorini);
    EXPECT_EQ(commands(), sent);
    EXPECT_EQ(logtext(), trace);
    EXPECT_LE(doubles::serialreads, reads);
}

INSTANTIATE_TEST_SUITE_P(MediaModems, EveryProfile, ::testing::ValuesIn(vendor_profiles()), profile_test_name);

TEST(ModemProfiles, CoverEveryVendorCodeOfTheTree)
{
    std::set<int> covered;
    for (const auto& name : vendor_profiles()) covered.insert(code_in_name(name));
    for (int code : {0, 3, 5, 6, 7, 8, 9, 11, 12, 13, 18, 21, 22, 31, 41, 51, 52, 59, 60, 61, 63, 64, 65, 98})
        EXPECT_TRUE(covered.count(code)) << "no profile for vendor code " << code;
}

TEST_F(Identify, PresetVendorSendsNothingAndStillEnds)
{
    ctx->INS_vendor = VENDOR_CIRRUS_VCID;
    ASSERT_EQ(detect("vendor31-usr.modem"), ST_OK);
    EXPECT_TRUE(commands().empty());
    EXPECT_TRUE(logged("No autodetect-Vendor=12"));
    EXPECT_TRUE(logged("INS_vendor = 12"));
    EXPECT_TRUE(logged("INS_whichprog = 2"));
    EXPECT_EQ(ctx->INS_modem, 7) << "the class is left as it came";
}

TEST_F(Identify, PresetVendor31RunsOnlyTheFirmwareCheck)
{
    ctx->INS_vendor = VENDOR_USROBOTICS;
    ASSERT_EQ(detect("vendor31-usr.modem"), ST_OK);
    EXPECT_EQ(commands(), (std::vector<std::string>{"AT#VLS=1", "AT#VRX"}));
    EXPECT_EQ(ctx->usrversion, 0);
}

TEST_F(Identify, FaxOnlyModemSwitchesToTheFaxProductWithoutAtiQueries)
{
    ASSERT_EQ(detect("vendor98-faxonly.modem"), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_FAXONLY);
    EXPECT_EQ(ctx->INS_modem, 2);
    EXPECT_EQ(ctx->INS_whichprogram, 0);
    EXPECT_STREQ(ctx->producttitle, "Didovada Fax");
    EXPECT_EQ(icon(), "DIDOVADA");
    EXPECT_EQ(commands(), (std::vector<std::string>{"AT+FCLASS=8", "AT#CLS=8"}));
    EXPECT_TRUE(logged("not voice modem"));
    EXPECT_TRUE(logged("Didovada install"));
    EXPECT_TRUE(logged("INS_modem = 2"));
}

TEST_F(Identify, FaxProductFromTheSettingsSkipsTheTreeOnAVoiceModem)
{
    ctx->INS_whichprogram = 0;
    ASSERT_EQ(detect("vendor31-usr.modem"), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_FAXONLY);
    EXPECT_FALSE(sent("ATI3"));
    EXPECT_FALSE(logged("not voice modem"));
}

TEST_F(Identify, EndOfTheTreeTurnsProductOneIntoTheFaxProduct)
{
    ctx->INS_whichprogram = 1;
    ASSERT_EQ(detect("vendor98-unknown-voice.modem"), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_FAXONLY);
    EXPECT_EQ(ctx->INS_modem, 2);
    EXPECT_EQ(ctx->INS_whichprogram, 0);
    EXPECT_STREQ(ctx->producttitle, "Didovada Fax");
    EXPECT_TRUE(sent("AT+FCLASS=?"));
}

TEST_F(Identify, EndOfTheTreeKeepsProductTwoAndItsTitle)
{
    ctx->INS_whichprogram = 2;
    std::snprintf(ctx->producttitle, sizeof ctx->producttitle, "%s", "Rorar Voice Pro");
    ASSERT_EQ(detect("vendor98-unknown-voice.modem"), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_FAXONLY);
    EXPECT_EQ(ctx->INS_whichprogram, 2);
    EXPECT_STREQ(ctx->producttitle, "Rorar Voice Pro");
}

TEST_F(Identify, ClsBranchSetsModemClassThree)
{
    ASSERT_EQ(detect("vendor09-hayes.modem"), ST_OK);
    EXPECT_EQ(ctx->INS_modem, 3);
    EXPECT_TRUE(logged("xafter=AT#CLS=8"));
    EXPECT_TRUE(logged("after AT#CLS=8"));
    EXPECT_FALSE(sent("AT#VSR=?")) << "the answer tests come first";
}

TEST_F(Identify, OtherResultsLeaveTheModemClassAlone)
{
    ASSERT_EQ(detect("vendor41-vsm.modem"), ST_OK);
    EXPECT_EQ(ctx->INS_modem, 7);
    EXPECT_TRUE(sent("AT+ES=?"));
}

TEST_F(Identify, MakerFoundEndsBeforeTheAtiQueriesAndEmptiesTheTag)
{
    std::snprintf(ctx->INS_vendorini, sizeof ctx->INS_vendorini, "%s", "OLD");
    ASSERT_EQ(detect("vendor63-lucent.modem"), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_LUCENT);
    EXPECT_STREQ(ctx->INS_vendorini, "");
    EXPECT_FALSE(sent("ATI3"));
    EXPECT_TRUE(loggedstart("found CM_buffer=AT+GMI?\r\r\nLucent Technologies"));
}

// "conexant" in lower case is a Conexant; "phoneblaster" in lower case is no PhoneBlaster.
TEST_F(Identify, MakerAnswersAreUpperCased)
{
    ASSERT_EQ(detect("vendor65-conexant.modem"), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_CONEXANT_IS101);
}

TEST_F(Identify, AtiAnswersAreNotUpperCased)
{
    attach_text("unknown = ERROR\n[AT#CLS=8]\n[AT#CLS=0]\n[ATI4]\nanswer = creative phoneblaster\n"
                "[ATI3]\n[ATI7]\n[ATI2]\n");
    ASSERT_EQ(INS_detectmodem(ctx), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_CLS_GENERIC);
}

TEST_F(Identify, MakerAnswerIsCutTo255Characters)
{
    std::string longanswer = std::string(270, 'x') + "MOTOROLA";
    attach_text("unknown = ERROR\n[AT+FCLASS=8]\n[AT+FCLASS=0]\n[AT+GMI?]\nanswer = " + longanswer +
                "\n[AT+FCLASS=?]\n");
    ASSERT_EQ(INS_detectmodem(ctx), ST_OK);
    EXPECT_TRUE(logged("No maker matched"));
    EXPECT_EQ(ctx->INS_vendor, VENDOR_FAXONLY);
}

TEST_F(Identify, MfrQueryNamesMotorola)
{
    attach_text("unknown = ERROR\n[AT+FCLASS=8]\n[AT+FCLASS=0]\n[AT#MFR?]\nanswer = Motorola\n");
    ASSERT_EQ(INS_detectmodem(ctx), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_MOTOROLA);
}

TEST_F(Identify, MfrQueryNamesEssTechnology)
{
    attach_text("unknown = ERROR\n[AT+FCLASS=8]\n[AT+FCLASS=0]\n[AT#MFR?]\nanswer = ess technology inc\n");
    ASSERT_EQ(INS_detectmodem(ctx), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_ESS);
}

TEST_F(Identify, MfrAnswerEssAloneIsNoMaker)
{
    attach_text("unknown = ERROR\n[AT+FCLASS=8]\n[AT+FCLASS=0]\n[AT#MFR?]\nanswer = ESS\n[AT+FCLASS=?]\n");
    ASSERT_EQ(INS_detectmodem(ctx), ST_OK);
    EXPECT_TRUE(logged("No maker matched 2")) << "ESS alone is not ESS TECHNOLOGY";
    EXPECT_EQ(ctx->INS_vendor, VENDOR_FAXONLY);
}

TEST_F(Identify, Is101SectionMatchesBeforeTheVoiceCompressionQuery)
{
    ASSERT_EQ(detect("vendor45-is101match.modem"), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, 45);
    EXPECT_STREQ(ctx->INS_vendorini, "T45") << "the tag is trimmed";
    EXPECT_FALSE(sent("AT+VSM=?"));
    EXPECT_TRUE(logged("INS_checkatimatch is101=1"));
    EXPECT_TRUE(logged("title=IS101MATCH1"));
    EXPECT_TRUE(logged("ati3 s=TESTCHIP 4711"));
    EXPECT_EQ(logcount("found vendor=45"), 2);
    EXPECT_TRUE(logged("check vendorini=T45"));
}

TEST_F(Identify, VendorSectionsEndAtTheFirstGap)
{
    write_ini("[VENDORMATCH1]\nVENDOR=70\nVENDORINI=V70\nATI4=nothing like it\n"
              "[VENDORMATCH3]\nVENDOR=47\nVENDORINI=A47\nATI7=ACME VOICE\n",
              dir);
    ASSERT_EQ(detect("vendor47-vendormatch.modem"), ST_OK);
    EXPECT_TRUE(logged("title=VENDORMATCH2"));
    EXPECT_FALSE(logged("title=VENDORMATCH3"));
    EXPECT_TRUE(logged("ATI not found"));
    EXPECT_NE(ctx->INS_vendor, 47);
}

TEST_F(Identify, SectionWithoutVendoriniEndsTheList)
{
    write_ini("[IS101MATCH1]\nVENDOR=45\nATI3=TESTCHIP\n[IS101MATCH2]\nVENDOR=46\nVENDORINI=X\nATI3=TESTCHIP\n", dir);
    ASSERT_EQ(detect("vendor45-is101match.modem"), ST_OK);
    EXPECT_FALSE(logged("title=IS101MATCH2"));
    EXPECT_NE(ctx->INS_vendor, 45);
    EXPECT_NE(ctx->INS_vendor, 46);
}

TEST_F(Identify, SectionMatchesOnAnyOfItsTextsAndZyzyCountsAsAbsent)
{
    write_ini("[IS101MATCH1]\nVENDOR=80\nVENDORINI=ZZ\nATI3=ZYZY\nATI4=not there\nATI7=OK\n", dir);
    ASSERT_EQ(detect("vendor45-is101match.modem"), ST_OK) << logtext();
    EXPECT_EQ(ctx->INS_vendor, 80) << "the third text matches";
    EXPECT_FALSE(logged("ati3 s=ZYZY")) << "a ZYZY value is no pattern";
    EXPECT_TRUE(logged("ati4 s=not there"));
    EXPECT_TRUE(logged("ati7 s=OK"));
}

TEST_F(Identify, LongVendoriniIsCutToElevenCharacters)
{
    write_ini("[IS101MATCH1]\nVENDOR=45\nVENDORINI=  ABCDEFGHIJKLMNOP  \nATI3=TESTCHIP\n", dir);
    ASSERT_EQ(detect("vendor45-is101match.modem"), ST_OK);
    EXPECT_STREQ(ctx->INS_vendorini, "ABCDEFGHIJK");
}

TEST_F(Identify, InstallIniIsReadBesideTheProgramElseFromTheSource)
{
    std::filesystem::remove(dir / "INSTALL.INI");
    std::filesystem::create_directories(dir / "src");
    std::snprintf(ctx->sourcedir, sizeof ctx->sourcedir, "%s", (dir.string() + "/src/").c_str());
    write_ini("[IS101MATCH1]\nVENDOR=45\nVENDORINI=S45\nATI3=TESTCHIP\n", dir / "src");
    ASSERT_EQ(detect("vendor45-is101match.modem"), ST_OK);
    EXPECT_STREQ(ctx->INS_vendorini, "S45");

    char value[TEXTSIZE];
    write_ini("[IS101MATCH1]\nVENDOR=46\n", dir);
    ASSERT_EQ(INS_readinstallkey(ctx, "IS101MATCH1", "VENDOR", value), ST_OK);
    EXPECT_STREQ(value, "46") << "the program's own directory comes first";
    ASSERT_EQ(INS_readinstallkey(ctx, "IS101MATCH1", "VENDORINI", value), ST_OK);
    EXPECT_STREQ(value, "");
}

TEST_F(Identify, MissingInstallIniEndsTheIdentificationAndClosesThePort)
{
    std::filesystem::remove(dir / "INSTALL.INI");
    EXPECT_EQ(detect("vendor41-vsm.modem"), ST_GENERAL);
    EXPECT_EQ(ctx->atiblock, nullptr);
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED);
    EXPECT_TRUE(logged("Error in INS_detectmodem = 13002"));
    EXPECT_FALSE(sent("AT+VSM=?"));
}

TEST_F(Identify, ModemThatRefusesTheFclassWayBackFailsTheIdentification)
{
    attach_text("unknown = ERROR\n[AT+FCLASS=8]\n");
    EXPECT_EQ(INS_detectmodem(ctx), ST_NO_OK);
    EXPECT_TRUE(logged("Invalid command = AT+FCLASS=0"));
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED);
}

TEST_F(Identify, ModemThatRefusesTheClsWayBackFailsTheIdentification)
{
    attach_text("unknown = ERROR\n[AT+FCLASS=8]\n[AT+FCLASS=0]\n[AT+GMI?]\nanswer = Motorola\n[AT#CLS=8]\n");
    EXPECT_EQ(INS_detectmodem(ctx), ST_NO_OK) << "AT#CLS=0 refused after AT#CLS=8";
    EXPECT_TRUE(logged("after AT#CLS=8"));
}

TEST_F(Identify, ZyxelAnswersThatFailAreNoFailure)
{
    attach_text("unknown = ERROR\n[AT#CLS=8]\n[AT#CLS=0]\n[ATI3]\n[ATI4]\n[ATI7]\n[ATI2]\nanswer = ZyXEL\n");
    ASSERT_EQ(INS_detectmodem(ctx), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_ZYXEL) << "ATI refused still means a ZyXEL";
    EXPECT_FALSE(sent("AT#VLS=6"));
}

TEST_F(Identify, AtiPatternsOfTheSettingsFollowTheirOrder)
{
    std::snprintf(ctx->INS_ati3a, sizeof ctx->INS_ati3a, "%s", "TESTCHIP");
    std::snprintf(ctx->INS_ati4, sizeof ctx->INS_ati4, "%s", "TESTCHIP");
    write_ini("[GENERAL]\n", dir);
    ASSERT_EQ(detect("vendor45-is101match.modem"), ST_OK);
    EXPECT_EQ(ctx->atimatchcode, 6) << "ATI3A before ATI4; the ATI4 answer is empty anyway";
    EXPECT_TRUE(logged("checkati=6"));
}

TEST_F(Identify, FaxPatternInAti4SkipsTheClsBranch)
{
    std::snprintf(ctx->INS_ati4fax, sizeof ctx->INS_ati4fax, "%s", "Voice");
    ASSERT_EQ(detect("vendor98-unknown-voice.modem"), ST_OK);
    EXPECT_EQ(ctx->atimatchcode, 5);
    EXPECT_TRUE(logged("ati4fax=Voice"));
    EXPECT_FALSE(sent("AT#CLS=8"));
    EXPECT_TRUE(sent("AT#VS1"));
    EXPECT_EQ(ctx->INS_vendor, VENDOR_FAXONLY);
}

TEST_F(Identify, NewFirmwareIsToldByItsSilenceSamplesAfterACancel)
{
    ASSERT_EQ(detect("vendor31-usr.modem"), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_USROBOTICS);
    EXPECT_EQ(ctx->usrversion, 0);
    EXPECT_TRUE(logged("sending cancel"));
    EXPECT_EQ(doubles::modems.at(2).cancels, 1);
    EXPECT_FALSE(logged("timeout")) << "the DLE ETX after the cancel ends the watch";
    EXPECT_TRUE(logged("usrversion=0"));
}

TEST_F(Identify, OldFirmwareEndsItsDataBeforeTheCancel)
{
    ASSERT_EQ(detect("vendor31-usr-oldfirmware.modem"), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_USROBOTICS);
    EXPECT_EQ(ctx->usrversion, 1);
    EXPECT_FALSE(logged("sending cancel"));
    EXPECT_EQ(doubles::modems.at(2).cancels, 0);
    EXPECT_TRUE(logged("c1=128"));
}

namespace {
const std::string usr_base =
    "unknown = ERROR\n[AT#CLS=8]\n[AT#CLS=0]\n[ATI3]\n[ATI4]\n[ATI7]\n[AT#VSR=?]\nanswer = 8000\n";
}

TEST_F(Identify, PortThatCannotBeOpenedEndsTheDetectionWithItsErrorLine)
{
    doubles::serialports = {1};  // COM2 cannot be opened
    EXPECT_EQ(INS_detectmodem(ctx), 900);
    EXPECT_TRUE(logged("Error in INS_detectmodem = 900")) << logtext();
}

TEST_F(Identify, PortThatTakesNoOutputEndsTheIdentificationWith8141InTime)
{
    attach("vendor41-vsm.modem");
    doubles::serialnooutput = true;
    std::uint32_t t0 = doubles::clock_ms;
    EXPECT_EQ(INS_detectmodem(ctx), ST_PORT_CLOSED) << logtext();
    EXPECT_LT(doubles::clock_ms - t0, 10000u) << "the whole identification, not one byte";
    EXPECT_EQ(doubles::serialwritecalls, 1);
    EXPECT_TRUE(logged("Error in INS_detectmodem = 8141")) << logtext();
    EXPECT_EQ(ctx->atiblock, nullptr);
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED) << "the port is closed again";
}

TEST_F(Identify, FirmwareCheckWithoutVoiceAnswerIsTracedAndIgnored)
{
    attach_text(usr_base);
    ASSERT_EQ(INS_detectmodem(ctx), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_USROBOTICS);
    EXPECT_EQ(ctx->usrversion, 1);
    EXPECT_TRUE(logged("Error in INS_checkusrversion = 900"));
    EXPECT_FALSE(sent("AT#VRX"));
}

TEST_F(Identify, FirmwareCheckGivesUpAfterFiveSecondsOfEndlessData)
{
    attach_text(usr_base + "[AT#VLS=1]\nfinal = CONNECT\n[AT#VRX]\nfinal = CONNECT\nstream = B6 60000\n"
                           "streamend = none\noncancel = ignore\n");
    std::int16_t version = 9;
    ASSERT_EQ(CM_opencomm(ctx, 2), ST_OK);
    std::uint32_t t0 = doubles::clock_ms;
    ASSERT_EQ(INS_checkusrversion(ctx, &version), ST_OK);
    EXPECT_TRUE(logged("timeout"));
    EXPECT_TRUE(logged("sending cancel"));
    EXPECT_EQ(logcount("sending cancel"), 1);
    EXPECT_EQ(version, 0) << "B6 samples after CONNECT";
    EXPECT_GT(doubles::clock_ms - t0, 5000u);
    EXPECT_LT(doubles::clock_ms - t0, 5200u);
}

TEST_F(Identify, DleEtxSplitOverTwoReadsEndsTheWatch)
{
    attach_text(usr_base + "[AT#VLS=1]\nfinal = VCON\n[AT#VRX]\nfinal = none\n"
                           "raw = \\r\\nCONNECT\\r\\n\\x11\\x11\\x10\\x03\nsplit = 1\ngap = 20\n");
    std::int16_t version = 9;
    ASSERT_EQ(CM_opencomm(ctx, 2), ST_OK);
    std::uint32_t t0 = doubles::clock_ms;
    ASSERT_EQ(INS_checkusrversion(ctx, &version), ST_OK);
    EXPECT_FALSE(logged("timeout")) << logtext();
    EXPECT_LT(doubles::clock_ms - t0, 1000u);
    EXPECT_EQ(version, 1);
    EXPECT_TRUE(logged("c1=17"));
}

TEST_F(Identify, EssInTheSecondMakerQuery)
{
    ASSERT_EQ(detect("vendor64-ess-latemaker.modem"), ST_OK);
    EXPECT_TRUE(logged("No maker matched 2"));
    EXPECT_TRUE(logged("Found ESS"));
    EXPECT_TRUE(sent("ATI7"));
}

TEST_F(Identify, AnAnswerThatOverflowsTheBufferIsNotSaved)
{
    write_ini("[IS101MATCH1]\nVENDOR=80\nVENDORINI=ZZ\nATI3=vvvv\n", dir);
    std::string big(5000, 'v');
    attach_text("unknown = ERROR\n[AT+FCLASS=8]\n[AT+FCLASS=0]\n[ATI3]\nanswer = " + big +
                "\n[ATI4]\nanswer = PARALLEL V32\n[ATI7]\n");
    ASSERT_EQ(INS_detectmodem(ctx), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_SIERRA_V32) << "its OK never fits, so its area stays empty and no section matches it";
    EXPECT_FALSE(logged("ati3 s=vvvv"));
}
