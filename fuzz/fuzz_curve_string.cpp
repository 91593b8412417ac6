// Control-point strings typed by users or read from documents.
#include <cstdint>
#include <string_view>

#include "model/KBdlCurve.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    KBdlCurve curve;
    curve.parse(text);
    (void)curve.getString();
    for (int basis = 0; basis <= 4; ++basis) {
        curve.setBasis(basis);
        for (double t : {-0.5, 0.0, 0.25, 0.5, 0.999, 1.0, 2.0}) {
            (void)curve.value(t);
        }
    }
    curve.repeatCount = 3;
    (void)curve.value(0.7);
    curve.mirror();
    (void)curve.parameterAt(1);
    return 0;
}
