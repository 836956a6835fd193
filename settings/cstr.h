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
    // When memory for the longer text cannot be had, the text stays as it
    // was and that unchanged buffer is returned.
    char* Append(const char* text);
    // Clear then Append in one step, except that the old text is released
    // only once the new one has its memory: 1 on success, 0 when memory
    // could not be had and the old text stays.
    int Replace(const char* text);

private:
    CSTR(const CSTR&);
    CSTR& operator=(const CSTR&);
};

#endif
