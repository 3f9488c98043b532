// FormPicture: a drawing of a form as its designer laid it out, as SVG text
// for the form's overview page.
//
// The window frame with its caption and menu bar, then every control as a
// box at its designed place (15 twips to a pixel; a container's ScaleMode
// decides the units of the controls inside it), its kind recognisable by
// its looks (a button, a text box, a check box, a frame with its caption on
// its border, a hatched picture, a list, a line, a shape) and its caption
// or text inside. Each control is a nested <svg> viewport, so whatever it
// holds (text, the controls of a container) is clipped to its box, and the
// client area clips them all: nothing is drawn outside the picture. A form
// larger than kMaxSide pixels is drawn smaller; controls of a tab control's
// hidden tabs (moved far to the left) are left out; controls not visible
// when the form opens are drawn dimmed. Every box links to the control's
// entry in the page's list of controls (controlAnchor) and names the
// control in its tooltip. Every caption and name is escaped.
//
//     drawForm(design, "Picture of frmMain").svg
//     -> <svg class="formPicture" viewBox="0 0 618 471" ...>...</svg>
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/FormDesign.h"
#include "support/Html.h"

namespace tarnwick {

struct FormPicture {
    Html svg;             // empty when the design has no form to draw
    bool dimmed = false;  // some control is drawn dimmed (not visible at first)
    // The containers whose units the picture could not honour (drawn as
    // twips): "picCanvas: ScaleMode 0 without ScaleWidth".
    std::vector<std::string> notes;
};

// The longest side of a picture in pixels; a larger form is scaled down.
inline constexpr double kMaxPictureSide = 1600;

// The picture of design; label is its text alternative ("Picture of the
// form frmMain").
FormPicture drawForm(const FormDesign& design, std::string_view label);

// The address of a control's (or menu entry's) entry on its module's page,
// the same for every member of a control array: "ctl_cmdOK". Letters,
// digits and "_" stay; any other byte becomes "-" and its hex digits.
std::string controlAnchor(std::string_view name);

// A caption with its access key: "&File" is "", "F", "ile"; "&&" stands for
// one "&" and is no access key.
struct AccessKeyCaption {
    std::string before;
    std::string key;  // empty: no access key
    std::string after;
};
AccessKeyCaption splitAccessKey(std::string_view caption);

}  // namespace tarnwick
