// readDesignerBlock: the form designer's block at the top of a form, user
// control or property page file, read into a FormDesign.
//
// The block is the lines above the first Attribute line:
//   VERSION 5.00
//   Object = "{GUID}#2.0#0"; "MSCOMCTL.OCX"
//   Begin VB.Form frmMain
//      Caption = "Ledger"
//      Begin VB.Frame fraOptions
//         BeginProperty Font {GUID}  ... EndProperty
//      End
//   End
// Each Begin ... End becomes a DesignControl (the outermost one is the form
// itself), each "Name = value" line a DesignProperty of the innermost open
// control with its value as written (quotes kept, a trailing 'comment cut
// off). BeginProperty groups (fonts, panels, columns) are skipped, nested
// ones too. The VERSION and Object lines carry nothing the pages show.
//
// Odd blocks are read as far as they make sense and never stop the module's
// reading: a missing End, an End too many, a Begin without a name, a line
// that is no property, bytes that are no text, nesting deeper than
// kMaxDesignDepth and values longer than kMaxDesignValue each give a warning
// with the file and line. Time and memory are linear in the block.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/FormDesign.h"
#include "reader/CStringLines.h"

namespace tarnwick {

class DiagnosticsSink;

// Controls nested deeper than this are left out (with their handlers read as
// ordinary routines); the form designer itself nests a few levels.
constexpr int32_t kMaxDesignDepth = 64;
// A value longer than this is cut: the designer keeps long texts in the
// .frx side file, so a longer one is no real form's.
constexpr size_t kMaxDesignValue = 4096;

// The design held by lines [0, end) of a module file (file line = index + 1);
// null when they hold no Begin line. diagnostics may be null; path names the
// file in warnings.
std::shared_ptr<const FormDesign> readDesignerBlock(const CStringLines& lines, int32_t end,
                                                    const std::string& path,
                                                    DiagnosticsSink* diagnostics);

}  // namespace tarnwick
