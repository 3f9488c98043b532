// Word tables of the cross-references: which names VB6 reserves, which
// start a statement of their own, and which forms and user controls have
// built in. Every question takes a key(): the name in lower case without
// its type character.
#pragma once

#include <string>
#include <string_view>

namespace tarnwick::xref {

// name in lower case without a trailing type character ("Count&" -> "count"):
// how VB6 compares names.
std::string key(std::string_view name);

// A keyword or type name: never a member of the project.
bool isReservedWord(const std::string& key);

// A statement with a syntax of its own (Open, Print, Line, Name ... As):
// at the start of a statement it is that statement, whatever members the
// project has of that name. The statements that are procedures of VB6's
// own libraries (Reset, Load, Kill, Beep) are not: a project member of that
// name hides them, as every project name hides a library name.
bool isStatementSyntax(const std::string& key);

// What forms, user controls and property pages have built in: in their code
// such a name means the object's own member, never another module's.
bool isObjectWord(const std::string& key);

}  // namespace tarnwick::xref
