#pragma once
// What views ask of the application around them: the item clipboard shared by all
// documents, refreshing the commands' enabled states, the document's item editor and the
// two test commands. The main window implements it; a view outside the main window (in a
// test, or the offscreen renderer) finds none and does without.

#include <memory>

class CPexaDoc;
class KBdlMuscle;
class QWidget;

class KAppServices {
public:
    virtual ~KAppServices() = default;
    virtual const KBdlMuscle* itemClipboard() const = 0;
    virtual void setItemClipboard(std::unique_ptr<KBdlMuscle> muscle) = 0;
    virtual void updateCommands() = 0;
    virtual void openItemEditor(CPexaDoc& doc, KBdlMuscle& muscle) = 0;
    virtual bool textureListTest() = 0;
    virtual bool runExportTesting(CPexaDoc& doc) = 0;
};

// The services of the top-level window the widget is in, or null.
KAppServices* kAppServices(const QWidget* widget);
