// The word lists of the command line's options live in the core's table of
// settings fields, where the settings file and the workbench read them too.
#pragma once

#include "generator/settings/SettingsFields.h"

namespace tarnwick::cli {

using tarnwick::applyWords;
using tarnwick::FieldList;
using tarnwick::listName;
using tarnwick::wordList;

}  // namespace tarnwick::cli
