// Export text goes out in blocks; the seams between blocks must not show.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "export/KTextSink.h"

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeSample(KTextSink& sink) {
    for (int i = 0; i < 200; ++i) {
        sink.text("<").num(i / 7.0).ch(',').num(-1e-5 * i).text(", ").integer(i * 1000003LL);
        sink.text(">\n");
    }
}

} // namespace

TEST(TextSink, TinyBlocksGiveTheSameFile) {
    const fs::path dir =
        fs::temp_directory_path() / ("quorl-sink-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string reference;
    for (size_t block :
         {size_t(1), size_t(3), size_t(7), size_t(64), KTextSink::kDefaultBlockSize}) {
        const fs::path p = dir / ("out-" + std::to_string(block) + ".txt");
        KTextSink sink(block);
        ASSERT_TRUE(sink.open(p.string()));
        writeSample(sink);
        ASSERT_TRUE(sink.commit());
        const std::string got = slurp(p);
        if (reference.empty()) {
            reference = got;
        }
        EXPECT_EQ(got, reference) << block;
    }
    EXPECT_EQ(reference.substr(0, 19), "<0,-0, 0>\n<0.142857");
    fs::remove_all(dir);
}

TEST(TextSink, DiscardLeavesTheOldFile) {
    const fs::path dir =
        fs::temp_directory_path() / ("quorl-sink-discard-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path p = dir / "keep.inc";
    {
        KTextSink first(4);
        ASSERT_TRUE(first.open(p.string()));
        first.text("old content");
        ASSERT_TRUE(first.commit());
    }
    {
        KTextSink second(4);
        ASSERT_TRUE(second.open(p.string()));
        writeSample(second);
        second.discard();
    }
    EXPECT_EQ(slurp(p), "old content");
    KTextSink bad;
    EXPECT_FALSE(bad.open((dir / "missing" / "x.inc").string()));
    fs::remove_all(dir);
}
