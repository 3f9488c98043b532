// RequestCheck: whether the values of a GenerationRequest can be used: the
// code page of the project's files, the pages' encoding, the language, the
// style and the number of threads.
//
// One rule per value, asked by everyone who takes one in: the settings file
// when it reads its keys (naming file, line and key), the command line
// before it starts a run, the workbench before it opens the progress
// window, and the run itself, which refuses a request nobody checked. Each
// rule gives what is wrong as a phrase ("unknown code page"), empty when
// nothing is; checkRequest puts them together for a whole request.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "generator/settings/GenerationRequest.h"
#include "support/Errors.h"

namespace tarnwick {

// The most threads a run may use: the bound of --jobs and of the file's jobs.
inline constexpr int kMaxJobs = 256;

// A code page iconv cannot convert: "unknown code page".
std::string codePageProblem(const std::string& name);
// A code page the pages cannot be written in: unknown, or one in which a
// browser could read a name's bytes as markup.
std::string pageEncodingProblem(const std::string& name);
// A language the translation file has no section for. The bundled file
// (translationFile empty) is read in windows-1252, a user's in codePage,
// as the run reads them.
std::string languageProblem(std::string_view language, const std::string& translationFile,
                            const std::string& codePage = {});
// A style that is no folder of themesFolder (empty: the one beside the
// program) with a style sheet; the empty style (the plain one) is fine.
std::string styleProblem(const std::string& style, const std::string& themesFolder);
// A number of threads outside 1 to kMaxJobs.
std::string jobsProblem(int jobs);
// "8" as a number of threads; nullopt for anything but a whole number
// jobsProblem accepts.
std::optional<int> parseJobs(std::string_view text);

// A value of a request that cannot be used: key names it as the settings
// file's key and the command line's long option do ("codepage",
// "output-encoding", "language", "style", "jobs"); message says what is
// wrong, naming the value.
struct RequestProblem {
    std::string key;
    std::string message;
};

// Every value of request, in the order above: the first problem, or nullopt.
// The language is checked only when chosen (the user named it); one taken
// from the locale may be missing from a user's translation file, whose
// texts then fall back to the defaults. A request's jobs of 0 stands for
// one thread per core.
std::optional<RequestProblem> requestProblem(const GenerationRequest& request,
                                             bool languageChosen = false);
// requestProblem as an error: "style: unknown style ...".
Status checkRequest(const GenerationRequest& request, bool languageChosen = false);

}  // namespace tarnwick
