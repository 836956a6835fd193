#include "settings/storetext.h"

#include <cstring>

void CopyStoredText(char* field, size_t capacity, const char* data, size_t size)
{
    if (capacity == 0)
        return;
    size_t length = strnlen(data, size);
    if (length > capacity - 1)
        length = capacity - 1;
    memset(field, 0, capacity);
    memcpy(field, data, length);
}
