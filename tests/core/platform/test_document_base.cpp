// Documents tell their views what changed.

#include <gtest/gtest.h>

#include <tuple>

#include <functional>
#include <utility>
#include <vector>

#include "platform/KDocumentBase.h"

namespace {

struct RecordingView : KViewObserver {
    void onUpdate(int hint, KPersistent* object) override {
        updates.emplace_back(hint, object);
        if (onUpdateHook) {
            onUpdateHook();
        }
    }
    void onModifiedChanged(bool modified) override { modifiedChanges.push_back(modified); }
    std::vector<std::pair<int, KPersistent*>> updates;
    std::vector<bool> modifiedChanges;
    std::function<void()> onUpdateHook;
};

} // namespace

// Updates reach every view once but the sender; a view removed during an update is not
// told again.
TEST(DocumentBase, UpdatesReachEveryViewButTheSender) {
    KDocumentBase doc;
    RecordingView a, b, c;
    doc.addObserver(&a);
    doc.addObserver(&b);
    doc.addObserver(&c);
    doc.addObserver(&a); // added once only
    doc.updateAllViews(3, nullptr, &a);
    EXPECT_TRUE(a.updates.empty());
    EXPECT_EQ(b.updates, (std::vector<std::pair<int, KPersistent*>>{{3, nullptr}}));
    doc.removeObserver(&b);
    a.onUpdateHook = [&] { doc.removeObserver(&c); };
    doc.updateAllViews(0);
    EXPECT_EQ(std::tuple(a.updates.size(), b.updates.size(), c.updates.size()),
              std::tuple(1u, 1u, 1u));
}

TEST(DocumentBase, ModifiedFlagChangesAreReportedOnce) {
    KDocumentBase doc;
    RecordingView a;
    doc.addObserver(&a);
    doc.setModified();
    doc.setModified();
    doc.setModified(false);
    EXPECT_EQ(a.modifiedChanges, (std::vector<bool>{true, false}));
}
