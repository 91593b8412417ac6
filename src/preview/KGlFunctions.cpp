#include "preview/KGlFunctions.h"

#include <cstdio>
#include <cstring>

bool KGlFunctions::resolve(const Resolver& lookup, std::string* missing) {
    KGlFunctions table;
    bool ok = true;
    // The lookup hands back untyped addresses; each is cast to the entry's own type
    // (platforms with OpenGL keep function and data pointers the same size).
#define K_GL_RESOLVE(name)                                                                         \
    if (ok) {                                                                                      \
        void* address = lookup ? lookup(#name) : nullptr;                                          \
        if (!address) {                                                                            \
            ok = false;                                                                            \
            if (missing) {                                                                         \
                *missing = #name;                                                                  \
            }                                                                                      \
        } else {                                                                                   \
            table.name = reinterpret_cast<decltype(table.name)>(address);                          \
        }                                                                                          \
    }
    K_PREVIEW_GL_FUNCTIONS(K_GL_RESOLVE)
#undef K_GL_RESOLVE
    *this = ok ? table : KGlFunctions();
    return ok;
}

bool kGlVersionAtLeast(const char* version, int major, int minor) {
    if (!version || std::strncmp(version, "OpenGL ES", 9) == 0) {
        return false;
    }
    int ma = 0;
    int mi = 0;
    if (std::sscanf(version, "%d.%d", &ma, &mi) != 2) {
        return false;
    }
    return ma > major || (ma == major && mi >= minor);
}

bool KGlBufferFunctions::resolve(const KGlFunctions::Resolver& lookup, const char* version) {
    *this = KGlBufferFunctions();
    if (!lookup || !kGlVersionAtLeast(version, 1, 5)) {
        return false;
    }
    KGlBufferFunctions table;
    bool ok = true;
#define K_GL_BUFFER_RESOLVE(name, type)                                                            \
    if (void* address = ok ? lookup(#name) : nullptr) {                                            \
        table.name = reinterpret_cast<type>(address);                                              \
    } else {                                                                                       \
        ok = false;                                                                                \
    }
    K_PREVIEW_GL_BUFFER_FUNCTIONS(K_GL_BUFFER_RESOLVE)
#undef K_GL_BUFFER_RESOLVE
    if (ok) {
        *this = table;
    }
    return ok;
}
