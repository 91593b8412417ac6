#include "preview/KGlFunctions.h"

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
