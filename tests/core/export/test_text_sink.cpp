// Export text goes out in blocks; the seams between blocks must not show, and a discarded
// write leaves the old file.

#include <gtest/gtest.h>

#include "export/KTextSink.h"
#include "export_test_support.h"

using namespace exporttest;

namespace {

void writeSample(KTextSink& sink) {
    for (int i = 0; i < 200; ++i) {
        sink.text("<").num(i / 7.0).ch(',').num(-1e-5 * i).text(", ").integer(i * 1000003LL);
        sink.text(">\n");
    }
}

} // namespace

TEST(TextSink, TinyBlocksGiveTheSameFile) {
    KTempDir dir("sink");
    std::string reference;
    for (size_t block : {size_t(1), size_t(3), size_t(64), KTextSink::kDefaultBlockSize}) {
        const fs::path p = dir.file("out-" + std::to_string(block) + ".txt");
        KTextSink sink(block);
        ASSERT_TRUE(sink.open(p.string()));
        writeSample(sink);
        ASSERT_TRUE(sink.commit());
        reference = reference.empty() ? kSlurp(p) : reference;
        EXPECT_EQ(kSlurp(p), reference) << block;
    }
    EXPECT_EQ(reference.substr(0, 19), "<0,-0, 0>\n<0.142857");
}

TEST(TextSink, DiscardLeavesTheOldFile) {
    KTempDir dir("sink-discard");
    const std::string p = dir.file("keep.inc").string();
    KTextSink first(4);
    ASSERT_TRUE(first.open(p));
    first.text("old content");
    ASSERT_TRUE(first.commit());
    KTextSink second(4);
    ASSERT_TRUE(second.open(p));
    writeSample(second);
    second.discard();
    EXPECT_EQ(kSlurp(p), "old content");
    EXPECT_EQ(kFilesIn(dir.path()), 1u);
    EXPECT_FALSE(KTextSink().open(dir.file("missing/x.inc").string()));
}
