// Hand-built models and a page context with a fixed timestamp for the page writer tests.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "generator/pages/PageBody.h"
#include "generator/site/PageContext.h"
#include "model/CProject.h"  // with every element kind
#include "model/Translation.h"

namespace tarnwick::testing {

inline std::shared_ptr<CVariable> makeVariable(std::string name, std::string dataType,
                                               int scopeCode = scope::Private,
                                               std::string description = {}) {
    auto variable = std::make_shared<CVariable>();
    variable->setName(std::move(name));
    variable->setDataType(std::move(dataType));
    variable->setScope(scopeCode);
    variable->setIsNew("False");
    variable->setDescription(std::move(description));
    return variable;
}

template <typename T>
std::shared_ptr<T> makeElement(std::string name, int scopeCode = scope::Public,
                               std::string description = {}) {
    auto element = std::make_shared<T>();
    element->setName(std::move(name));
    element->setScope(scopeCode);
    element->setDescription(std::move(description));
    return element;
}

inline std::shared_ptr<CModule> makeModule(std::string name, int kind) {
    auto module = std::make_shared<CModule>();
    module->setName(std::move(name));
    module->setModuleType(kind);
    return module;
}

// A page context with every member kind and the syntax section on, "NOW" as the timestamp.
inline PageContext makeContext(const Translation* translation = nullptr) {
    PageContext ctx;
    ctx.settings = GenerationSettings::dialogDefaults();
    ctx.settings.Implementations = true;
    ctx.translation = translation;
    ctx.version = "1.2.3";
    ctx.homepage = "https://example.org/tw";
    ctx.copyright = "(c) Test";
    ctx.now = [] { return std::string("NOW"); };
    return ctx;
}

// The pages builders handed out: site-relative path -> text.
inline std::map<std::string, std::string> pagesOf(PageBodies pages) {
    std::map<std::string, std::string> site;
    for (PageBody& page : pages) site[page.path] = page.body.take();
    return site;
}

// The text a code table shows, line by line: tags, the leading blank and references undone.
inline std::string tableText(const std::string& table) {
    std::string text;
    const std::string row = "nowrap>\r\n";
    for (size_t at = table.find(row); at != std::string::npos; at = table.find(row, at)) {
        at += row.size();
        std::string line = table.substr(at, table.find("</TD>", at) - at);
        line = std::regex_replace(line, std::regex("<[^>]*>"), "");
        for (const auto& [ref, c] :
             {std::pair{"&nbsp;", " "}, {"&#60;", "<"}, {"&#62;", ">"}, {"&#38;", "&"}})
            line = std::regex_replace(line, std::regex(ref), c);
        text += (text.empty() ? "" : "\r\n") + line.substr(1);
    }
    return text;
}

// The first group of every match of pattern in text.
inline std::vector<std::string> matches(const std::string& text, const std::string& pattern) {
    std::vector<std::string> found;
    const std::regex re(pattern);
    for (std::sregex_iterator m(text.begin(), text.end(), re), end; m != end; ++m)
        found.push_back((*m)[1]);
    return found;
}

inline int countOf(const std::string& text, const std::string& needle) {
    return static_cast<int>(matches(text, "(" + needle + ")").size());
}

}  // namespace tarnwick::testing
