#pragma once
// The export commands of the File menu: the layer choice, the format's options, the file
// choice and the write. Dialogs and the file choice go through replaceable functions so
// that a test can answer them.

#include <QString>

class CPexaDoc;
class QDialog;
class QWidget;

class KExportCommand {
public:
    enum Kind {
        MegaPov,    // "POV-Ray 3.1 and MegaPov...": mesh or mesh2, then the optional UDO file
        PovInclude, // the older single-file POV include export
        Raw,
        Rib,
        Obj,
        Df3,
        Ascii, // the testing routine "ASCII NURBS 0": no options dialog
        Gltf,
        Stl,
        Ply
    };

    KExportCommand(CPexaDoc& doc, QWidget* parent);

    // The whole command. True when the file was written (the UDO file not counted); a
    // Layered export with nothing in it is not a written file and asks for no UDO file.
    bool run(Kind kind);

    // "Select Layers": false when there are no layers or the dialog is cancelled. On OK
    // the choice and the mesh type are stored in the document. The selection is locked
    // while the dialog runs; run() keeps it locked for the rest of the command.
    bool selectLayers();

    // The last file written by run(), for the UDO follow-up and tests.
    QString lastPath() const { return lastPath_; }

    // STL and PLY: the text form rather than binary. Not a document setting: the choice
    // made in the options dialog holds for the rest of the session.
    static bool stlAscii;
    static bool plyAscii;

private:
    bool runOptions(Kind kind);
    // Runs a dialog that is set up with the document's values, modally; true on OK.
    bool runDialog(QDialog& dialog);
    // Asks for the file to write: caption, Qt name filter, default extension (no dot) and
    // the name the dialog starts with ("untitled", or the include file's name for the
    // UDO file). An empty result cancels. A save dialog that asks before replacing a
    // file.
    QString chooseFile(const QString& caption, const QString& filter, const QString& extension,
                       const QString& initialName);

    CPexaDoc& doc_;
    QWidget* parent_;
    QString lastPath_;
};
