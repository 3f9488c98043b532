// The word lists of the command line's options live in the core, where the
// settings file reads the same words.
#pragma once

#include "generator/settings/SettingsWords.h"

namespace tarnwick::cli {

using tarnwick::applyWords;
using tarnwick::kKindWords;
using tarnwick::kMemberWords;
using tarnwick::kScopeWords;
using tarnwick::kSectionWords;
using tarnwick::Word;
using tarnwick::wordList;

}  // namespace tarnwick::cli
