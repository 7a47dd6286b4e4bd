// The vendor codes: the modem family that the identification found, or that
// INSTALL.INI's VENDOR key gives. They choose the copy plan's directories, the
// compressor library and its files, and the road of the voice prompts.
// The numbers are stored in INSTALL.INI and its match sections: never renumber.
#pragma once
#include <cstdint>

enum vendor_code : std::int16_t {
    VENDOR_CLS_GENERIC = 0,         // a #CLS voice modem that no answer test names; the Rockwell files
    VENDOR_PHONEBLASTER = 3,        // Creative PhoneBlaster
    VENDOR_ZOOM = 4,                // only from INSTALL.INI
    VENDOR_ROCKWELL_ACF = 5,        // Rockwell ACF chips, or a Rockwell maker answer without voice
    VENDOR_UMC = 6,                 // UMC or Davicom
    VENDOR_PCTEL = 7,
    VENDOR_MODEMBLASTER = 8,        // Creative ModemBlaster, or a modem that takes "AT#VLS=6"; also the default
    VENDOR_HAYES = 9,
    VENDOR_CIRRUS_VCL = 11,         // Cirrus Logic with the #VCL voice commands
    VENDOR_CIRRUS_VCID = 12,        // the same with caller ID ("AT#VCID=1")
    VENDOR_CIRRUS = 13,             // Cirrus Logic: "CL1" compression under +VSM, or the maker answer
    VENDOR_KEEPPROMPTS = 14,        // only from INSTALL.INI: the prompts stay as shipped
    VENDOR_MODEMBLASTER_PLUS = 18,  // Creative ModemBlaster Plus
    VENDOR_SIERRA = 21,             // Sierra, or a parallel-port V.34 modem
    VENDOR_SIERRA_V32 = 22,         // a parallel-port V.32 modem
    VENDOR_USROBOTICS = 31,         // U.S. Robotics: the firmware flag is checked and written
    VENDOR_ATT = 41,                // AT&T: +VSM without "CL1"
    VENDOR_ZYXEL = 51,
    VENDOR_ZYXEL_2864 = 52,
    VENDOR_MOTOROLA = 59,           // Motorola that speaks #CLS
    VENDOR_MOTOROLA_NOCLASS = 60,   // Motorola that refuses "AT#CLS=8"
    VENDOR_CONEXANT_HCF = 61,       // Rockwell or Conexant that takes "AT+FCLASS=8"
    VENDOR_ESS_VOICE = 62,          // only from INSTALL.INI: ESS with resampled prompts
    VENDOR_LUCENT = 63,
    VENDOR_ESS = 64,
    VENDOR_CONEXANT_IS101 = 65,     // Conexant whose firmware answers "V90_2M_DL"
    VENDOR_LUCENT_IS101 = 69,       // only from INSTALL.INI
    VENDOR_FAXONLY = 98,            // no voice: the fax product
};
