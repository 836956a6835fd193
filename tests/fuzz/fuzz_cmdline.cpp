// The command line after the program's name, from any bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/cmdline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string line((const char*)data, size);
    line = line.c_str();  // what GetCommandLineA can hold: up to the first zero
    const char* args = CommandLineArgs(line.c_str());
    // A tail of the line itself, never starting with a blank or control byte.
    if (args < line.c_str() || args > line.c_str() + line.size())
        __builtin_trap();
    if (strcmp(args, line.c_str() + (args - line.c_str())) != 0)
        __builtin_trap();
    unsigned char first = (unsigned char)args[0];
    if (first != 0 && first <= ' ')
        __builtin_trap();
    // What was skipped ends in a blank or control byte, never in text.
    if (args[0] && args != line.c_str() && ((unsigned char)args[-1] > ' ' || args[-1] == 0))
        __builtin_trap();
    // The name is never empty when the line starts with a non-blank byte.
    if (!line.empty() && (unsigned char)line[0] > ' ' && args == line.c_str())
        __builtin_trap();
    return 0;
}
