// Batch mode: eject every present device that a list file names.
#ifndef VANTREL_BATCH_H
#define VANTREL_BATCH_H

#include "devices/cfgmgr.h"
#include "devices/visibility.h"

#define INIPATH_SIZE 1024
#define LIST_ENTRIES 32
#define LIST_VALUE_SIZE 256

class INIFILE {
public:
    char path[INIPATH_SIZE];

    INIFILE();
    virtual ~INIFILE();
    int SetPath(const char* text);
    // A path given in double quotes (the only way to pass one with blanks)
    // loses them; Windows paths never contain a quote.
    void Unquote();

private:
    INIFILE(const INIFILE&);
    INIFILE& operator=(const INIFILE&);
};

void RunBatchRemoval(const char* commandLine);

#endif
