// Access to CParser's private routines, so each can be checked on its own.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "reader/CParser.h"

namespace tarnwick {

class CParserTestAccess {
public:
    using NameMode = CParser::NameMode;
    static constexpr NameMode Variable = NameMode::Variable;
    static constexpr NameMode Constant = NameMode::Constant;
    static constexpr NameMode Declare = NameMode::Declare;
    static constexpr NameMode Sub = NameMode::Sub;
    static constexpr NameMode Property = NameMode::Property;
    static constexpr NameMode Function = NameMode::Function;
    static constexpr NameMode Enum = NameMode::Enum;
    static constexpr NameMode Type = NameMode::Type;
    static constexpr NameMode Event = NameMode::Event;
    static constexpr NameMode Argument = NameMode::Argument;

    static int parseScope(std::string_view t) { return CParser::parseScope(t); }
    static int parseWay(std::string_view t) { return CParser::parseWay(t); }
    static std::string parseName(std::string_view t, NameMode m) {
        return CParser::parseName(t, m);
    }
    static std::string parseDataType(std::string_view t, NameMode m) {
        return CParser::parseDataType(t, m);
    }
    static std::string parsePassing(std::string_view t) { return CParser::parsePassing(t); }
    static bool parseOptional(std::string_view t) { return CParser::parseOptional(t); }
    static bool parseNew(std::string_view t) { return CParser::parseNew(t); }
    static std::shared_ptr<CArgumentList> parseArguments(std::string_view d, std::string_view s) {
        return CParser::parseArguments(d, s);
    }
    static std::shared_ptr<CArgument> parseReturn(std::string_view n, std::string_view d,
                                                  std::string_view s) {
        return CParser::parseReturn(n, d, s);
    }
    static std::string findTagText(std::string_view t, std::string_view n) {
        return CParser::findTagText(t, n);
    }
    static std::string collapseBlanks(std::string_view t) { return CParser::collapseBlanks(t); }
    static std::shared_ptr<CModule> parseReference(const CParser& p, std::string_view raw) {
        return p.parseReference(raw);
    }
};

}  // namespace tarnwick
