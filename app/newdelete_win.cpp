// The program allocates only with nothrow new and never throws. Plain
// malloc-backed operators keep the C++ runtime's exception and terminate
// machinery (and its name demangler) out of the executable.
#include <cstdlib>
#include <new>

void* operator new(size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }
