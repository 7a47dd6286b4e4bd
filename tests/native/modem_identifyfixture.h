// An identification as the installer runs it: INSTALL.INI with the match
// sections of media/modems/install-match.ini, the modem on COM2, and the voice
// product chosen (a modem without voice switches it to the fax program).
#pragma once
#include "tests/native/modem_fixture.h"
#include "tests/native/support/testfiles.h"

class IdentifyingTest : public ModemTest {
protected:
    void SetUp() override
    {
        ModemTest::SetUp();
        write_ini(testfiles::read(profile_path("install-match.ini")), dir);
        ctx->comport = 2;
        ctx->INS_whichprogram = 2;
    }
};
