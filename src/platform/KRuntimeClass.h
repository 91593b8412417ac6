#pragma once
// Run-time class records: the name, schema and factory of every class that can be
// stored in an archive, so a reader can create objects by the class name it finds.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class KArchive;
class KPersistent;

struct KRuntimeClass {
    const char* className;
    uint32_t schema;  // current schema; the archive stores its low 16 bits
    bool versionable; // a reader accepts any stored schema and hands it to the loader
    const KRuntimeClass* base;
    std::unique_ptr<KPersistent> (*factory)(); // null for classes that are never created by name

    bool isDerivedFrom(const KRuntimeClass* other) const;
    std::unique_ptr<KPersistent> create() const;

    // The registry of classes that archives may create by name.
    static void registerClass(const KRuntimeClass* record);
    static const KRuntimeClass* find(std::string_view name);
    static std::vector<const KRuntimeClass*> registered();
};

// Root of every object that has a run-time class record and can be serialised.
class KPersistent {
public:
    KPersistent() = default;
    KPersistent(const KPersistent&) = default;
    KPersistent& operator=(const KPersistent&) = default;
    virtual ~KPersistent() = default;

    static const KRuntimeClass classRecord;
    virtual const KRuntimeClass* runtimeClass() const { return &classRecord; }
    virtual void serialize(KArchive& ar);

    bool isKindOf(const KRuntimeClass* cls) const { return runtimeClass()->isDerivedFrom(cls); }
};

// Declares the class record of a serialisable class; put it in the class body.
#define K_DECLARE_SERIAL(cls)                                                                      \
public:                                                                                            \
    static const KRuntimeClass classRecord;                                                        \
    const KRuntimeClass* runtimeClass() const override {                                           \
        return &classRecord;                                                                       \
    }

// Defines the class record in the class's .cpp file.
#define K_IMPLEMENT_SERIAL(cls, baseCls, schemaNumber, isVersionable)                              \
    const KRuntimeClass cls::classRecord{                                                          \
        #cls, schemaNumber, isVersionable, &baseCls::classRecord,                                  \
        []() -> std::unique_ptr<KPersistent> { return std::make_unique<cls>(); }};

// A class record for a class that is never created by name (abstract bases, helpers).
#define K_IMPLEMENT_DYNAMIC(cls, baseCls, schemaNumber, isVersionable)                             \
    const KRuntimeClass cls::classRecord{#cls, schemaNumber, isVersionable, &baseCls::classRecord, \
                                         nullptr};
