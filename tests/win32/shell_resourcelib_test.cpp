// The built resource library: every text and template the installer asks for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/messages.h"
#include "tests/win32/support/winpaths.h"

namespace {

HMODULE library()
{
    static HMODULE lib = LoadLibraryA(winpaths::from_unix(winpaths::env("TEST_RESOURCE_DLL")).c_str());
    return lib;
}

std::string text(unsigned number)
{
    char buffer[256] = {};
    LoadStringA(library(), number, buffer, sizeof buffer);
    return buffer;
}

TEST(ResourceLibrary, Loads)
{
    ASSERT_NE(library(), nullptr) << winpaths::env("TEST_RESOURCE_DLL");
}

TEST(ResourceLibrary, HasATextForEveryStatusShownToTheUser)
{
#define EXPECT_TEXT_IF_SHOWN(name, number, seen) \
    if (status_seen::seen == status_seen::shown) { EXPECT_FALSE(text(number).empty()) << #name " " << number; }
    UL_STATUSES(EXPECT_TEXT_IF_SHOWN)
#undef EXPECT_TEXT_IF_SHOWN
}

TEST(ResourceLibrary, HasEveryNumberedTextTheDialogsUse)
{
    const unsigned numbers[] = {430, 431, 432, 433, 434, 435, 456, 457, 461, 464, 473, 481, 482,
                                494, 495, 701, 702, 703, 801, 802, 7104, 7105, 7106, 7108,
                                7114, 7115, 7116, 7118, 7124, 7125, 7126, 7128};
    for (unsigned n : numbers) EXPECT_FALSE(text(n).empty()) << "text " << n;
    EXPECT_NE(text(464).find("%d"), std::string::npos) << "the port note takes one decimal argument";
    EXPECT_LE(text(7108).size(), 19u);
    EXPECT_LE(text(7118).size(), 19u);
    EXPECT_LE(text(7128).size(), 19u);
}

INT_PTR CALLBACK quiet(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

struct template_controls {
    int number;
    std::vector<int> controls;
};

TEST(ResourceLibrary, EveryDialogTemplateCarriesItsControls)
{
    const template_controls templates[] = {
        {900, {100, 102, 103, 2, 104, 20}},
        {986, {111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 2}},
        {994, {111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 2}},
        {988, {111, 1, 2, 122}},
        {990, {701, 111, 112, 2, 113, 124}},
        {991, {701, 130, 2, 111, 112, 122, 20, 21, 22}},
        {992, {130, 701, 702, 101, 102, 111, 2, 112, 122}},
        {997, {701, 102, 124, 125, 126, 103, 104, 127, 123, 110, 111, 112, 113, 114, 115, 116, 117, 1, 2, 301, 122}},
    };
    for (const auto& t : templates) {
        HWND dialog = CreateDialogParamA(library(), MAKEINTRESOURCEA(t.number), nullptr, quiet, 0);
        ASSERT_NE(dialog, nullptr) << "template " << t.number;
        for (int id : t.controls) EXPECT_NE(GetDlgItem(dialog, id), nullptr) << "template " << t.number << " control " << id;
        DestroyWindow(dialog);
    }
}

TEST(ResourceLibrary, IdentityTextsPerProduct)
{
    setup_context ctx{};
    ctx.resourcelib = library();
    const struct {
        std::int16_t which;
        std::string title;
    } products[] = {{0, text(7104)}, {1, text(7114)}, {2, text(7124)}, {5, "ZeltaVoice Home"}, {6, "ZeltaVoice Comm Server"}};
    for (const auto& p : products) {
        ctx.INS_whichprogram = p.which;
        INS_loadidentity(&ctx);
        EXPECT_EQ(std::string(ctx.producttitle), p.title) << "product " << p.which;
        EXPECT_NE(ctx.productname[0], '\0') << "product " << p.which;
    }
    EXPECT_STREQ(ctx.productname, "VUZAZARE");
}

TEST(ResourceLibrary, ProductTitleIsSubstitutedIntoMessages)
{
    setup_context ctx{};
    ctx.resourcelib = library();
    ctx.INS_whichprogram = 1;
    char message[MESSAGESIZE];
    ASSERT_EQ(INS_loadmessage(&ctx, message, "", 494), ST_OK);
    std::string m = message;
    EXPECT_EQ(m.find("@@"), std::string::npos);
    EXPECT_NE(m.find(text(7114)), std::string::npos);
}

TEST(ResourceLibrary, ErrorBoxTextsWithAndWithoutTheLibrary)
{
    setup_context ctx{};
    ctx.resourcelib = library();
    ctx.INS_whichprogram = 1;
    INS_loadidentity(&ctx);
    char body[MESSAGESIZE], caption[MESSAGESIZE];
    INS_errorboxtexts(&ctx, 2107, body, caption);
    EXPECT_EQ(std::string(body), "2107 - " + text(2107));
    EXPECT_EQ(std::string(caption), std::string(ctx.productname) + text(473));

    setup_context bare{};
    INS_errorboxtexts(&bare, 2107, body, caption);
    EXPECT_STREQ(body, "2107 - Unknown Error");
    EXPECT_STREQ(caption, "Setup");
}

// The German library: the installer reads its texts through the ANSI code page
// (1252 here), and its templates as written.
TEST(ResourceLibrary, GermanTextsKeepTheirUmlauts)
{
    HMODULE german = LoadLibraryA(winpaths::from_unix(winpaths::env("TEST_RESOURCE_DLL_DE")).c_str());
    ASSERT_NE(german, nullptr) << winpaths::env("TEST_RESOURCE_DLL_DE");
    wchar_t wide[64] = {};
    LoadStringW(german, 701, wide, 64);
    EXPECT_STREQ(wide, L"&\u00d6ffnen");
    if (GetACP() == 1252) {
        char verb[64] = {};
        LoadStringA(german, 701, verb, sizeof verb);
        EXPECT_STREQ(verb, "&\xd6" "ffnen") << "the verb key's bytes";
    }
    HWND dialog = CreateDialogParamA(german, MAKEINTRESOURCEA(990), nullptr, quiet, 0);
    ASSERT_NE(dialog, nullptr);
    GetWindowTextW(GetDlgItem(dialog, 2), wide, 64);
    EXPECT_STREQ(wide, L"Schlie\u00dfen");
    DestroyWindow(dialog);
    FreeLibrary(german);
}

}  // namespace
