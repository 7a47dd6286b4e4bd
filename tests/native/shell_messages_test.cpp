#include <gtest/gtest.h>

#include <string>

#include "shell/context.h"
#include "shell/mainscreen.h"
#include "shell/messages.h"
#include "tests/native/doubles/shell_doubles.h"

namespace {

class Messages : public ::testing::Test {
protected:
    void SetUp() override
    {
        doubles::strings = {
            {7104, "Fax Title"}, {7105, "Fax line 1"}, {7106, "Fax line 2"}, {7108, "FAXDIR"},
            {7114, "Voice Title"}, {7115, "Voice line 1"}, {7116, "Voice line 2"}, {7118, "VOICEDIR"},
            {7124, "Pro Title"}, {7128, "PRODIR"},
            {473, " Setup"}, {2107, "The modem does not answer."},
            {500, "Install @@ now"}, {501, "@@ and @@"}, {502, "no marker"},
        };
        doubles::boxes.clear();
        ctx.resourcelib = &ctx;  // any non-null handle serves the double's table
    }
    setup_context ctx{};
};

TEST_F(Messages, IdentityTextsAreOffsetByTenTimesTheSelector)
{
    ctx.INS_whichprogram = 1;
    INS_loadidentity(&ctx);
    EXPECT_STREQ(ctx.producttitle, "Voice Title");
    EXPECT_STREQ(ctx.productname, "VOICEDIR");
    EXPECT_STREQ(ctx.productline1, "Voice line 1");
    EXPECT_STREQ(ctx.productline2, "Voice line 2");
    EXPECT_STREQ(static_cast<const char*>(ctx.producticon), "RODERORA");
}

TEST_F(Messages, FaxAndDefaultProductsTakeTheirIcons)
{
    ctx.INS_whichprogram = 0;
    INS_loadidentity(&ctx);
    EXPECT_STREQ(ctx.producttitle, "Fax Title");
    EXPECT_STREQ(static_cast<const char*>(ctx.producticon), "DIDOVADA");
    ctx.INS_whichprogram = 2;
    INS_loadidentity(&ctx);
    EXPECT_STREQ(ctx.producttitle, "Pro Title");
    EXPECT_STREQ(static_cast<const char*>(ctx.producticon), "RORAR");
}

TEST_F(Messages, HomeAndServerProductsUseBuiltInTextsWithoutTheLibrary)
{
    ctx.resourcelib = nullptr;
    ctx.INS_whichprogram = 5;
    INS_loadidentity(&ctx);
    EXPECT_STREQ(ctx.producttitle, "ZeltaVoice Home");
    EXPECT_STREQ(ctx.productline1, "ZeltaVoice Home");
    EXPECT_STREQ(ctx.productname, "RURORA");
    ctx.INS_whichprogram = 6;
    INS_loadidentity(&ctx);
    EXPECT_STREQ(ctx.producttitle, "ZeltaVoice Comm Server");
    EXPECT_STREQ(ctx.productline2, "VUZAZARE");
    EXPECT_STREQ(static_cast<const char*>(ctx.producticon), "RORAR");
}

TEST_F(Messages, MissingIdentityTextGivesAnEmptyTextAndUnknownNumbersAreRefused)
{
    ctx.INS_whichprogram = 3;
    char text[80] = "old";
    EXPECT_EQ(INS_getproducttext(&ctx, 7104, text, sizeof text), ST_OK);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(INS_getproducttext(&ctx, 7107, text, sizeof text), ST_BAD_REQUEST);
}

TEST_F(Messages, ProductTitleReplacesOnlyTheFirstMarker)
{
    ctx.INS_whichprogram = 0;
    char text[MESSAGESIZE];
    ASSERT_EQ(INS_loadmessage(&ctx, text, "", 500), ST_OK);
    EXPECT_STREQ(text, "Install Fax Title now");
    ASSERT_EQ(INS_loadmessage(&ctx, text, "", 501), ST_OK);
    EXPECT_STREQ(text, "Fax Title and @@");
    ASSERT_EQ(INS_loadmessage(&ctx, text, "", 502), ST_OK);
    EXPECT_STREQ(text, "no marker");
}

TEST_F(Messages, MissingMessageAndForeignLibraryFail)
{
    char text[MESSAGESIZE];
    EXPECT_EQ(INS_loadmessage(&ctx, text, "", 9999), ST_GENERAL);
    EXPECT_EQ(INS_loadmessage(&ctx, text, "OTHER.DLL", 500), ST_GENERAL);
    EXPECT_EQ(INS_errortext(&ctx, text, 9999), ST_OK);
    EXPECT_STREQ(text, "Undocumented Error");
}

TEST_F(Messages, ErrorBoxShowsNumberTextAndProductCaption)
{
    ctx.INS_whichprogram = 0;
    INS_loadidentity(&ctx);
    INS_errorbox(&ctx, 2107);
    ASSERT_EQ(doubles::boxes.size(), 1u);
    EXPECT_EQ(doubles::boxes[0].first, "FAXDIR Setup");
    EXPECT_EQ(doubles::boxes[0].second, "2107 - The modem does not answer.");
}

TEST_F(Messages, ErrorBoxWithoutLibraryFallsBackToBuiltInTexts)
{
    ctx.resourcelib = nullptr;
    INS_errorbox(&ctx, 2107);
    INS_errorbox(nullptr, 13002);
    ASSERT_EQ(doubles::boxes.size(), 2u);
    EXPECT_EQ(doubles::boxes[0].first, "Setup");
    EXPECT_EQ(doubles::boxes[0].second, "2107 - Unknown Error");
    EXPECT_EQ(doubles::boxes[1].second, "13002 - Unknown Error");
}

TEST_F(Messages, NoticeLineComesFromTheLibraryAndFallsBackToTheProgramsOwn)
{
    char text[MESSAGESIZE];
    doubles::strings[496] = "Bitte warten Sie.";
    INS_noticetext(&ctx, text);
    EXPECT_STREQ(text, "Bitte warten Sie.");
    doubles::strings.erase(496);
    INS_noticetext(&ctx, text);
    EXPECT_STREQ(text, INS_noticeline) << "a library without the text";
    ctx.resourcelib = nullptr;
    doubles::strings[496] = "Bitte warten Sie.";
    INS_noticetext(&ctx, text);
    EXPECT_STREQ(text, INS_noticeline) << "no library";
}

TEST_F(Messages, ErrorBoxNamesTheRecordedFileOnlyForItsStatus)
{
    doubles::strings[13103] = "A file cannot be created:";
    INS_recorderror(&ctx, 13103, "C:\\FAX\\DATA\\X.INI");
    INS_errorbox(&ctx, 13103);
    INS_errorbox(&ctx, 2107);
    INS_recorderror(&ctx, 13103, std::string(120, 'f').c_str());
    INS_errorbox(&ctx, 13103);
    ASSERT_EQ(doubles::boxes.size(), 3u);
    EXPECT_EQ(doubles::boxes[0].second, "13103 - A file cannot be created: C:\\FAX\\DATA\\X.INI");
    EXPECT_EQ(doubles::boxes[1].second, "2107 - The modem does not answer.");
    EXPECT_EQ(doubles::boxes[2].second.size(), 79u) << "a long name is cut, never overruns the box text";
}

TEST_F(Messages, StatusTextAppendsTheRecordedFileOnlyForItsStatus)
{
    doubles::strings[13102] = "A file cannot be opened:";
    char text[TEXTSIZE];
    INS_recorderror(&ctx, 13102, "C:\\FAX\\DATA\\X.INI");
    INS_statustext(&ctx, 13102, text);
    EXPECT_STREQ(text, "A file cannot be opened: C:\\FAX\\DATA\\X.INI");
    INS_statustext(&ctx, 2107, text);
    EXPECT_STREQ(text, "The modem does not answer.");
    INS_statustext(&ctx, 0, text);
    EXPECT_STREQ(text, "");
}

TEST_F(Messages, StatusTextWithALongFileStaysWithin78Characters)
{
    doubles::strings[13102] = "A file cannot be opened:";
    char text[TEXTSIZE];
    INS_recorderror(&ctx, 13102, std::string(120, 'f').c_str());
    INS_statustext(&ctx, 13102, text);
    EXPECT_EQ(std::string(text).size(), 78u);
}

}  // namespace
