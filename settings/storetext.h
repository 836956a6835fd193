// How a stored text becomes a fixed-width setting field.
#ifndef VANTREL_STORETEXT_H
#define VANTREL_STORETEXT_H

#include <cstddef>

// Copies the text read from a stored value (`size` bytes, terminated or
// not, possibly holding zeros) into a field of `capacity` bytes: the text
// ends at its first zero, is cut to capacity - 1 bytes, and the rest of the
// field is cleared.
void CopyStoredText(char* field, size_t capacity, const char* data, size_t size);

#endif
