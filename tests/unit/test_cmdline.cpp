// The command line after the program's name, as batch mode and the
// hand-over see it.
#include <gtest/gtest.h>

#include <cstring>

#include "app/cmdline.h"

namespace {

struct Case {
    const char* line;
    const char* args;
};

// "\x83\x63\x81\x5B\x83\x8B" is a CP932 folder name, "\x83\x8A\x83\x58\x83\x67" a list name.
const Case kCases[] = {
    {"vantrel.exe", ""},
    {"vantrel.exe   ", ""},
    {"vantrel.exe \t\x01\x1F", ""},
    {"vantrel.exe list.ini", "list.ini"},
    {"vantrel.exe\tlist.ini", "list.ini"},
    {"vantrel.exe  list.ini  ", "list.ini  "},
    {"vantrel.exe \"C:\\my lists\\a.ini\" ", "\"C:\\my lists\\a.ini\" "},
    {"\"C:\\Program Files\\vantrel.exe\"", ""},
    {"\"C:\\Program Files\\vantrel.exe\"  a b", "a b"},
    {"\"C:\\Program Files\\vantrel.exe\"a", ""},  // the name runs to the next blank
    {"\"C:\\unclosed quote\\vantrel.exe list", ""},
    {"C:\\\x83\x63\x81\x5B\x83\x8B\\vantrel.exe", ""},
    {"C:\\\x83\x63\x81\x5B\x83\x8B\\vantrel.exe  ", ""},
    {"vantrel.exe \x83\x8A\x83\x58\x83\x67.ini", "\x83\x8A\x83\x58\x83\x67.ini"},
    {"\"C:\\\x83\x63\x81\x5B\x83\x8B\\v.exe\" \x83\x8A.ini", "\x83\x8A.ini"},
    {"vantrel.exe \xFF\xA0", "\xFF\xA0"},
    {"", ""},
    {"  list.ini", "list.ini"},  // no name at all: the blanks still go
};

TEST(CommandLine, WhatFollowsTheNameAndItsBlanks)
{
    for (const Case& c : kCases) {
        const char* got = CommandLineArgs(c.line);
        EXPECT_STREQ(c.args, got) << "line: " << c.line;
        // A pointer into the line itself, so nothing is copied or cut.
        EXPECT_EQ(c.line + strlen(c.line) - strlen(c.args), got) << "line: " << c.line;
    }
    EXPECT_STREQ("", CommandLineArgs(nullptr));
}

}  // namespace
