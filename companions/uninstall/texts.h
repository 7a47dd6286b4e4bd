// The uninstaller's questions and messages, in the language the product was
// installed in: taken from the resource library that the installation left in
// its program directory (PROGRAM\VEQINS32.DLL, the completion's copy of
// VEQINS.DLL). Built-in English texts stand in only when that library or one
// of its texts is missing.
#pragma once
#include <cstddef>

// The texts' numbers in the resource library.
enum {
    UT_CAPTION = 1600,
    UT_NOT_FOUND = 1601,
    UT_ASK_REMOVE = 1602,    // %s the title, %s the installation directory
    UT_ASK_USERDATA = 1603,  // %s the installation directory
    UT_REMOVED = 1604,       // %s the title
    UT_NO_LIBRARY = 1605,
    UT_FIRST = UT_CAPTION,
    UT_COUNT = 6
};

struct uninstall_texts {
    char text[UT_COUNT][512];
};

// installdir: with or without its backslash; null or empty: the one FAX.ini in
// the Windows directory names. The library is released again before this
// returns, so the program directory can be removed afterwards.
void UT_load(uninstall_texts* out, const char* installdir);

// The text of a number (UT_CAPTION ...).
const char* UT_text(const uninstall_texts* texts, int number);

// Copies format into out (at most size - 1 characters), each "%s" replaced by
// the next argument (none left: nothing) and "%%" by "%". A library's text is
// never handed to a printf: a stray sequence in it cannot reach the stack.
void UT_format(char* out, std::size_t size, const char* format, const char* first, const char* second = "");
