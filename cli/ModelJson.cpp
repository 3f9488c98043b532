#include "cli/ModelJson.h"

#include <nlohmann/json.hpp>

#include "model/CDeclaration.h"
#include "model/CEnum.h"
#include "model/CHelper.h"
#include "model/CProperty.h"
#include "model/CVariable.h"
#include "model/CVariableList.h"
#include "model/cType.h"
#include "support/Text.h"

namespace tarnwick::cli {

namespace {

Json tableJson(const std::shared_ptr<HashTable>& table) {
    Json object = Json::object();
    if (!table) return object;
    for (const auto& key : table->Keys(true)) object[key] = table->item(key);
    return object;
}

template <typename List>
Json listJson(const List& list) {
    Json array = Json::array();
    for (const auto& item : list.elements()) array.push_back(toJson(*item));
    return array;
}

}  // namespace

Json toJson(const CArgument& argument) {
    Json json = Json::object();
    json["isOptional"] = argument.isOptional();
    json["By"] = argument.By();
    json["Name"] = argument.Name();
    json["default"] = argument.default_();
    json["DataType"] = argument.DataType();
    json["Description"] = argument.Description();
    return json;
}

Json toJson(const Element& element) {
    // Keys in the declaration order of the element's class.
    Json json = Json::object();
    json["Source"] = element.Source();
    json["Syntax"] = element.Syntax();
    if (element.hasScope()) json["scope"] = element.scope();
    if (auto property = dynamic_cast<const CProperty*>(&element)) json["Way"] = property->Way();
    json["Name"] = element.Name();
    if (auto variable = dynamic_cast<const CVariable*>(&element)) {
        json["IsNew"] = variable->IsNew();
        json["DataType"] = variable->DataType();
        json["default"] = variable->default_();
    } else if (element.Kind() == ElementKind::Constant) {
        json["DataType"] = element.DataType();
    }
    if (auto arguments = element.Arguments()) json["Arguments"] = listJson(*arguments);
    if (auto returns = element.Returns()) json["Returns"] = toJson(*returns);
    if (element.Kind() == ElementKind::Type || element.Kind() == ElementKind::Enum) {
        auto variables = element.Variables();
        json["Variables"] = variables ? listJson(*variables) : Json(nullptr);
    }
    if (auto declaration = dynamic_cast<const CDeclaration*>(&element)) {
        json["Lib"] = declaration->Lib();
        json["Alias"] = declaration->Alias();
    }
    json["Description"] = element.Description();
    json["Line"] = element.Line();
    return json;
}

namespace {

// The controls (or menu entries) below parent, depth first in file order,
// each with the name of the block it sits in.
void designJson(const DesignControl& parent, bool menus, Json& out) {
    for (const DesignControl& c : parent.children) {
        if (c.isMenu() == menus) {
            Json properties = Json::array();
            for (const DesignProperty& p : c.properties)
                properties.push_back(Json{{"Name", p.name}, {"Value", p.value}, {"Line", p.line}});
            const auto index = c.index();
            out.push_back(Json{{"Name", c.name},
                               {"Type", c.typeName()},
                               {"Index", index ? Json(*index) : Json(nullptr)},
                               {"Container", parent.name},
                               {"Line", c.line},
                               {"Properties", std::move(properties)}});
        }
        designJson(c, menus, out);
    }
}

Json designJson(const FormDesign& design) {
    Json form = Json::array();
    for (const DesignProperty& p : design.form.properties)
        form.push_back(Json{{"Name", p.name}, {"Value", p.value}, {"Line", p.line}});
    Json controls = Json::array(), menus = Json::array();
    designJson(design.form, false, controls);
    designJson(design.form, true, menus);
    return Json{{"Type", design.form.typeName()},  {"Name", design.form.name},
                {"Line", design.form.line},        {"Properties", std::move(form)},
                {"Controls", std::move(controls)}, {"Menus", std::move(menus)}};
}

}  // namespace

Json toJson(const CModule& module) {
    Json json = Json::object();
    json["Name"] = module.Name();
    json["ModuleType"] = module.ModuleType();
    json["Path"] = module.Path();
    json["GUID"] = module.GUID();
    json["Version"] = module.Version();
    json["Description"] = module.Description();
    json["Source"] = module.Source();
    json["Attributes"] = tableJson(module.Attributes());
    json["ShortDesc"] = tableJson(module.ShortDesc());
    // What the form designer placed on a form, user control or property page.
    if (module.Design()) json["Design"] = designJson(*module.Design());
    for (const ElementKind kind : kDumpOrder) {
        Json& list = json[kindTraits(kind).listName] = Json::array();
        for (const auto& item : module.listOf(kind)->Items())
            list.push_back(toJson(static_cast<const Element&>(*item)));
    }
    return json;
}

namespace {

// The project's own fields, before its module lists.
Json projectHead(const CProject& project) {
    Json json = Json::object();
    json["Path"] = project.Path();
    Json properties = Json::array();
    const ListMap& settings = project.Properties();
    for (int i = 0; i <= settings.Size(); ++i)
        properties.push_back(Json{{"key", settings.Key(i)}, {"value", settings.value(i)}});
    json["Properties"] = std::move(properties);
    // The constants #If lines were decided with; numbers as numbers.
    Json constants = Json::object();
    for (const auto& [name, literal] : project.ConditionalConstants()) {
        if (!literal.empty() && literal.front() == '"')
            constants[name] = replaceAll(literal.substr(1, literal.size() - 2), "\"\"", "\"");
        else
            constants[name] = Json::parse(literal, nullptr, false).is_number()
                                  ? Json::parse(literal)
                                  : Json(literal);
    }
    json["ConditionalConstants"] = std::move(constants);
    return json;
}

// Where the code names the project's members: from (the routine, or the
// module for code outside one), to, and the line of the from module's file
// (as the reader's and check's messages count lines).
Json referencesJson(const CProject& project) {
    Json list = Json::array();
    for (const Reference& r : project.crossReferences().all()) {
        list.push_back(Json{
            {"from", r.from ? r.fromModule->Name() + "." + r.from->Name() : r.fromModule->Name()},
            {"to", r.toModule->Name() + "." + r.to->Name()},
            {"line", r.fromModule->fileLineOf(r.line)}});
    }
    return list;
}

// Where the code names controls, menu entries and forms as their default
// instance: "frmMain!txtName" for a control, "frmMain" for the form.
Json controlUsesJson(const CProject& project) {
    Json list = Json::array();
    for (const DesignUse& u : project.crossReferences().designUses()) {
        list.push_back(Json{
            {"from", u.from ? u.fromModule->Name() + "." + u.from->Name() : u.fromModule->Name()},
            {"to", u.toModule->Name() + (u.control ? "!" + u.control->name : std::string())},
            {"line", u.fromModule->fileLineOf(u.line)}});
    }
    return list;
}

}  // namespace

Json toJson(const CProject& project) {
    Json json = projectHead(project);
    json["References"] = listJson(project.References());
    json["Objects"] = listJson(project.Objects());
    json["Forms"] = listJson(project.Forms());
    json["Modules"] = listJson(project.Modules());
    json["Classes"] = listJson(project.Classes());
    json["PropertyPages"] = listJson(project.PropertyPages());
    json["UserControls"] = listJson(project.UserControls());
    json["UserDocuments"] = listJson(project.UserDocuments());
    json["Designers"] = listJson(project.Designers());
    json["CrossReferences"] = referencesJson(project);
    json["ControlUses"] = controlUsesJson(project);
    return json;
}

std::string dumpJson(const Json& json) {
    return json.dump(2, ' ', false, Json::error_handler_t::replace);
}

namespace {

// A value dumped with two-space indentation, set in by indent more blanks.
void writeIndented(std::ostream& out, const Json& value, int indent) {
    out << replaceAll(dumpJson(value), "\n", "\n" + std::string(static_cast<size_t>(indent), ' '));
}

}  // namespace

void writeProjectJson(std::ostream& out, const CProject& project) {
    // The small head as one object, then each module list item by item.
    const char* const lists[] = {"References",   "Objects",       "Forms",
                                 "Modules",      "Classes",       "PropertyPages",
                                 "UserControls", "UserDocuments", "Designers"};
    std::string text = dumpJson(projectHead(project));
    text.erase(text.size() - 2);  // "\n}"
    out << text;
    const CModuleList* modules[] = {
        &project.References(),   &project.Objects(),       &project.Forms(),
        &project.Modules(),      &project.Classes(),       &project.PropertyPages(),
        &project.UserControls(), &project.UserDocuments(), &project.Designers()};
    for (size_t i = 0; i < std::size(lists); ++i) {
        out << ",\n  \"" << lists[i] << "\": ";
        const auto& elements = modules[i]->elements();
        if (elements.empty()) {
            out << "[]";
            continue;
        }
        out << "[\n    ";
        for (size_t m = 0; m < elements.size(); ++m) {
            if (m > 0) out << ",\n    ";
            writeIndented(out, toJson(*elements[m]), 4);
        }
        out << "\n  ]";
    }
    out << ",\n  \"CrossReferences\": ";
    writeIndented(out, referencesJson(project), 2);
    out << ",\n  \"ControlUses\": ";
    writeIndented(out, controlUsesJson(project), 2);
    out << "\n}";
}

}  // namespace tarnwick::cli
