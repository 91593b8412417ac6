// Archives of model objects: a count followed by tagged objects, as layers store muscles.
#include <cstdint>
#include <memory>
#include <vector>

#include "model/KModelClasses.h"
#include "platform/KArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KRegisterModelClasses();
    KArchive ar(std::vector<uint8_t>(data, data + size));
    std::vector<std::unique_ptr<KPersistent>> objects;
    loadArchive(
        ar,
        [&](KArchive& a) {
            const uint32_t n = a.readCount();
            a.requireAvailable(n, 2, "object");
            for (uint32_t i = 0; i < n; ++i) {
                objects.push_back(a.readOwnedObject());
            }
        },
        nullptr);
    return 0;
}
