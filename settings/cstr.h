// An owned, growable 8-bit text. Empty and without a buffer are one state.
#ifndef VANTREL_CSTR_H
#define VANTREL_CSTR_H

class CSTR {
public:
    unsigned bufferSize;  // bytes allocated, terminator included; 0 when empty
    char* buffer;

    CSTR();
    virtual ~CSTR();
    void Clear();
    char* Append(const char* text);

private:
    CSTR(const CSTR&);
    CSTR& operator=(const CSTR&);
};

#endif
