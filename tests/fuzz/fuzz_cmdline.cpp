// The command line after the program's name, from any bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/cmdline.h"
#include "tests/fuzz/fuzzdev.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string line((const char*)data, size);
    line = line.c_str();  // what GetCommandLineA can hold: up to the first zero
    const char* args = CommandLineArgs(line.c_str());
    // A tail of the line itself, never starting with a blank or control byte.
    Check(args >= line.c_str() && args <= line.c_str() + line.size());
    Check(strcmp(args, line.c_str() + (args - line.c_str())) == 0);
    Check(args[0] == 0 || (unsigned char)args[0] > ' ');
    // What was skipped ends in a blank or control byte, never in text.
    Check(!args[0] || args == line.c_str() || ((unsigned char)args[-1] <= ' ' && args[-1] != 0));
    // The name is never empty when the line starts with a non-blank byte.
    Check(line.empty() || (unsigned char)line[0] <= ' ' || args != line.c_str());
    return 0;
}
