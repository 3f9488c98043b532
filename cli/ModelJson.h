// The project model as JSON, for `tarnwick dump`: every attribute under its
// exact model name, lists in list order, objects in a fixed key order.
//
//   project:  Path, Properties [{key, value}...], References, Objects, Forms,
//             Modules, Classes, PropertyPages, UserControls, UserDocuments,
//             Designers
//   module:   Name, ModuleType, Path, GUID, Version, Description, Source,
//             Attributes {}, ShortDesc {}, then the ten element lists
//   element:  the attributes of its class (Variables is null for a type
//             whose member list was never filled)
//   argument: isOptional, By, Name, default, DataType, Description
//
// Texts are put in as they are; dump with error_handler_t::replace so that
// text that is not valid UTF-8 never makes the output fail.
//
// Only the declarations of nlohmann/json are included here, so `dump` and
// the rest of the program compile without its full header; a caller that
// looks inside a Json value includes <nlohmann/json.hpp> itself.
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <ostream>
#include <string>

#include "model/CArgument.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "model/Element.h"

namespace tarnwick::cli {

using Json = nlohmann::ordered_json;

Json toJson(const CProject& project);
Json toJson(const CModule& module);
Json toJson(const Element& element);
Json toJson(const CArgument& argument);

// The JSON text: 2-space indent, invalid UTF-8 replaced by U+FFFD.
std::string dumpJson(const Json& json);

// Writes the project as dumpJson(toJson(project)) would, module by module,
// so that only one module's JSON is held at a time.
void writeProjectJson(std::ostream& out, const CProject& project);

}  // namespace tarnwick::cli
