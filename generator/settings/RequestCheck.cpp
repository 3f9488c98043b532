#include "generator/settings/RequestCheck.h"

#include <charconv>

#include "generator/settings/Styles.h"
#include "model/Translation.h"
#include "support/CodePage.h"
#include "support/PageEncoding.h"

namespace tarnwick {

std::string codePageProblem(const std::string& name) {
    return CodePage::open(name) ? "" : "unknown code page";
}

std::string pageEncodingProblem(const std::string& name) {
    if (!CodePage::open(name)) return "unknown code page";
    return pageCharsetName(name)
               ? ""
               : "a browser could read text in it as markup (known: " + pageEncodingList() + ")";
}

std::string languageProblem(std::string_view language, const std::string& translationFile,
                            const std::string& codePage) {
    if (language.empty()) return "it is empty";
    const bool bundled = translationFile.empty();
    const auto files = CodePage::open(codePage);
    const Translation translation =
        Translation::load(bundled ? Translation::defaultPath() : translationFile,
                          bundled || codePage.empty() || !files ? CodePage() : files.value());
    const Status known = translation.checkLanguage(language);
    return known ? "" : known.error().message;
}

std::string styleProblem(const std::string& style, const std::string& themesFolder) {
    if (style.empty()) return {};
    const auto sheet =
        styleSheetPath(themesFolder.empty() ? defaultThemesFolder() : themesFolder, style);
    return sheet ? "" : sheet.error().message;
}

std::string jobsProblem(int jobs) {
    return jobs >= 1 && jobs <= kMaxJobs
               ? ""
               : "not a whole number from 1 to " + std::to_string(kMaxJobs);
}

std::optional<int> parseJobs(std::string_view text) {
    int jobs = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), jobs);
    if (ec != std::errc() || end != text.data() + text.size() || !jobsProblem(jobs).empty())
        return std::nullopt;
    return jobs;
}

namespace {

// The pages' encoding refused: the message says where the name came from.
std::string pageEncodingMessage(const GenerationRequest& request, const std::string& problem) {
    const bool given = !request.outputEncoding.empty();
    const std::string& name = given ? request.outputEncoding : request.codePage;
    if (problem == codePageProblem(name)) return "unknown code page: " + name;
    return "the pages cannot be written in \"" + name + "\"" +
           (given ? std::string()
                  : ", the code page of the project's files, which is the pages' "
                    "encoding when no output encoding is given") +
           ": a browser could read text in it as markup; give an output encoding of " +
           pageEncodingList() + " (or another spelling of one of them, such as cp1252)";
}

}  // namespace

std::optional<RequestProblem> requestProblem(const GenerationRequest& request,
                                             bool languageChosen) {
    if (const std::string problem = codePageProblem(request.codePage); !problem.empty())
        return RequestProblem{"codepage", problem + ": " + request.codePage};
    const bool encodingGiven = !request.outputEncoding.empty();
    const std::string& pages = encodingGiven ? request.outputEncoding : request.codePage;
    if (const std::string problem = pageEncodingProblem(pages); !problem.empty())
        return RequestProblem{encodingGiven ? "output-encoding" : "codepage",
                              pageEncodingMessage(request, problem)};
    if (languageChosen) {
        std::string problem =
            languageProblem(request.language, request.translationFile, request.codePage);
        if (!problem.empty()) return RequestProblem{"language", std::move(problem)};
    }
    if (std::string problem = styleProblem(request.style, request.themesFolder); !problem.empty())
        return RequestProblem{"style", std::move(problem)};
    if (request.jobs != 0) {
        if (const std::string problem = jobsProblem(request.jobs); !problem.empty())
            return RequestProblem{"jobs", std::to_string(request.jobs) + ": " + problem};
    }
    return std::nullopt;
}

Status checkRequest(const GenerationRequest& request, bool languageChosen) {
    if (auto problem = requestProblem(request, languageChosen))
        return Error{problem->key + ": " + problem->message};
    return ok();
}

}  // namespace tarnwick
