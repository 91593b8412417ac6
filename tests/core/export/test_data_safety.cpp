// Writes that fail midway (the file system refuses more bytes) leave the previous file
// as it was and say so; and numbers are written the same under a decimal-comma locale.

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <sys/resource.h>

#include "document/KDocumentFile.h"
#include "document/KTextureList.h"
#include "export/KExport.h"
#include "export_test_support.h"
#include "image/KImageMapTga.h"
#include "platform/KScriptedUi.h"

using namespace exporttest;

namespace {

// Lets a file grow to at most limit bytes while it lives: writes past it fail with
// EFBIG, as on a full disk. The signal the kernel sends for it is ignored.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = saved_;
        tight.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &tight);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

} // namespace

TEST(DataSafety, FailedWritesKeepThePreviousFile) {
    KScriptedUi ui;
    KUiScope scope(ui);
    KTempDir dir("full-disk");
    auto doc = makeDoc(); // the default 51 x 51 object: every file is larger than the limit
    doc->feoPMedia.sizeX = doc->feoPMedia.sizeY = doc->feoPMedia.sizeZ = 60;
    const std::string old(100, 'o');

    // Each failure is told once, with the path and the system's reason.
    const auto tooLarge = [](const fs::path& p) {
        return "\"" + p.string() + "\": File too large";
    };

    const fs::path docPath = dir.file("object.qrz");
    std::ofstream(docPath) << old;
    {
        FileSizeLimit limit(400); // a new document takes about 900 bytes
        std::string error;
        EXPECT_FALSE(kSaveDocument(*doc, docPath.string(), &error));
        EXPECT_EQ(error, "The document could not be saved.\n" + tooLarge(docPath));
    }
    EXPECT_EQ(kSlurp(docPath), old);

    const fs::path texPath = dir.file("textures.qtl");
    std::ofstream(texPath) << old;
    {
        FileSizeLimit limit(200);
        EXPECT_FALSE(KTextureList::defaults().saveFile(texPath.string()));
    }
    EXPECT_EQ(kSlurp(texPath), old);
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{"Couldn't create export file!\n" + tooLarge(texPath)});

    const fs::path tgaPath = dir.file("image.tga");
    std::ofstream(tgaPath) << old;
    {
        KImageMapTga image;
        image.setFormat(24, 4);
        image.resize(64, 64);
        FileSizeLimit limit(4096);
        std::string error;
        EXPECT_EQ(image.save(tgaPath.string(), &error), KImageMapTga::SaveCannotCreate);
        EXPECT_EQ(error, tooLarge(tgaPath));
    }
    EXPECT_EQ(kSlurp(tgaPath), old);

    for (KExportFormat format : kAllFormats) {
        ui.events.clear();
        const fs::path p = dir.file(std::string("export.") + kExportExtension(format));
        std::ofstream(p) << old;
        KExportResult r;
        {
            FileSizeLimit limit(4096);
            r = kExport(*doc, format, p.string());
        }
        const std::string text = "Couldn't create export file!\n" + tooLarge(p);
        EXPECT_FALSE(r.written) << kExportExtension(format);
        EXPECT_EQ(r.error, text) << kExportExtension(format);
        EXPECT_EQ(ui.messages(), std::vector<std::string>{text}) << kExportExtension(format);
        EXPECT_EQ(kSlurp(p), old) << kExportExtension(format);
    }
    // Nothing but the previous files remains: no temporary file is left behind.
    EXPECT_EQ(kFilesIn(dir.path()), 3u + std::size(kAllFormats) - 1u); // .inc is shared by two
}

TEST(DataSafety, DecimalCommaLocaleWritesTheSameBytes) {
    auto doc = makeLayeredDoc();
    doc->exportFlags.normals = 1;
    doc->exportFlags.uv = 1;
    doc->exportFlags.includeTextureNames = 1;
    auto exportAll = [&](const KTempDir& dir) {
        std::vector<std::string> texts;
        KExportOptions ascii;
        ascii.ascii = true; // the text forms of STL and PLY
        for (KExportFormat format : kAllFormats) {
            for (int32_t type : {CPexaDoc::Skinned, CPexaDoc::Layered}) {
                for (const KExportOptions& options : {KExportOptions{}, ascii}) {
                    doc->meshType = type;
                    const fs::path p = dir.file("x." + std::string(kExportExtension(format)));
                    kExport(*doc, format, p.string(), options);
                    texts.push_back(kSlurp(p));
                }
            }
        }
        texts.push_back(KTextureList::defaults().toText());
        const std::vector<uint8_t> bytes = kDocumentBytes(*doc);
        texts.emplace_back(bytes.begin(), bytes.end());
        return texts;
    };
    KScriptedUi ui;
    KUiScope scope(ui);
    KTempDir plain("locale-c");
    const std::vector<std::string> reference = exportAll(plain);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/install-deps makes it";
    KTempDir comma("locale-de");
    const std::vector<std::string> underComma = exportAll(comma);
    std::setlocale(LC_ALL, "C");
    ASSERT_EQ(reference.size(), underComma.size());
    for (size_t i = 0; i < reference.size(); ++i) {
        EXPECT_TRUE(reference[i] == underComma[i]) << "output " << i << " differs";
    }
    // And what is read back under the comma locale is the same.
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    KTextureList list;
    EXPECT_EQ(list.fromText(reference[reference.size() - 2]), KTextureList::ReadStatus::Ok);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(list.toText(), reference[reference.size() - 2]);
}
