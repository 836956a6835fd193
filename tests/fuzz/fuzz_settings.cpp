// Stored texts of any length and content into the fixed setting fields and
// the hide list: always terminated, never longer than the field allows.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "app/appstate.h"
#include "settings/cstr.h"
#include "settings/storetext.h"
#include "tests/fuzz/fuzzdev.h"

namespace {

// The stored text copied into a field filled with 'x' beforehand.
void CopyAndCheck(char* field, size_t capacity, const uint8_t* data, size_t size)
{
    memset(field, 'x', capacity);
    CopyStoredText(field, capacity, (const char*)data, size);
    size_t length = strnlen(field, capacity);
    Check(length < capacity);
    // The stored text's own start, cut at its first zero or at the field.
    size_t expected = strnlen((const char*)data, size);
    if (expected > capacity - 1)
        expected = capacity - 1;
    Check(length == expected && memcmp(field, data, length) == 0);
    for (size_t k = length; k < capacity; ++k)
        Check(!field[k]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    APPSTATE app;
    CopyAndCheck(app.ChildForm, CHILDFORM_SIZE, data, size);
    CopyAndCheck(app.ChildSpace, CHILDSPACE_SIZE, data, size);

    // A hide entry goes through a 256-byte field into its owned text.
    char entry[256];
    CopyAndCheck(entry, sizeof entry, data, size);
    CSTR& hide = app.hideList[HIDE_ENTRIES - 1];
    if (entry[0]) {
        hide.Append(entry);
        Check(hide.buffer && strcmp(hide.buffer, entry) == 0 &&
              hide.bufferSize >= strlen(entry) + 1);
    } else {
        Check(!hide.Append(entry) && !hide.buffer);  // an empty entry stays "no entry"
    }
    return 0;
}
