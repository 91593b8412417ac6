#include "platform/KArchive.h"

#include <bit>
#include <cstring>

KArchiveError::KArchiveError(const std::string& what, size_t offset)
    : std::runtime_error(what + " (at byte " + std::to_string(offset) + ")"), offset_(offset) {}

KArchive::KArchive() : storing_(true) {}

KArchive::KArchive(std::vector<uint8_t> bytes) : storing_(false), buffer_(std::move(bytes)) {
    loadMap_.emplace_back(); // index 0: the null reference
}

void KArchive::seek(size_t offset) {
    if (offset > buffer_.size()) {
        fail("seek past the end of the archive");
    }
    pos_ = offset;
}

void KArchive::fail(const std::string& what) const {
    throw KArchiveError(what, pos_);
}

void KArchive::need(size_t n, const char* what) const {
    if (n > remaining()) {
        fail(std::string("unexpected end of file while reading ") + what);
    }
}

void KArchive::requireAvailable(uint64_t count, uint64_t minBytesEach, const char* what) const {
    if (minBytesEach != 0 && count > remaining() / minBytesEach) {
        fail(std::string(what) + " count " + std::to_string(count) +
             " is larger than the rest of the file");
    }
}

// ---------------------------------------------------------------- storing

void KArchive::writeBytes(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    buffer_.insert(buffer_.end(), p, p + size);
}

void KArchive::writeUInt8(uint8_t v) {
    buffer_.push_back(v);
}

void KArchive::writeUInt16(uint16_t v) {
    uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    writeBytes(b, 2);
}

void KArchive::writeUInt32(uint32_t v) {
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    writeBytes(b, 4);
}

void KArchive::writeFloat(float v) {
    writeUInt32(std::bit_cast<uint32_t>(v));
}

void KArchive::writeDouble(double v) {
    const auto bits = std::bit_cast<uint64_t>(v);
    writeUInt32(uint32_t(bits));
    writeUInt32(uint32_t(bits >> 32));
}

void KArchive::writeString(std::string_view s) {
    const size_t n = s.size();
    if (n < 0xFF) {
        writeUInt8(uint8_t(n));
    } else if (n < 0xFFFE) {
        writeUInt8(0xFF);
        writeUInt16(uint16_t(n));
    } else {
        writeUInt8(0xFF);
        writeUInt16(0xFFFF);
        writeUInt32(uint32_t(n));
    }
    writeBytes(s.data(), n);
}

void KArchive::writeCount(size_t count) {
    if (count < 0xFFFF) {
        writeUInt16(uint16_t(count));
    } else {
        writeUInt16(0xFFFF);
        writeUInt32(uint32_t(count));
    }
}

void KArchive::writeIndexTag(uint32_t index, bool isClass) {
    if (index < kBigObjectTag) {
        writeUInt16(uint16_t(isClass ? (kClassTag | index) : index));
    } else {
        writeUInt16(kBigObjectTag);
        writeUInt32(isClass ? (kBigClassTag | index) : index);
    }
}

void KArchive::writeClass(const KRuntimeClass* cls) {
    if (auto it = storeMap_.find(cls); it != storeMap_.end()) {
        writeIndexTag(it->second, true);
        return;
    }
    writeUInt16(kNewClassTag);
    writeUInt16(uint16_t(cls->schema & 0xFFFF));
    const std::string_view name = cls->className;
    writeUInt16(uint16_t(name.size()));
    writeBytes(name.data(), name.size());
    storeMap_.emplace(cls, mapCount_++);
}

void KArchive::writeObject(const KPersistent* object) {
    if (object == nullptr) {
        writeUInt16(kNullTag);
        return;
    }
    if (auto it = storeMap_.find(object); it != storeMap_.end()) {
        writeIndexTag(it->second, false);
        return;
    }
    writeClass(object->runtimeClass());
    storeMap_.emplace(object, mapCount_++);
    // Serialize is not const in the object model; storing does not change the object.
    const_cast<KPersistent*>(object)->serialize(*this);
}

// ---------------------------------------------------------------- loading

void KArchive::readBytes(void* data, size_t size) {
    need(size, "bytes");
    std::memcpy(data, buffer_.data() + pos_, size);
    pos_ += size;
}

uint8_t KArchive::readUInt8() {
    need(1, "a byte");
    return buffer_[pos_++];
}

uint16_t KArchive::readUInt16() {
    need(2, "a 16-bit value");
    const uint16_t v = uint16_t(buffer_[pos_] | (buffer_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
}

uint32_t KArchive::readUInt32() {
    need(4, "a 32-bit value");
    const uint8_t* b = buffer_.data() + pos_;
    const uint32_t v =
        uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
    pos_ += 4;
    return v;
}

float KArchive::readFloat() {
    return std::bit_cast<float>(readUInt32());
}

double KArchive::readDouble() {
    need(8, "a double");
    const uint64_t lo = readUInt32();
    const uint64_t hi = readUInt32();
    return std::bit_cast<double>(lo | (hi << 32));
}

std::string KArchive::readString() {
    uint32_t n = readUInt8();
    if (n == 0xFF) {
        n = readUInt16();
        if (n == 0xFFFE) {
            fail("wide-character strings are not supported");
        }
        if (n == 0xFFFF) {
            n = readUInt32();
        }
    }
    need(n, "a string");
    std::string s(reinterpret_cast<const char*>(buffer_.data() + pos_), n);
    pos_ += n;
    return s;
}

uint32_t KArchive::readCount() {
    const uint16_t n = readUInt16();
    if (n != 0xFFFF) {
        return n;
    }
    return readUInt32();
}

const KRuntimeClass* KArchive::readClass(uint32_t* schema, uint32_t* objectIndex) {
    const uint16_t tag = readUInt16();
    *objectIndex = 0;
    if (tag == kNewClassTag) {
        const uint16_t storedSchema = readUInt16();
        const uint16_t nameLength = readUInt16();
        need(nameLength, "a class name");
        const std::string name(reinterpret_cast<const char*>(buffer_.data() + pos_), nameLength);
        pos_ += nameLength;
        const KRuntimeClass* cls = KRuntimeClass::find(name);
        if (cls == nullptr || cls->factory == nullptr) {
            fail("unknown class \"" + name + "\"");
        }
        if (!cls->versionable && storedSchema != (cls->schema & 0xFFFF)) {
            fail("class \"" + name + "\" stored with schema " + std::to_string(storedSchema) +
                 ", expected " + std::to_string(cls->schema & 0xFFFF));
        }
        if (mapCount_ >= kMaxMapCount) {
            fail("too many classes and objects");
        }
        loadMap_.push_back({cls, nullptr, storedSchema});
        ++mapCount_;
        *schema = storedSchema;
        return cls;
    }

    uint32_t index;
    bool isClass;
    if (tag == kBigObjectTag) {
        const uint32_t big = readUInt32();
        isClass = (big & kBigClassTag) != 0;
        index = big & ~kBigClassTag;
    } else {
        isClass = (tag & kClassTag) != 0;
        index = tag & ~kClassTag;
    }
    if (index == 0 || index >= loadMap_.size()) {
        fail("bad reference index " + std::to_string(index));
    }
    const LoadEntry& entry = loadMap_[index];
    if (!isClass) {
        if (entry.object == nullptr) {
            fail("reference " + std::to_string(index) + " does not name an object");
        }
        *objectIndex = index;
        return nullptr;
    }
    if (entry.cls == nullptr || entry.object != nullptr) {
        fail("reference " + std::to_string(index) + " does not name a class");
    }
    // A back reference to a class carries no schema: objects read with the one stored
    // where the class first appeared.
    *schema = entry.schema;
    return entry.cls;
}

KArchive::ObjectRead KArchive::readObjectReference(const KRuntimeClass* expected) {
    return readReference(expected, true);
}

KArchive::ObjectRead KArchive::readReference(const KRuntimeClass* expected,
                                             bool allowBackReference) {
    ObjectRead result;
    uint32_t schema = kNoSchema;
    uint32_t objectIndex = 0;
    const size_t tagOffset = pos_;
    if (remaining() >= 2 && buffer_[pos_] == 0 && buffer_[pos_ + 1] == 0) {
        pos_ += 2; // the null reference
        return result;
    }
    const KRuntimeClass* cls = readClass(&schema, &objectIndex);
    if (cls == nullptr) {
        if (!allowBackReference) {
            // Two owners of one object would free it twice.
            throw KArchiveError("an object is stored twice in a list that owns it", tagOffset);
        }
        result.object = loadMap_[objectIndex].object;
        if (expected && !result.object->isKindOf(expected)) {
            throw KArchiveError(std::string("object of class ") +
                                    result.object->runtimeClass()->className + " where " +
                                    expected->className + " was expected",
                                tagOffset);
        }
        return result;
    }
    if (expected && !cls->isDerivedFrom(expected)) {
        throw KArchiveError(std::string("object of class ") + cls->className + " where " +
                                expected->className + " was expected",
                            tagOffset);
    }
    if (mapCount_ >= kMaxMapCount) {
        fail("too many classes and objects");
    }
    if (objectsCreated_ >= objectLimit_) {
        fail("more than " + std::to_string(objectLimit_) + " objects");
    }
    ++objectsCreated_;
    result.created = cls->create();
    result.object = result.created.get();
    // Registered before it is read, so the object's own data may refer back to it.
    loadMap_.push_back({nullptr, result.object, schema});
    ++mapCount_;

    const uint32_t savedSchema = objectSchema_;
    objectSchema_ = schema;
    result.object->serialize(*this);
    objectSchema_ = savedSchema;
    return result;
}

std::unique_ptr<KPersistent> KArchive::readOwnedObject(const KRuntimeClass* expected) {
    return std::move(readReference(expected, false).created);
}
