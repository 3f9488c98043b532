// Forms with a full designer block for the synthetic project: the shapes of
// real applications' forms, so the cost of reading designer blocks shows.
#include <string>

#include "BigProject.h"

namespace tarnwick {

namespace {

class FormText {
public:
    void line(int depth, const std::string& text) {
        m_text.append(static_cast<size_t>(depth) * 3, ' ');
        m_text += text;
        m_text += "\r\n";
        ++m_lines;
    }
    void property(int depth, const std::string& name, const std::string& value) {
        std::string padded = name;
        padded.resize(16, ' ');
        line(depth, padded + "=   " + value);
    }
    // A control's block with its place and size; more() adds its own lines.
    template <typename More>
    void control(int depth, const std::string& type, const std::string& name, int index, int top,
                 More more) {
        line(depth, "Begin " + type + " " + name + " ");
        more();
        property(depth + 1, "Height", "315");
        if (index >= 0) property(depth + 1, "Index", std::to_string(index));
        property(depth + 1, "Left", std::to_string(120 + (index > 0 ? index * 1200 : 0)));
        property(depth + 1, "TabIndex", std::to_string(m_tabIndex++));
        property(depth + 1, "Top", std::to_string(top));
        property(depth + 1, "Width", "1095");
        line(depth, "End");
    }
    int lines() const { return m_lines; }
    std::string take() { return std::move(m_text); }

private:
    std::string m_text;
    int m_lines = 0;
    int m_tabIndex = 0;
};

void font(FormText& out, int depth) {
    out.line(depth, "BeginProperty Font ");
    out.property(depth + 1, "Name", "\"MS Sans Serif\"");
    out.property(depth + 1, "Size", "8.25");
    out.property(depth + 1, "Weight", "700");
    out.line(depth, "EndProperty");
}

// The controls of one picture box: labels with fonts, a text box array,
// buttons and check boxes, count of them in all.
void leafControls(FormText& out, int group, int count) {
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(group) + "_" + std::to_string(i);
        const int top = 120 + (i / 4) * 400;
        switch (i % 4) {
            case 0:
                out.control(3, "VB.Label", "lblField" + n, -1, top, [&] {
                    out.property(4, "Caption", "\"Feld " + n + ":\"");
                    font(out, 4);
                });
                break;
            case 1:
                out.control(3, "VB.TextBox", "txtField" + std::to_string(group), i / 4, top,
                            [&] { out.property(4, "Text", "\"\""); });
                break;
            case 2:
                out.control(3, "VB.CommandButton", "cmdAction" + n, -1, top, [&] {
                    out.property(4, "Caption", "\"&Action " + n + "\"");
                    out.property(4, "ToolTipText", "\"Runs action " + n + "\"");
                });
                break;
            default:
                out.control(3, "VB.CheckBox", "chkOption" + n, -1, top, [&] {
                    out.property(4, "Caption", "\"Option " + n + "\"");
                    out.property(4, "Value", "1  'Checked");
                });
                break;
        }
    }
}

void menus(FormText& out) {
    const char* entries[][3] = {{"mnuFileOpen", "\"&Open...\"", "^O"},
                                {"mnuFileSave", "\"&Save\"", "^S"},
                                {"mnuFileSep1", "\"-\"", ""},
                                {"mnuFileExit", "\"E&xit\"", ""}};
    out.line(1, "Begin VB.Menu mnuFile ");
    out.property(2, "Caption", "\"&File\"");
    for (const auto& e : entries) {
        out.line(2, std::string("Begin VB.Menu ") + e[0] + " ");
        out.property(3, "Caption", e[1]);
        if (*e[2]) out.property(3, "Shortcut", e[2]);
        out.line(2, "End");
    }
    out.line(1, "End");
    out.line(1, "Begin VB.Menu mnuHelp ");
    out.property(2, "Caption", "\"&Help\"");
    out.line(2, "Begin VB.Menu mnuHelpAbout ");
    out.property(3, "Caption", "\"&About...\"");
    out.line(2, "End");
    out.line(1, "End");
}

}  // namespace

std::string makeDesignedForm(const std::string& name, int controls, int* lines) {
    FormText out;
    out.line(0, "VERSION 5.00");
    out.line(0, "Object = \"{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0\"; \"MSCOMCTL.OCX\"");
    out.line(0, "Begin VB.Form " + name + " ");
    out.property(1, "Caption", "\"" + name + "\"");
    out.property(1, "ClientHeight", "7200");
    out.property(1, "ClientWidth", "9600");
    out.property(1, "StartUpPosition", "3  'Windows Default");
    // Two frames, each holding a picture box that holds the rest.
    const int leaves = controls > 4 ? controls - 4 : 0;
    for (int group = 0; group < 2; ++group) {
        const std::string g = std::to_string(group);
        out.line(1, "Begin VB.Frame fraGroup" + g + " ");
        out.property(2, "Caption", "\"Group " + g + "\"");
        out.property(2, "Height", "3255");
        out.line(2, "Begin VB.PictureBox picGroup" + g + " ");
        out.property(3, "BorderStyle", "0  'None");
        out.property(3, "ScaleMode", "3  'Pixel");
        leafControls(out, group, leaves / 2 + (group == 0 ? leaves % 2 : 0));
        out.line(2, "End");
        out.line(1, "End");
    }
    menus(out);
    out.line(0, "End");
    out.line(0, "Attribute VB_Name = \"" + name + "\"");
    out.line(0, "Attribute VB_GlobalNameSpace = False");
    out.line(0, "Attribute VB_Creatable = False");
    out.line(0, "Attribute VB_PredeclaredId = True");
    out.line(0, "Attribute VB_Exposed = False");
    out.line(0, "Option Explicit");
    out.line(0, "");
    out.line(0, "Private Sub Form_Load()");
    out.line(1, "txtField0(0).Text = " + name + ".Caption");
    out.line(1, "lblField0_0.Caption = txtField1(0).Text");
    out.line(0, "End Sub");
    out.line(0, "");
    out.line(0, "Private Sub txtField0_Change(Index As Integer)");
    out.line(1, "cmdAction0_2.Enabled = Len(txtField0(Index).Text) > 0");
    out.line(0, "End Sub");
    out.line(0, "");
    out.line(0, "Private Sub mnuFileExit_Click()");
    out.line(1, "Unload Me");
    out.line(0, "End Sub");
    if (lines) *lines = out.lines();
    return out.take();
}

}  // namespace tarnwick
