// The command line as the program sees it: what follows its own name.
#ifndef VANTREL_CMDLINE_H
#define VANTREL_CMDLINE_H

// Skips the program's name (blanks inside double quotes belong to it) and
// the blanks and control characters after it; returns the rest unchanged,
// a pointer into `line`. Bytes 0x80 to 0xFF are text (code page 932 lead
// and trail bytes), never separators. A null line gives "".
const char* CommandLineArgs(const char* line);

#endif
