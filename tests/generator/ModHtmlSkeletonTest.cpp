// The shared page pieces: per-module head and tail, navigation bar, module
// header, footer and icon header.
#include <gtest/gtest.h>

#include "generator/modHtml.h"
#include "tests/generator/ModHtmlTestSupport.h"

namespace tarnwick {
namespace {

using namespace testing;
using namespace modHtml;

const std::string kEmptyHeader =
    "<TABLE class=\"header\" cellspacing=\"0\" cellpadding=\"2\">\r\n"
    "<TBODY>\r\n"
    "<TR>\r\n"
    "<TD colspan=\"6\" class=\"header\">\r\n"
    "<TABLE width=\"100%\">\r\n"
    "   <TR>\r\n"
    "      <TD valign=\"top\" class=\"headertitle\">\r\n"
    "CParser (Class)      <BR>\r\n"
    "      <DIV class=\"timestamp\"><b>Documentation timestamp:</b>&nbsp;NOW</DIV>\r\n"
    "      <BR>\r\n"
    "      <TABLE class=\"headerproperties\">\r\n"
    "<TR>\r\n"
    "</TR>\r\n"
    "</TABLE></TD>\r\n"
    "<td valign=\"top\" width=\"40%\" align=\"right\">\r\n"
    "</td>\r\n"
    "</TR>\r\n"
    "</TABLE>\r\n"
    "</td>\r\n"
    "</TR>\r\n"
    "</TABLE>\r\n";

TEST(ModHtmlSkeleton, ModuleHeaderWithoutAttributesHasAnEmptyTable) {
    CProject project;
    auto module = makeModule("CParser", moduletype::Class);
    EXPECT_EQ(buildModuleHeader(project, *module, makeContext()), kEmptyHeader);
}

TEST(ModHtmlSkeleton, ModuleHeaderRowsAreSortedAndSkipDescriptions) {
    CProject project;
    auto module = makeModule("CParser", moduletype::Class);
    auto attributes = std::make_shared<HashTable>();
    attributes->Add("VB_PredeclaredId", "False");
    attributes->Add("VB_Creatable", "True");
    attributes->Add("VB_Description", "hidden");
    attributes->Add("Parse.VB_Description", "hidden too");
    attributes->Add("Item.VB_UserMemId", "0");  // member attributes: not the module's
    attributes->Add("m_Journal.VB_VarHelpID", "-1");
    attributes->Add("vb_description", "shown: other letter case");
    attributes->Add("VB_Exposed", "");
    module->setAttributes(attributes);
    const std::string header = buildModuleHeader(project, *module, makeContext());
    const std::string rows =
        "      <TABLE class=\"headerproperties\">\r\n"
        "   <tr>\r\n"
        "      <td class=\"headerproperties\"><NOBR>VB_Creatable</NOBR></td>\r\n"
        "      <td class=\"headerproperties\">True</td>\r\n"
        "   </tr>\r\n"
        "   <tr>\r\n"
        "      <td class=\"headerproperties\"><NOBR>VB_Exposed</NOBR></td>\r\n"
        "      <td class=\"headerproperties\"></td>\r\n"
        "   </tr>\r\n"
        "   <tr>\r\n"
        "      <td class=\"headerproperties\"><NOBR>VB_PredeclaredId</NOBR></td>\r\n"
        "      <td class=\"headerproperties\">False</td>\r\n"
        "   </tr>\r\n"
        "   <tr>\r\n"
        "      <td class=\"headerproperties\"><NOBR>vb_description</NOBR></td>\r\n"
        "      <td class=\"headerproperties\">shown: other letter case</td>\r\n"
        "   </tr>\r\n"
        "<TR>\r\n";
    EXPECT_NE(header.find(rows), std::string::npos) << header;
    EXPECT_EQ(header.find("hidden"), std::string::npos) << header;
}

TEST(ModHtmlSkeleton, ModuleHeaderTranslatesKindKeysAndValues) {
    const Translation translation = Translation::fromText(
        "[Deutsch]\nClass=Klasse\nVB_Creatable=Erzeugbar\nTrue=Wahr\n[English]\nClass=Kind\n");
    CProject project;
    auto module = makeModule("CParser", moduletype::Class);
    module->Attributes()->Add("VB_Creatable", "True");
    const std::string header = buildModuleHeader(project, *module, makeContext(&translation));
    EXPECT_NE(header.find("CParser (Klasse)      <BR>\r\n"), std::string::npos) << header;
    EXPECT_NE(header.find("<NOBR>Erzeugbar</NOBR>"), std::string::npos) << header;
    EXPECT_NE(header.find("\">Wahr</td>"), std::string::npos) << header;
}

TEST(ModHtmlSkeleton, NavigationBarLinksTheFourPages) {
    CProject project;
    auto module = makeModule("CParser", moduletype::Class);
    EXPECT_EQ(buildNavigationBar(project, *module, makeContext()),
              "<A HREF=\"CParser.html\" TARGET=\"Detail\">Overview</A>&nbsp;&nbsp;\r\n"
              "&nbsp;|&nbsp;\r\n"
              "<A HREF=\"CParser_Uml.html\" TARGET=\"Detail\">UML</A>&nbsp;&nbsp;\r\n"
              "&nbsp;|&nbsp;\r\n"
              "<A HREF=\"CParser_Object.html\" TARGET=\"Detail\">Object</A>&nbsp;&nbsp;\r\n"
              "&nbsp;|&nbsp;\r\n"
              "<A HREF=\"CParser_Code.html\" TARGET=\"Detail\">Code</A>&nbsp;&nbsp;\r\n"
              "<BR>\r\n"
              "<BR>\r\n");
}

TEST(ModHtmlSkeleton, NavigationBarUsesSafeFileNamesAndTranslations) {
    const Translation translation = Translation::fromText("[Deutsch]\nCode=Quelltext\n");
    CProject project;
    auto module = makeModule("a/b", moduletype::Form);
    const std::string bar = buildNavigationBar(project, *module, makeContext(&translation));
    EXPECT_NE(bar.find("<A HREF=\"a_b-3a8e75c1_Code.html\" TARGET=\"Detail\">Quelltext</A>"),
              std::string::npos)
        << bar;
    EXPECT_EQ(bar.find("a/b"), std::string::npos) << bar;
}

TEST(ModHtmlSkeleton, FooterCarriesProductVersionAndDate) {
    PageContext ctx = makeContext();
    ctx.version = "01.02.030";
    EXPECT_EQ(buildFooter(ctx),
              "<TABLE class=\"license\">\r\n"
              "<TR class=\"license\">\r\n"
              "<TD class=\"license\">Documentation generated by <A "
              "href=\"https://example.org/tw\">Tarnwick ver1.2.30</A><BR>NOW</TD>\r\n"
              "<TD class=\"license\" vAlign=\"middle\">(c) Test</TD>\r\n"
              "</TR>\r\n"
              "</TABLE>\r\n");
}

TEST(ModHtmlSkeleton, IconHeaderIsOneLine) {
    EXPECT_EQ(buildIconHeader("Class", "Proj", "<I>CParser</I>.Parse"),
              "<TABLE class=\"header\"><TR><TD width=\"1px\"><IMG "
              "src=\"../src/images/Class2.ico\"></TD><TD><I>Proj</I><BR><B><I>CParser</I>.Parse"
              "</B></TD></TR></TABLE>");
}

TEST(ModHtmlSkeleton, ModulePageHeadPlacesBarAndHeaderAsLines) {
    CProject project;
    auto module = makeModule("CParser", moduletype::Class);
    const PageContext ctx = makeContext();
    const std::string expected =
        "<HTML>\r\n"
        "   <HEAD>\r\n"
        "      <META http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"
        "      <!-- GENERATED BY TARNWICK ON NOW -->\r\n"
        "      <LINK media=\"screen\" rel=\"stylesheet\" type=\"text/css\" "
        "href=\"../src/css/screen.css\">\r\n"
        "      <LINK media=\"print\" rel=\"stylesheet\" type=\"text/css\" "
        "href=\"../src/css/print.css\">\r\n"
        "      <SCRIPT language=\"JavaScript\" src=\"../src/script/document.js\"></SCRIPT>\r\n"
        "      <TITLE>CParser</TITLE>\r\n"
        "   </HEAD>\r\n"
        "   <BODY>\r\n"
        "      <TABLE style=\"height:100%; width:100%\">\r\n"
        "         <TR>\r\n"
        "            <TD height=\"1\">\r\n" +
        buildNavigationBar(project, *module, ctx) + "\r\n" + kEmptyHeader + "\r\n" +
        "            </TD>\r\n"
        "         </TR>\r\n"
        "         <TR>\r\n"
        "            <TD height=\"100%\">\r\n"
        "               <BR>\r\n";
    EXPECT_EQ(modulePageHead(*module, project, ctx), expected);
}

TEST(ModHtmlSkeleton, ModulePageTailClosesTheLayoutTable) {
    const PageContext ctx = makeContext();
    EXPECT_EQ(modulePageTail(ctx),
              "               <BR>\r\n"
              "            </TD>\r\n"
              "         </TR>\r\n"
              "         <TR>\r\n"
              "            <TD height=\"1\">\r\n" +
                  buildFooter(ctx) +
                  "\r\n"
                  "            </TD>\r\n"
                  "         </TR>\r\n"
                  "      </TABLE>\r\n"
                  "   </BODY>\r\n"
                  "</HTML>\r\n");
}

}  // namespace
}  // namespace tarnwick
