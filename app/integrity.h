// The executable guards itself against modification by the PE header
// checksum, which the build stamps as its last step.
#ifndef VANTREL_INTEGRITY_H
#define VANTREL_INTEGRITY_H

#include <cstddef>
#include <cstdint>

// Offset of the header checksum field in a PE image, or 0 when the bytes are
// not a PE image.
size_t PeChecksumOffset(const unsigned char* image, size_t size);
// The checksum of the image as the loader defines it: 16-bit one's-
// complement sum over the file with the checksum field taken as zero, plus
// the file length.
uint32_t PeComputeChecksum(const unsigned char* image, size_t size, size_t checksumOffset);
// Nonzero when the image is a PE file whose stored checksum is non-zero and
// equals the computed one. Any single changed byte makes this fail.
int PeChecksumValid(const unsigned char* image, size_t size);

// Checks the running executable's own file (Windows only).
int VerifyOwnImage();

#endif
