#pragma once
// The binary archive that documents are stored in.
//
// Encoding: little-endian integers (16-bit words, 32-bit ints) and IEEE floats and
// doubles; strings with a 1-byte, 0xFF + 16-bit or 0xFF 0xFFFF + 32-bit length prefix;
// counts as a 16-bit value or 0xFFFF + 32-bit value; object references with class and
// object indices handed out from 1 in order of first appearance.
//
// A storing archive appends to an in-memory buffer. A loading archive reads from a
// buffer and checks every read: a read past the end, a count or length larger than what
// remains, or a malformed reference throws KArchiveError, which the top-level loader
// catches and turns into an error result (see loadArchive). Objects created while
// reading are always owned by a std::unique_ptr, so an aborted load leaks nothing.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/KRuntimeClass.h"

class KArchiveError : public std::runtime_error {
public:
    KArchiveError(const std::string& what, size_t offset);
    size_t offset() const { return offset_; }

private:
    size_t offset_;
};

class KArchive {
public:
    // Tags of object references.
    static constexpr uint16_t kNullTag = 0x0000;
    static constexpr uint16_t kNewClassTag = 0xFFFF;
    static constexpr uint16_t kClassTag = 0x8000;
    static constexpr uint16_t kBigObjectTag = 0x7FFF;
    static constexpr uint32_t kBigClassTag = 0x80000000u;
    static constexpr uint32_t kMaxMapCount = 0x3FFFFFFEu;
    static constexpr uint32_t kNoSchema = 0xFFFFFFFFu;

    // An archive for storing into an empty buffer.
    KArchive();
    // An archive for loading from bytes.
    explicit KArchive(std::vector<uint8_t> bytes);

    KArchive(const KArchive&) = delete;
    KArchive& operator=(const KArchive&) = delete;

    bool isStoring() const { return storing_; }
    bool isLoading() const { return !storing_; }

    const std::vector<uint8_t>& bytes() const { return buffer_; }
    size_t position() const { return pos_; }
    size_t remaining() const { return buffer_.size() - pos_; }
    // Moves the read position (a loader that found no magic word starts again at 0).
    void seek(size_t offset);

    // The schema that objects written in place by their owner read with.
    uint32_t objectSchema() const { return objectSchema_; }
    void setObjectSchema(uint32_t schema) { objectSchema_ = schema; }

    // ---- storing ----
    void writeUInt8(uint8_t v);
    void writeUInt16(uint16_t v);
    void writeUInt32(uint32_t v);
    void writeInt32(int32_t v) { writeUInt32(static_cast<uint32_t>(v)); }
    void writeFloat(float v);
    void writeDouble(double v);
    void writeString(std::string_view s);
    void writeCount(size_t count);
    void writeBytes(const void* data, size_t size);
    // Writes a reference: null, a back reference, or the class (when new) and the object.
    void writeObject(const KPersistent* object);

    // ---- loading ----
    uint8_t readUInt8();
    uint16_t readUInt16();
    uint32_t readUInt32();
    int32_t readInt32() { return static_cast<int32_t>(readUInt32()); }
    float readFloat();
    double readDouble();
    std::string readString();
    uint32_t readCount();
    void readBytes(void* data, size_t size);

    // What readObject found: a new object (owned), a back reference (not owned) or null.
    struct ObjectRead {
        std::unique_ptr<KPersistent> created;
        KPersistent* object = nullptr;
    };
    // Reads any reference. When expected is given the object must be of that class or
    // derived from it.
    ObjectRead readObjectReference(const KRuntimeClass* expected = nullptr);
    // Reads a reference to an object that the caller will own: null or a new object.
    // A back reference would give one object two owners and is an error here.
    std::unique_ptr<KPersistent> readOwnedObject(const KRuntimeClass* expected = nullptr);

    template <class T>
    std::unique_ptr<T> readOwned() {
        std::unique_ptr<KPersistent> p = readOwnedObject(&T::classRecord);
        return std::unique_ptr<T>(static_cast<T*>(p.release()));
    }

    // The most objects (not counting classes) a loading archive creates; one more is an
    // error. A document sets it so a small hostile file cannot make millions of objects.
    void setObjectLimit(uint32_t limit) { objectLimit_ = limit; }
    // The folder of the file being read (empty when it has none): objects that name
    // other files by a relative name look for them there.
    void setSourceFolder(std::string folder) { sourceFolder_ = std::move(folder); }
    const std::string& sourceFolder() const { return sourceFolder_; }

    // Throws unless n more bytes remain; loaders call it before allocating for a count
    // read from the file (minBytesEach is the least each element can occupy).
    void requireAvailable(uint64_t count, uint64_t minBytesEach, const char* what) const;
    [[noreturn]] void fail(const std::string& what) const;

private:
    ObjectRead readReference(const KRuntimeClass* expected, bool allowBackReference);
    const KRuntimeClass* readClass(uint32_t* schema, uint32_t* objectIndex);
    void writeClass(const KRuntimeClass* cls);
    void writeIndexTag(uint32_t index, bool isClass);
    void need(size_t n, const char* what) const;

    bool storing_;
    std::vector<uint8_t> buffer_;
    size_t pos_ = 0;
    uint32_t objectSchema_ = kNoSchema;

    // Storing: indices handed out so far, by the address of the class record or object.
    std::unordered_map<const void*, uint32_t> storeMap_;
    // Loading: entry i is a class or an object, index 0 is the null reference.
    struct LoadEntry {
        const KRuntimeClass* cls = nullptr;
        KPersistent* object = nullptr;
        uint32_t schema = kNoSchema;
    };
    std::vector<LoadEntry> loadMap_;
    uint32_t mapCount_ = 1;
    uint32_t objectLimit_ = kMaxMapCount;
    std::string sourceFolder_;
    uint32_t objectsCreated_ = 0;
};

// Runs a loader on an archive and reports the first error as text instead of throwing.
// Returns true on success; on failure error holds the message.
template <class Fn>
bool loadArchive(KArchive& ar, Fn&& loader, std::string* error) {
    try {
        loader(ar);
        return true;
    } catch (const KArchiveError& e) {
        if (error) {
            *error = e.what();
        }
        return false;
    } catch (const std::bad_alloc&) {
        if (error) {
            *error = "out of memory while reading the archive";
        }
        return false;
    }
}
