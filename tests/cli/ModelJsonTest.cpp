// The JSON form of the model printed by `tarnwick dump`, on hand-built models.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/ModelJson.h"
#include "model/CDeclaration.h"
#include "model/CEnum.h"
#include "model/CFunction.h"
#include "model/CImplementation.h"
#include "model/CProperty.h"
#include "model/CVariable.h"
#include "model/cType.h"
#include "reader/CParser.h"
#include "reader/modRegistry.h"

namespace tarnwick::cli {
namespace {

std::vector<std::string> keysOf(const Json& object) {
    std::vector<std::string> keys;
    for (const auto& item : object.items()) keys.push_back(item.key());
    return keys;
}

using Keys = std::vector<std::string>;

TEST(ModelJson, ProjectAndModuleShape) {
    CProject project;
    project.setPath("/p/Demo.vbp");
    project.Properties().Add("Type", "Exe");
    project.Properties().Add("Name", "\"Demo\"");
    auto cls = std::make_shared<CModule>();
    cls->setName("CParser");
    cls->setModuleType(moduletype::Class);
    cls->Attributes()->Add("VB_Name", "CParser");
    cls->ShortDesc()->Add("Parse", "Reads it");
    project.Classes().Add(cls);
    auto ref = std::make_shared<CModule>();
    ref->setModuleType(moduletype::Reference);
    ref->setGUID("{00020430-0000-0000-C000-000000000046}");
    ref->setVersion("2.0");
    project.References().Add(ref);

    const Json json = toJson(project);
    EXPECT_EQ(keysOf(json),
              (Keys{"Path", "Properties", "ConditionalConstants", "References", "Objects", "Forms",
                    "Modules", "Classes", "PropertyPages", "UserControls", "UserDocuments",
                    "Designers", "CrossReferences", "ControlUses"}));
    EXPECT_EQ(json["Path"].dump() + json["Properties"].dump() +
                  json["References"][0]["GUID"].dump() + json["References"][0]["ModuleType"].dump(),
              R"("/p/Demo.vbp"[{"key":"Type","value":"Exe"},{"key":"Name","value":"\"Demo\""}])"
              R"("{00020430-0000-0000-C000-000000000046}"6)");

    const Json& module = json["Classes"][0];
    EXPECT_EQ(keysOf(module), (Keys{"Name", "ModuleType", "Path", "GUID", "Version", "Description",
                                    "Source", "Attributes", "ShortDesc", "Implementations",
                                    "Declarations", "Constants", "Variables", "Types", "Enums",
                                    "Events", "Functions", "Subroutines", "Properties"}));
    EXPECT_EQ(module["Attributes"].dump() + module["ShortDesc"].dump() + module["Functions"].dump(),
              R"({"VB_Name":"CParser"}{"Parse":"Reads it"}[])");
}

// A form's controls and menus, depth first, each with its container.
TEST(ModelJson, DesignOfAForm) {
    CParser parser;
    const auto form = parser.readModuleText(
        "Begin VB.Form frmA\r\n Caption = \"A\"\r\n Begin VB.Frame fra\r\n"
        "  Begin VB.TextBox txt\r\n   Index = 2 'x\r\n  End\r\n End\r\n"
        " Begin VB.Menu mnuFile\r\n End\r\nEnd\r\nAttribute VB_Name = \"frmA\"\r\n",
        moduletype::Form, "frmA.frm");
    const Json json = toJson(*form);
    const Json& design = json["Design"];
    EXPECT_EQ(design["Properties"].dump() + design["Controls"].dump() + design["Menus"].dump(),
              R"([{"Name":"Caption","Value":"\"A\"","Line":2}])"
              R"([{"Name":"fra","Type":"VB.Frame","Index":null,"Container":"frmA","Line":3,)"
              R"("Properties":[]},{"Name":"txt","Type":"VB.TextBox","Index":2,"Container":"fra",)"
              R"("Line":4,"Properties":[{"Name":"Index","Value":"2","Line":5}]}])"
              R"([{"Name":"mnuFile","Type":"VB.Menu","Index":null,"Container":"frmA","Line":8,)"
              R"("Properties":[]}])");
}

TEST(ModelJson, ElementAttributesByClass) {
    auto property = std::make_shared<CProperty>();
    property->setName("Path");
    property->setWay(way::Let);
    property->setScope(scope::Public);
    auto argument = std::make_shared<CArgument>();
    argument->setName("value");
    argument->setIsOptional(true);
    argument->setBy("ByVal");
    argument->setDataType("String");
    property->Arguments()->Add(argument);
    property->Returns()->setDataType("String");

    struct {
        std::shared_ptr<Element> element;
        Keys keys;
    } const cases[] = {
        {property,
         {"Source", "Syntax", "scope", "Way", "Name", "Arguments", "Returns", "Description",
          "Line"}},
        {std::make_shared<CVariable>(),
         {"Source", "Syntax", "scope", "Name", "IsNew", "DataType", "default", "Description",
          "Line"}},
        {std::make_shared<CDeclaration>(),
         {"Source", "Syntax", "scope", "Name", "Arguments", "Returns", "Lib", "Alias",
          "Description", "Line"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(keysOf(toJson(*c.element)), c.keys) << c.element->className();

    const Json json = toJson(*property);
    EXPECT_EQ(json["Way"].dump() + json["scope"].dump() + json["Returns"]["DataType"].dump() +
                  json["Arguments"].dump(),
              R"(21"String"[{"isOptional":true,"By":"ByVal","Name":"value","default":"",)"
              R"("DataType":"String","Description":""}])");
}

TEST(ModelJson, TypeMembersNullUntilFilled) {
    cType unfilled, filled;
    CEnum empty;
    EXPECT_EQ(toJson(unfilled)["Variables"].dump() + toJson(empty)["Variables"].dump(), "null[]");
    auto members = std::make_shared<CVariableList>();
    auto member = std::make_shared<CVariable>();
    member->setName("X");
    member->setDataType("Long");
    members->Add(member);
    filled.setVariables(members);
    EXPECT_EQ(toJson(filled)["Variables"][0]["DataType"], "Long");
}

TEST(ModelJson, InvalidUtf8IsReplacedNotThrown) {
    CModule module;
    module.setName("Bad\xFFName");
    module.setSource("caf\xE9\r\n");
    module.Attributes()->Add("Key\xFE", "Value\xFD");
    std::string text;
    ASSERT_NO_THROW(text = dumpJson(toJson(module)));
    EXPECT_NE(text.find("Bad\xEF\xBF\xBDName"), std::string::npos);
    EXPECT_EQ(text.find("\"Name\": \"Bad"), text.find("\"Name\""));
}

TEST(ModelJson, StreamedDumpEqualsTheWholeTree) {
    for (const char* project : {"/examples/Ledger/Ledger.vbp", "/examples/WinApi/WinApi.vbp"}) {
        CParser parser;
        parser.setPath(std::string(TARNWICK_SOURCE_DIR) + project);
        parser.setRegistry(std::make_shared<const RegistrySource>());
        auto parsed = parser.Parse();
        ASSERT_TRUE(parsed) << project;
        std::ostringstream streamed;
        writeProjectJson(streamed, *parsed.value());
        EXPECT_EQ(streamed.str(), dumpJson(toJson(*parsed.value()))) << project;
    }
}

}  // namespace
}  // namespace tarnwick::cli
