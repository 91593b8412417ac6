#pragma once
// Rendering exports with POV-Ray 3.7 in tests: a scene that looks at an exported object
// and the count of pixels that show something other than the blue background.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/KPpm.h"
#include "support/KRunCommand.h"
#include "support/KTestFiles.h"

// A scene that includes subject.inc (after declarations) and looks at Quorl01 from outside
// its bounding box.
inline std::string kPovIncludeScene(const std::string& declarations = {}) {
    return "#version 3.7;\nglobal_settings { assumed_gamma 1.0 }\n"
           "background { rgb <0, 0, 1> }\n" +
           declarations +
           "#include \"subject.inc\"\n"
           "#declare QMin = min_extent(Quorl01);\n#declare QMax = max_extent(Quorl01);\n"
           "#declare QCtr = (QMin + QMax) / 2;\n"
           "#declare QRad = max(vlength(QMax - QMin) / 2, 1e-3);\n"
           "camera { location QCtr + <0.45, 1.0, -1.2> * QRad * 1.35 look_at QCtr angle 55 }\n"
           "light_source { QCtr + <1, 3, -2> * QRad * 4 color rgb 0.75 }\n"
           "light_source { QCtr + <-2, 1, -3> * QRad * 4 color rgb 0.4 shadowless }\n"
           "object { Quorl01 pigment { rgb <1, 0.78, 0.55> } finish { ambient 0.15 } }\n";
}

// Renders scene in folder (with the subject file beside it) at 80 x 60; returns the
// pixels that show something other than the background, or -1 after a failed render
// (logged as a failure).
inline long kPovRenderedPixels(const std::filesystem::path& folder, const std::string& scene) {
    std::ofstream(folder / "scene.pov") << scene;
    std::filesystem::remove(folder / "out.ppm");
    const KCommandRun r = kRunCommand("cd " + kShellQuote(folder) +
                                      " && povray +Iscene.pov +Oout.ppm +FP +W80 +H60 -D -A -V");
    if (r.status != 0) {
        ADD_FAILURE() << "povray exit " << r.status << "\n"
                      << r.output.substr(r.output.size() > 3000 ? r.output.size() - 3000 : 0);
        return -1;
    }
    return kCountPixelsOtherThan(kSlurp(folder / "out.ppm"), 0, 0, 255);
}
