// The binary archive: every construct round-trips, the bytes are exactly the documented
// encoding, and malformed input is an error, never a crash.

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "model/KBdlCurve.h"
#include "model/KBdlSegment.h"
#include "model/KModelClasses.h"
#include "model/KVertex.h"
#include "platform/KArchive.h"
#include "support/KArchiveWrite.h"

namespace {

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override { KRegisterModelClasses(); }
};

std::vector<uint8_t> bytesOf(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) {
        out.push_back(uint8_t(v));
    }
    return out;
}

// A loader that reads a list of owned objects, like a layer reads its muscles.
std::vector<std::unique_ptr<KPersistent>> readList(KArchive& ar) {
    std::vector<std::unique_ptr<KPersistent>> out;
    const uint32_t n = ar.readCount();
    ar.requireAvailable(n, 2, "object");
    for (uint32_t i = 0; i < n; ++i) {
        out.push_back(ar.readOwnedObject());
    }
    return out;
}

} // namespace

TEST_F(ArchiveTest, NumbersAreLittleEndian) {
    KArchive ar;
    ar.writeUInt16(0x1234);
    ar.writeInt32(-2);
    ar.writeFloat(1.0f);
    ar.writeDouble(-2.5);
    EXPECT_EQ(ar.bytes(), bytesOf({0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F, 0, 0,
                                   0, 0, 0, 0, 0x04, 0xC0}));
    KArchive in(ar.bytes());
    // Braced lists are evaluated in order, so the reads happen left to right.
    EXPECT_EQ((std::tuple{in.readUInt16(), in.readInt32()}), std::tuple(0x1234, -2));
    EXPECT_EQ((std::tuple{in.readFloat(), in.readDouble(), in.remaining()}),
              std::tuple(1.0f, -2.5, 0u));
}

TEST_F(ArchiveTest, StringLengthPrefixesAtEachBoundary) {
    struct Case {
        size_t length;
        std::vector<uint8_t> prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {0xFFFD, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        const std::string s(c.length, 'q');
        KArchive ar;
        ar.writeString(s);
        ASSERT_EQ(ar.bytes().size(), c.prefix.size() + c.length) << c.length;
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), ar.bytes().begin())) << c.length;
        KArchive in(ar.bytes());
        EXPECT_EQ((std::tuple{in.readString(), in.remaining()}), std::tuple(s, 0u));
    }
}

TEST_F(ArchiveTest, CountsUseSixteenBitsOrEscape) {
    KArchive ar;
    ar.writeCount(3);
    ar.writeCount(0xFFFE);
    ar.writeCount(0xFFFF);
    ar.writeCount(100000);
    EXPECT_EQ(ar.bytes(), bytesOf({3, 0, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0xA0,
                                   0x86, 0x01, 0x00}));
    KArchive in(ar.bytes());
    for (uint32_t n : {3u, 0xFFFEu, 0xFFFFu, 100000u}) {
        EXPECT_EQ(in.readCount(), n);
    }
}

TEST_F(ArchiveTest, ObjectReferencesHandOutIndicesClassBeforeObject) {
    KBdlSegment a, b;
    a.name = "A";
    b.name = "B";
    KArchive ar;
    ar.writeObject(nullptr);
    ar.writeObject(&a); // class 1, object 2
    ar.writeObject(&b); // class by index: 0x8001, object 3
    ar.writeObject(&a); // back reference 2
    const std::vector<uint8_t>& out = ar.bytes();
    // null, then 0xFFFF, schema 10, name length 11, "KBdlSegment"
    const std::vector<uint8_t> head = bytesOf({0x00, 0x00, 0xFF, 0xFF, 0x0A, 0x00, 0x0B, 0x00});
    ASSERT_GE(out.size(), head.size() + 11);
    EXPECT_TRUE(std::equal(head.begin(), head.end(), out.begin()));
    EXPECT_EQ(std::string(out.begin() + 8, out.begin() + 19), "KBdlSegment");
    // Segment data: name "A" (2 bytes) + three floats
    const size_t second = 19 + 2 + 12, third = second + 2 + 2 + 12;
    EXPECT_EQ(std::tuple(out[second], out[second + 1]), std::tuple(0x01, 0x80));
    EXPECT_EQ(std::tuple(out[third], out[third + 1], out.size()),
              std::tuple(0x02, 0x00, third + 2));

    KArchive in(out);
    EXPECT_EQ(in.readObjectReference().object, nullptr);
    KArchive::ObjectRead ra = in.readObjectReference();
    KArchive::ObjectRead rb = in.readObjectReference(&KBdlSegment::classRecord);
    KArchive::ObjectRead back = in.readObjectReference();
    ASSERT_TRUE(ra.created && rb.created);
    EXPECT_EQ(std::tuple(static_cast<KBdlSegment*>(ra.object)->name,
                         static_cast<KBdlSegment*>(rb.object)->name, bool(back.created),
                         back.object),
              std::tuple("A", "B", false, ra.object));
}

TEST_F(ArchiveTest, LargeIndicesUseTheEscapeTag) {
    // 0x7FFF objects push the next indices past the 15-bit range.
    std::vector<KBdlSegment> many(0x7FFF);
    KArchive ar;
    ar.writeCount(many.size());
    for (const KBdlSegment& s : many) {
        ar.writeObject(&s);
    }
    const size_t before = ar.bytes().size();
    ar.writeObject(&many[0x7FFE]); // index 0x7FFF: needs the escape
    EXPECT_EQ(std::tuple(ar.bytes().size(), ar.bytes()[before], ar.bytes()[before + 1]),
              std::tuple(before + 6, 0xFF, 0x7F));

    KArchive in(ar.bytes());
    auto objects = readList(in);
    ASSERT_EQ(objects.size(), many.size());
    EXPECT_EQ(in.readObjectReference().object, objects[0x7FFE].get());
    EXPECT_EQ(in.remaining(), 0u);
}

TEST_F(ArchiveTest, VersionableClassHandsStoredSchemaToLoader) {
    // A segment stored with schema 5 carries no fields.
    KArchive ar;
    kWriteClassHeader(ar, "KBdlSegment", 5);
    KArchive in(ar.bytes());
    auto seg = in.readOwned<KBdlSegment>();
    ASSERT_TRUE(seg);
    EXPECT_EQ(std::tuple(seg->name, seg->length, in.remaining()), std::tuple("(none)", 1.0f, 0u));
}

TEST_F(ArchiveTest, ObjectSchemaIsRestoredAfterNestedObject) {
    KArchive ar;
    ar.writeObject(nullptr);
    KArchive in(ar.bytes());
    in.setObjectSchema(7);
    in.readObjectReference();
    EXPECT_EQ(in.objectSchema(), 7u);
}

// ---- malformed input

TEST_F(ArchiveTest, MalformedInputIsAnErrorResult) {
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"count without objects", {2, 0}},
        {"count larger than the file", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0}},
        {"unknown class", {1, 0, 0xFF, 0xFF, 10, 0, 3, 0, 'F', 'o', 'o'}},
        {"class name past the end", {1, 0, 0xFF, 0xFF, 10, 0, 50, 0, 'K'}},
        {"back reference to nothing", {1, 0, 5, 0}},
        {"class index that is unknown", {1, 0, 0x05, 0x80}},
        {"big tag without its value", {1, 0, 0xFF, 0x7F, 1}},
        {"vertex with another schema",
         {1, 0, 0xFF, 0xFF, 2, 0, 7, 0, 'K', 'V', 'e', 'r', 't', 'e', 'x'}},
        {"abstract class", {1, 0, 0xFF, 0xFF, 1, 0, 7, 0, 'C', 'O', 'b', 'j', 'e', 'c', 't'}},
        // first a segment (class 1, object 2), then tag 1 names the class, not an object
        {"class reference used as object", {2,   0,   0xFF, 0xFF, 5,   0,   11,  0,   'K', 'B', 'd',
                                            'l', 'S', 'e',  'g',  'm', 'e', 'n', 't', 1,   0}},
        {"owned object stored twice", {2,   0,   0xFF, 0xFF, 5,   0,   11,  0,   'K', 'B', 'd',
                                       'l', 'S', 'e',  'g',  'm', 'e', 'n', 't', 2,   0}},
        {"string longer than the rest", {0x10, 'a'}},
    };
    for (const auto& c : cases) {
        KArchive in(c.bytes);
        std::string error;
        EXPECT_FALSE(loadArchive(
            in, [](KArchive& a) { readList(a); }, &error))
            << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST_F(ArchiveTest, ErrorsSayWhatWentWrong) {
    // A string longer than the rest of the file, and an object of another class than the
    // one expected.
    KBdlSegment s;
    KArchive segment;
    segment.writeObject(&s);
    const struct {
        std::vector<uint8_t> bytes;
        std::function<void(KArchive&)> read;
        const char* saying;
    } cases[] = {
        {bytesOf({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00, 'x'}),
         [](KArchive& a) { a.readString(); }, "end of file"},
        {segment.bytes(), [](KArchive& a) { a.readOwned<KBdlCurve>(); }, "KBdlSegment"},
    };
    for (const auto& c : cases) {
        KArchive in(c.bytes);
        std::string error;
        EXPECT_FALSE(loadArchive(in, c.read, &error));
        EXPECT_NE(error.find(c.saying), std::string::npos) << error;
    }
}

// Every prefix of a valid archive loads as an error or as a complete result.
TEST_F(ArchiveTest, TruncationSweepNeverCrashes) {
    KBdlCurve c1("< 0, 0.10 >, < 0.50, 0.20 >, < 1.00, 0.10 >");
    KBdlCurve c2("< 0, 1 >, < 1, 2 >");
    c2.texts[0] = std::string(300, 't');
    KBdlSegment seg;
    KArchive ar;
    ar.writeCount(4);
    ar.writeObject(&c1);
    ar.writeObject(&seg);
    ar.writeObject(&c2);
    ar.writeObject(nullptr);
    const std::vector<uint8_t> full = ar.bytes();
    for (size_t n = 0; n <= full.size(); ++n) {
        KArchive in(std::vector<uint8_t>(full.begin(), full.begin() + long(n)));
        std::vector<std::unique_ptr<KPersistent>> objects;
        std::string error;
        const bool ok = loadArchive(
            in, [&](KArchive& a) { objects = readList(a); }, &error);
        EXPECT_EQ(ok, n == full.size()) << n;
        if (ok) {
            ASSERT_EQ(objects.size(), 4u);
            EXPECT_EQ(static_cast<KBdlCurve*>(objects[2].get())->texts[0], c2.texts[0]);
        }
    }
}
