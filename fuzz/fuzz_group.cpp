// Fuzzes the group file reader and the group's run: the input is a .vbg
// file in a scratch folder that also holds a small group's projects: a
// library (an ActiveX DLL with a public and a private class) and an EXE that
// refers to it by project reference, names its classes and calls their
// members. The group's site is written into the scratch folder, on one
// thread, so a group file's shapes (projects named twice, itself, a folder,
// a missing file, a thousand lines, paths out of the folder) reach the scan,
// the calls across projects and the group's own pages.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "generator/run/GroupRun.h"
#include "support/Diagnostics.h"

namespace {

struct File {
    const char* name;
    const char* text;
};

const File kFiles[] = {
    {"Lib/Lib.vbp",
     "Type=OleDll\r\nClass=CThing; CThing.cls\r\nClass=CHidden; CHidden.cls\r\nName=\"Lib\"\r\n"},
    {"Lib/CThing.cls",
     "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n"
     "Attribute VB_Name = \"CThing\"\r\nAttribute VB_Exposed = True\r\n"
     "' Measures a thing.\r\nPublic Function Size(ByVal a As Long) As CThing\r\n"
     "    Set Size = Me\r\nEnd Function\r\n"},
    {"Lib/CHidden.cls",
     "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n"
     "Attribute VB_Name = \"CHidden\"\r\nAttribute VB_Exposed = False\r\n"
     "Public Sub Go()\r\nEnd Sub\r\n"},
    {"App/App.vbp",
     "Type=Exe\r\nReference=*\\A..\\Lib\\Lib.vbp\r\nModule=modApp; modApp.bas\r\n"
     "Name=\"App\"\r\n"},
    {"App/modApp.bas",
     "Attribute VB_Name = \"modApp\"\r\n' Uses the library.\r\nPublic Sub Main()\r\n"
     "    Dim t As Lib.CThing, h As CHidden\r\n    Set t = New CThing\r\n"
     "    t.Size(1).Size 2\r\n    h.Go\r\nEnd Sub\r\n"},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarnwick;
    fuzz::clearScratch();
    for (const File& file : kFiles)
        fuzz::writeScratchFile(file.name, reinterpret_cast<const uint8_t*>(file.text),
                               std::char_traits<char>::length(file.text));
    fuzz::writeScratchFile("res/src/.keep", nullptr, 0);
    fuzz::writeScratchFile("Product.vbg", data, size);

    GenerationRequest request;
    request.projectPath = fuzz::scratchFolder() + "Product.vbg";
    request.outputFolder = fuzz::scratchFolder() + "site";
    request.resourceFolder = fuzz::scratchFolder() + "res";
    request.fixedTime = "1700000000";
    request.jobs = 1;
    CollectingSink sink;
    (void)GroupRun(request, {}, nullptr, &sink).run();
    return 0;
}
