// The picture of a form and the Controls and Menus sections, on designs
// built in code (the reader's designer blocks have tests of their own).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generator/pages/FormPicture.h"
#include "generator/pages/FormSections.h"
#include "generator/site/CrossLinks.h"
#include "tests/generator/ModHtmlTestSupport.h"

namespace tarnwick {
namespace {

using namespace testing;

// "VB.CommandButton cmdOK" with its properties ("Left=150") and children.
DesignControl ctl(std::string type, std::string name, std::vector<std::string> properties,
                  std::vector<DesignControl> children = {}) {
    DesignControl c;
    const size_t dot = type.find('.');
    c.library = type.substr(0, dot);
    c.className = type.substr(dot + 1);
    c.name = std::move(name);
    for (const std::string& p : properties) {
        const size_t eq = p.find('=');
        c.properties.push_back({p.substr(0, eq), p.substr(eq + 1), 0});
    }
    c.children = std::move(children);
    return c;
}

FormDesign formOf(std::vector<DesignControl> controls,
                  std::vector<std::string> properties = {"Caption=\"Main\"", "ClientWidth=4800",
                                                         "ClientHeight=3600"}) {
    FormDesign design;
    design.form = ctl("VB.Form", "frmMain", std::move(properties), std::move(controls));
    return design;
}

TEST(FormPicture, DrawsEachControlAtItsPlaceInItsContainersUnits) {
    const std::vector<std::string> box = {"Left=150", "Top=300", "Width=1500", "Height=450"};
    struct Row {
        const char* what;
        FormDesign design;
        std::vector<std::string> shown;
        std::vector<std::string> absent;
    } rows[] = {
        {"twips to pixels, caption escaped, access key underlined",
         formOf(
             {ctl("VB.CommandButton", "cmdOK",
                  {"Caption=\"&OK <now>\"", "Left=150", "Top=300", "Width=1500", "Height=450"})}),
         {"viewBox=\"0 0 328 270\"", "<svg x=\"10\" y=\"20\" width=\"100\" height=\"30\">",
          "<a href=\"#ctl_cmdOK\"><title>cmdOK (CommandButton)</title>",
          "<tspan text-decoration=\"underline\">O</tspan>K &lt;now&gt;", ">Main</text>"},
         {"<now>"}},
        {"a frame's controls inside it, a picture box's in its pixels",
         formOf({ctl(
             "VB.Frame", "fraA", {"Left=1500", "Top=1500", "Width=1500", "Height=1500"},
             {ctl("VB.PictureBox", "picB",
                  {"ScaleMode=3", "Left=150", "Top=150", "Width=900", "Height=900"},
                  {ctl("VB.Label", "lblC", {"Left=10", "Top=5", "Width=20", "Height=10"})})})}),
         {"<svg x=\"100\" y=\"100\" width=\"100\" height=\"100\">",
          "<svg x=\"10\" y=\"10\" width=\"60\" height=\"60\">",
          "<svg x=\"10\" y=\"5\" width=\"20\" height=\"10\">"},
         {}},
        {"a user scale; a scale the picture cannot honour drawn as twips",
         formOf(
             {ctl("VB.PictureBox", "picU",
                  {"ScaleMode=0", "ScaleWidth=10", "ScaleHeight=10", "Left=0", "Top=0",
                   "Width=1500", "Height=1500"},
                  {ctl("VB.Shape", "shpA", {"Shape=3", "Left=5", "Top=5", "Width=5", "Height=5"})}),
              ctl("VB.PictureBox", "picV",
                  {"ScaleMode=0", "Left=0", "Top=0", "Width=15", "Height=15"},
                  {ctl("VB.Label", "lblV", {"Left=150", "Top=0", "Width=15", "Height=15"})})}),
         {"<svg x=\"50\" y=\"50\" width=\"50\" height=\"50\">", "<ellipse",
          "<svg x=\"10\" y=\"0\" width=\"1\" height=\"1\">"},
         {}},
        {"hidden tabs left out, invisible controls dimmed, timers drawn as icons",
         formOf({ctl("VB.TextBox", "txtTab", {"Left=-74850", "Top=0", "Width=900", "Height=300"}),
                 ctl("VB.TextBox", "txtHid",
                     {"Visible=0 'False", "Left=0", "Top=0", "Width=900", "Height=300"}),
                 ctl("VB.Timer", "tmrA", {"Left=0", "Top=0"})}),
         {"<g class=\"control hidden\"><a href=\"#ctl_txtHid\">",
          "<g class=\"control hidden\"><a href=\"#ctl_tmrA\">", "width=\"32\""},
         {"txtTab"}},
        {"menus in the bar, the form linked from its caption",
         formOf({ctl("VB.Menu", "mnuFile", {"Caption=\"&File\""}),
                 ctl("VB.Menu", "mnuPop", {"Caption=\"Pop\"", "Visible=0 'False"}),
                 ctl("VB.Line", "linA", {"X1=0", "Y1=150", "X2=1500", "Y2=150"})}),
         {"viewBox=\"0 0 328 290\"", "<a href=\"#ctl_mnuFile\"><title>mnuFile (Menu)",
          "<a href=\"#ctl_frmMain\">", "x1=\"0\" y1=\"10\" x2=\"100\" y2=\"10\""},
         {"Pop"}},
        {"a huge form scaled down, absurd sizes bounded",
         formOf({ctl("VB.Label", "lblBig",
                     {"Left=0", "Top=0", "Width=2147483647", "Height=-2147483648"})},
                {"ClientWidth=1000000", "ClientHeight=24000"}),
         {"viewBox=\"0 0 1608 68.4\"", "height=\"100000\""},
         {"e+", "\"inf", "\"nan", "\"-inf"}},
    };
    for (const Row& row : rows) {
        const FormPicture picture = drawForm(row.design, "Picture of \"frmMain\"");
        const std::string& svg = picture.svg.str();
        for (const std::string& part : row.shown)
            EXPECT_NE(svg.find(part), std::string::npos) << row.what << ": no " << part << "\n"
                                                         << svg;
        for (const std::string& part : row.absent)
            EXPECT_EQ(svg.find(part), std::string::npos) << row.what << ": " << part;
        EXPECT_NE(svg.find("aria-label=\"Picture of &quot;frmMain&quot;\""), std::string::npos);
    }
    EXPECT_TRUE(drawForm(rows[3].design, "x").dimmed);
    EXPECT_FALSE(drawForm(rows[0].design, "x").dimmed);
    EXPECT_EQ(drawForm(rows[2].design, "x").notes,
              std::vector<std::string>{"picV: ScaleMode 0 without ScaleWidth and ScaleHeight"});
    EXPECT_TRUE(drawForm(FormDesign{}, "x").svg.empty());
}

TEST(FormPicture, CaptionsShortcutsAndAnchorsReadAsTheDesignerMeantThem) {
    const struct {
        const char* caption;
        const char* before;
        const char* key;
        const char* after;
    } captions[] = {{"&File", "", "F", "ile"},
                    {"Save &As...", "Save ", "A", "s..."},
                    {"Salt && Pepper", "Salt & Pepper", "", ""},
                    {"&&&Edit", "&", "E", "dit"},
                    {"End&", "End&", "", ""},
                    {"&\xC3\x96l", "", "\xC3\x96", "l"}};
    for (const auto& row : captions) {
        const AccessKeyCaption parts = splitAccessKey(row.caption);
        EXPECT_EQ(parts.before + "|" + parts.key + "|" + parts.after,
                  std::string(row.before) + "|" + row.key + "|" + row.after)
            << row.caption;
    }
    const std::pair<const char*, const char*> shortcuts[] = {{"^O", "Ctrl+O"},
                                                             {"{F1}", "F1"},
                                                             {"^{F4}", "Ctrl+F4"},
                                                             {"+^A", "Ctrl+Shift+A"},
                                                             {"%{BKSP}", "Alt+Backspace"},
                                                             {"+{INSERT}", "Shift+Ins"},
                                                             {"{DEL}", "Del"},
                                                             {"odd value", "odd value"}};
    for (const auto& [code, shown] : shortcuts) EXPECT_EQ(shortcutText(code), shown) << code;
    EXPECT_EQ(controlAnchor("cmdOK"), "ctl_cmdOK");
    EXPECT_EQ(controlAnchor("a b\"<"), "ctl_a-20b-22-3C");
}

TEST(FormSections, ListControlsMenusAndHandlersBothWays) {
    auto module = makeModule("frmMain", moduletype::Form);
    for (const char* name : {"cmdOK_Click", "Form_Load", "optSize_Click", "mnuFileOpen_Click",
                             "cmdGone_Click", "Helper"})
        module->Subroutines().Add(makeElement<CSubroutine>(name));
    auto design = std::make_shared<FormDesign>(formOf({
        ctl("VB.Frame", "fraSize", {"Caption=\"Size\""},
            {ctl("VB.OptionButton", "optSize", {"Index=0", "Caption=\"&Small\""}),
             ctl("VB.OptionButton", "optSize", {"Index=1", "Caption=\"&Large\""})}),
        ctl("VB.CommandButton", "cmdOK", {"Caption=\"OK\"", "Enabled=0 'False"}),
        ctl("Ledger.ctlAmountBox", "ctlAmount", {}),
        ctl("VB.Menu", "mnuFile", {"Caption=\"&File\""},
            {ctl("VB.Menu", "mnuFileOpen", {"Caption=\"&Open...\"", "Shortcut=^O"}),
             ctl("VB.Menu", "mnuSep", {"Caption=\"-\""}),
             ctl("VB.Menu", "mnuRecent", {"Index=0", "Caption=\"1\"", "Checked=-1 'True"})}),
    }));
    module->setDesign(design);
    CProject project;
    const PageContext ctx = makeContext();
    const std::string page = formSections(*module, project, ctx).str();
    for (const char* part :
         {"<LI id=\"ctl_frmMain\"><B>frmMain</B> <SPAN class=\"controlType\">Form</SPAN> "
          "&quot;Main&quot; <SPAN class=\"handlers\">Handlers: Load</SPAN>",
          "<LI id=\"ctl_optSize\"><B>optSize</B>(0, 1) <SPAN class=\"controlType\">OptionButton"
          "</SPAN> &quot;<U>S</U>mall&quot; <SPAN class=\"handlers\">Handlers: Click</SPAN>",
          "<B>cmdOK</B> <SPAN class=\"controlType\">CommandButton</SPAN> &quot;OK&quot; "
          "<SPAN class=\"state\">disabled</SPAN> <SPAN class=\"handlers\">Handlers: Click",
          "<SPAN class=\"controlType\">Ledger.ctlAmountBox</SPAN>",
          "<B>mnuFileOpen</B> &quot;<U>O</U>pen...&quot; <KBD>Ctrl+O</KBD> <SPAN "
          "class=\"handlers\">Handlers: Click</SPAN>",
          "<B>mnuSep</B> <SPAN class=\"separator\">Separator</SPAN>",
          "<B>mnuRecent</B>(0) &quot;1&quot; <SPAN class=\"state\">checked</SPAN>",
          "<H3 id=\"Menus\">", "<svg class=\"formPicture\""})
        EXPECT_NE(page.find(part), std::string::npos) << part << "\n" << page;
    EXPECT_EQ(page.find("id=\"ctl_optSize\"", page.find("id=\"ctl_optSize\"") + 1),
              std::string::npos)
        << "an array has one entry";

    const auto handles = [&](const char* name) {
        return handlesLine(*module->Subroutines().byName(name), *module, ctx).str();
    };
    EXPECT_EQ(handles("cmdOK_Click"),
              "<P class=\"handles\">Handles the Click event of cmdOK (CommandButton)</P>");
    EXPECT_EQ(handles("Form_Load"),
              "<P class=\"handles\">Handles the Load event of frmMain (Form)</P>");
    EXPECT_EQ(handles("cmdGone_Click"), "");
    EXPECT_EQ(handles("Helper"), "");
    module->Functions().Add(makeElement<CFunction>("cmdOK_DblClick"));
    EXPECT_EQ(handlesLine(*module->Functions().byName("cmdOK_DblClick"), *module, ctx).str(), "")
        << "only a Sub handles an event";

    // The project's own control, placed twice, names the form that places it.
    design->form.children.push_back(ctl("Ledger.ctlAmountBox", "ctlOther", {}));
    EXPECT_EQ(placements(*design, "ledger", "CTLAMOUNTBOX"), 2);
    EXPECT_EQ(placements(*design, "Other", "ctlAmountBox"), 0);
    EXPECT_TRUE(formSections(*makeModule("modA", moduletype::Module), project, ctx).empty());
}

}  // namespace
}  // namespace tarnwick
