// Entry point of every test program: no error dialog may ever wait for a click.
#include <windows.h>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    _set_error_mode(_OUT_TO_STDERR);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
