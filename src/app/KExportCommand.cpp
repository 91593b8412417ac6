#include "app/KExportCommand.h"

#include <QDir>
#include <QFileInfo>

#include "dialogs/KExchangeDialogs.h"
#include "dialogs/KExportDialogs.h"
#include "document/CPexaDoc.h"
#include "document/KExportSelectionLock.h"
#include "export/KExport.h"
#include "gui/KDialogKit.h"
#include "gui/KLayerNames.h"
#include "platform/KUi.h"

namespace {

struct FormatInfo {
    const char* caption;
    const char* filter; // Qt form of the format's file filter
};

FormatInfo formatInfo(KExportCommand::Kind kind) {
    switch (kind) {
    case KExportCommand::MegaPov:
        return {"Export Mesh", "MegaPOV include files (*.inc)"};
    case KExportCommand::PovInclude:
        return {"Export Mesh", "POV include (*.inc)"};
    case KExportCommand::Raw:
        return {"Export Mesh", "RAW Files (*.raw)"};
    case KExportCommand::Rib:
        return {"Export Mesh", "RIB include (*.rib)"};
    case KExportCommand::Obj:
        return {"Export Mesh", "OBJ include (*.obj)"};
    case KExportCommand::Df3:
        return {"Export POV Media Point Cloud", "POV-Ray Media Files (*.df3)"};
    case KExportCommand::Ascii:
        return {"Export Mesh", "ASCII Test Files (*.txt)"};
    case KExportCommand::Gltf:
        return {"Export Mesh", "glTF 2.0 binary (*.glb)"};
    case KExportCommand::Stl:
        return {"Export Mesh", "STL files (*.stl)"};
    case KExportCommand::Ply:
        return {"Export Mesh", "PLY files (*.ply)"};
    }
    return {"Export Mesh", "All Files (*)"};
}

KExportFormat formatOf(KExportCommand::Kind kind, const CPexaDoc& doc) {
    switch (kind) {
    case KExportCommand::MegaPov:
        return doc.feoMegaPov.type == KFeoMegaPov::Mesh ? KExportFormat::PovMesh
                                                        : KExportFormat::PovMesh2;
    case KExportCommand::PovInclude:
        return KExportFormat::PovMesh;
    case KExportCommand::Raw:
        return KExportFormat::Raw;
    case KExportCommand::Rib:
        return KExportFormat::Rib;
    case KExportCommand::Obj:
        return KExportFormat::Obj;
    case KExportCommand::Df3:
        return KExportFormat::Df3;
    case KExportCommand::Ascii:
        return KExportFormat::Ascii;
    case KExportCommand::Gltf:
        return KExportFormat::Gltf;
    case KExportCommand::Stl:
        return KExportFormat::Stl;
    case KExportCommand::Ply:
        return KExportFormat::Ply;
    }
    return KExportFormat::Obj;
}

// The name the UDO save dialog starts with: the include file's name up to its first
// ".", or "untitled".
QString udoInitialName(const QString& includePath) {
    const QString base = QFileInfo(includePath).fileName().section(QLatin1Char('.'), 0, 0);
    return base.isEmpty() ? QStringLiteral("untitled") : base;
}

} // namespace

bool KExportCommand::stlAscii = false;
bool KExportCommand::plyAscii = false;

KExportCommand::KExportCommand(CPexaDoc& doc, QWidget* parent) : doc_(doc), parent_(parent) {}

bool KExportCommand::runDialog(QDialog& dialog) {
    return kRunDialog(dialog) == QDialog::Accepted;
}

QString KExportCommand::chooseFile(const QString& caption, const QString& filter,
                                   const QString& extension, const QString& initialName) {
    return kChooseFile(parent_, {.save = true,
                                 .title = caption,
                                 .filter = filter,
                                 .defaultSuffix = extension,
                                 .initialName = initialName + QLatin1Char('.') + extension,
                                 .inWorkingFolder = true});
}

bool KExportCommand::selectLayers() {
    const int count = static_cast<int>(doc_.layers.size());
    if (count == 0) {
        kUi().message("There are no User Layer's to select!", KUi::Icon::Information);
        return false;
    }
    // One entry per layer: the stored choice where there is one, else a value past the
    // last layer that selects nothing.
    std::vector<int> working(static_cast<size_t>(count), count + 1);
    const auto& stored = doc_.exportLayerSelection;
    for (size_t k = 0; k < working.size() && k < stored.size(); ++k) {
        working[k] = stored[k];
    }
    const int startType = stored.empty() ? CPexaDoc::Skinned : doc_.meshType;
    const KExportSelectionLock lock(doc_);
    CExportSelectLayersDlg dialog(kLayerNames(doc_), working, startType, parent_);
    if (!runDialog(dialog)) {
        return false;
    }
    const std::vector<int> chosen = dialog.selection();
    // The lock keeps the views out, not this dialog: store directly.
    doc_.exportLayerSelection.assign(chosen.begin(), chosen.end());
    const int type = dialog.meshType();
    if (type != doc_.meshType) {
        doc_.meshType = type;
        doc_.nameNextEdit("Mesh Type");
        doc_.documentChanged();
    }
    return true;
}

bool KExportCommand::runOptions(Kind kind) {
    auto run = [this](auto& dialog) {
        if (!runDialog(dialog)) {
            return false;
        }
        dialog.apply(doc_);
        return true;
    };
    switch (kind) {
    case MegaPov: {
        CMegaPovOptionsDlg dialog(doc_, parent_);
        return run(dialog);
    }
    case PovInclude: {
        CPovOptionsDlg dialog(doc_, parent_);
        return run(dialog);
    }
    case Raw: {
        CRawOptionsDlg dialog(doc_, parent_);
        return run(dialog);
    }
    case Rib: {
        CRibOptionsDlg dialog(doc_, parent_);
        return run(dialog);
    }
    case Obj: {
        CObjOptionsDlg dialog(doc_, parent_);
        return run(dialog);
    }
    case Df3: {
        CDf3OptionsDlg dialog(doc_, parent_);
        return run(dialog);
    }
    case Ascii:
        return true;
    case Gltf: {
        CGltfOptionsDlg dialog(doc_, parent_);
        return run(dialog);
    }
    case Stl: {
        CStlOptionsDlg dialog(doc_, stlAscii, parent_);
        if (!run(dialog)) {
            return false;
        }
        stlAscii = dialog.ascii();
        return true;
    }
    case Ply: {
        CPlyOptionsDlg dialog(doc_, plyAscii, parent_);
        if (!run(dialog)) {
            return false;
        }
        plyAscii = dialog.ascii();
        return true;
    }
    }
    return false;
}

bool KExportCommand::run(Kind kind) {
    // From "Select Layers" to the end of the command, the UDO file included, the views
    // cannot replace the layer choice; released on every way out.
    const KExportSelectionLock lock(doc_);
    if (!selectLayers() || !runOptions(kind)) {
        return false;
    }
    const FormatInfo info = formatInfo(kind);
    const KExportFormat format = formatOf(kind, doc_);
    const QString path =
        chooseFile(QObject::tr(info.caption), QObject::tr(info.filter),
                   QString::fromLatin1(kExportExtension(format)), QStringLiteral("untitled"));
    if (path.isEmpty()) {
        return false;
    }
    lastPath_ = path;
    KExportOptions extra;
    extra.ascii = (kind == Stl && stlAscii) || (kind == Ply && plyAscii);
    // The writers show every failure themselves (once, with the path and the reason);
    // result.error is the same text and is not shown again here.
    const KExportResult result = kExport(doc_, format, path.toStdString(), extra);
    if (!result.written || result.nothingToExport) {
        return false;
    }
    if (kind == MegaPov && doc_.feoMegaPov.includeUdo && !result.cancelled) {
        // The Moray file that refers to the include file just written; its own save
        // dialog, and Cancel there ends the command.
        const QString udoPath =
            chooseFile(QObject::tr("Save Moray UDO File"), QObject::tr("Moray udo files (*.udo)"),
                       QStringLiteral("udo"), udoInitialName(path));
        if (!udoPath.isEmpty()) {
            KExportOptions udo;
            udo.udoIncludeFile = QFileInfo(path).fileName().toStdString();
            kExport(doc_, KExportFormat::Udo, udoPath.toStdString(), udo);
        }
    }
    return true;
}
