#pragma once
// Helpers for tests that build stored objects field by field, as older files hold them,
// and for the truncation sweeps over stored bytes.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/KArchive.h"

// The tag, schema and name the archive writes before the first object of a class.
inline void kWriteClassHeader(KArchive& ar, const std::string& name, uint16_t schema) {
    ar.writeUInt16(KArchive::kNewClassTag);
    ar.writeUInt16(schema);
    ar.writeUInt16(uint16_t(name.size()));
    ar.writeBytes(name.data(), name.size());
}

// Each value in the stored form of its type, in order.
inline void kWriteField(KArchive& ar, int32_t v) {
    ar.writeInt32(v);
}
inline void kWriteField(KArchive& ar, uint32_t v) {
    ar.writeUInt32(v);
}
inline void kWriteField(KArchive& ar, float v) {
    ar.writeFloat(v);
}
inline void kWriteField(KArchive& ar, double v) {
    ar.writeDouble(v);
}
inline void kWriteField(KArchive& ar, const char* v) {
    ar.writeString(v);
}
inline void kWriteField(KArchive& ar, const std::string& v) {
    ar.writeString(v);
}
template <typename... T>
void kWriteFields(KArchive& ar, const T&... values) {
    (kWriteField(ar, values), ...);
}

// Every proper prefix of bytes fails to load with read, as a clean error.
inline void kExpectEveryPrefixFails(const std::vector<uint8_t>& bytes,
                                    const std::function<void(KArchive&)>& read) {
    for (size_t n = 0; n < bytes.size(); ++n) {
        KArchive in(std::vector<uint8_t>(bytes.begin(), bytes.begin() + std::ptrdiff_t(n)));
        std::string error;
        ASSERT_FALSE(loadArchive(in, read, &error)) << "prefix of " << n << " bytes loaded";
    }
}
