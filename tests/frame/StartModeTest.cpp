// The start mode read from the run-time's argument vector.
#include <gtest/gtest.h>
#include <stdlib.h>
#include "Main.h"

struct ModeCase {
    std::vector<const char *> args;
    int mode;
};

class StartMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(StartMode, FromArgumentVector)
{
    const ModeCase &c = GetParam();
    std::vector<char *> argv;
    for (const char *a : c.args)
        argv.push_back(const_cast<char *>(a));
    argv.push_back(nullptr);
    int savedArgc = __argc;
    char **savedArgv = __argv;
    __argc = (int)c.args.size();
    __argv = argv.data();
    int mode = GetStartMode();
    __argc = savedArgc;
    __argv = savedArgv;
    EXPECT_EQ(c.mode, mode);
}

INSTANTIATE_TEST_SUITE_P(Table, StartMode, ::testing::Values(
    ModeCase{{"zarn"}, 0},
    ModeCase{{"zarn", "/J"}, 0},                       // option without a command
    ModeCase{{"zarn", "/O"}, 0},
    ModeCase{{"zarn", "/J", "notepad"}, 1},
    ModeCase{{"zarn", "/O", "notepad"}, 2},
    ModeCase{{"zarn", "/j", "notepad"}, 0},            // case-sensitive
    ModeCase{{"zarn", "/o", "notepad"}, 0},
    ModeCase{{"zarn", "/Jump", "notepad"}, 1},         // only the first two characters count
    ModeCase{{"zarn", "/Open", "x"}, 2},
    ModeCase{{"zarn", "/J", "a b c", "more", "words"}, 1},
    ModeCase{{"zarn", "-J", "notepad"}, 0},
    ModeCase{{"zarn", "J", "notepad"}, 0},
    ModeCase{{"zarn", "/", "notepad"}, 0},
    ModeCase{{"zarn", "", "notepad"}, 0},
    ModeCase{{"zarn", "/X", "notepad"}, 0},
    ModeCase{{"zarn", "/J", ""}, 1}));                 // an empty argument 2 is still a command
