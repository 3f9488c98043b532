#include "generator/pages/FormPicture.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "support/Text.h"

namespace tarnwick {

namespace {

constexpr double kTwipsPerPixel = 15;
constexpr double kTitleBar = 22;
constexpr double kMenuBar = 20;
constexpr double kBorder = 4;
// A tab control moves the controls of its hidden tabs about 75000 twips to
// the left; anything left of this (in pixels of the design) is such a control.
constexpr double kFarLeft = -2000;
// No coordinate of the picture goes beyond this, whatever the file says.
constexpr double kLimit = 100000;
// Controls that are no window at run time (timers, common dialogs) have no
// size; the designer shows them as an icon of this side.
constexpr double kIconSide = 32;
// A caption longer than this is cut: the box shows a few words at most.
constexpr size_t kCaptionBytes = 200;

// A coordinate with one decimal at most, "." whatever the locale: "12.5", "7".
Html coordinate(double value) {
    if (!std::isfinite(value)) value = 0;
    value = std::round(std::clamp(value, -kLimit, kLimit) * 10) / 10;
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
    std::string_view shown(text, static_cast<size_t>(result.ptr - text));
    if (shown.ends_with(".0")) shown.remove_suffix(2);
    return escaped(shown == "-0" ? "0" : shown);
}

std::optional<double> decimal(const DesignControl& control, std::string_view name) {
    const DesignProperty* property = control.property(name);
    if (property == nullptr) return std::nullopt;
    const std::string_view value = trimSpaces(property->value);
    double result = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), result);
    if (error != std::errc() || end == value.data() || !std::isfinite(result)) return std::nullopt;
    return result;
}

// A caption cut to kCaptionBytes, never inside a UTF-8 sequence.
std::string shortCaption(std::string text) {
    if (text.size() <= kCaptionBytes) return text;
    size_t cut = kCaptionBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
    return text + "...";
}

// A caption as SVG text, its access key underlined.
Html captionText(std::string_view caption) {
    const AccessKeyCaption parts = splitAccessKey(shortCaption(std::string(caption)));
    Html text = escaped(parts.before);
    if (!parts.key.empty())
        text += "<tspan text-decoration=\"underline\">" + escaped(parts.key) + "</tspan>";
    return text + escaped(parts.after);
}

// How a container's units become pixels of the picture.
struct Units {
    double x = 1 / kTwipsPerPixel;  // pixels per unit
    double y = 1 / kTwipsPerPixel;
    double left = 0;  // ScaleLeft, ScaleTop: the units at the container's corner
    double top = 0;
};

// The objects with a ScaleMode of their own; the controls inside any other
// container (a frame, a tab) are measured as their container is.
bool ownsScale(const DesignControl& control) {
    for (const char* kind :
         {"Form", "MDIForm", "UserControl", "PropertyPage", "UserDocument", "PictureBox"})
        if (equalsIgnoreCase(control.className, kind)) return true;
    return false;
}

// Twips per unit of ScaleMode 1 to 7 (x, y): twips, points, pixels,
// characters, inches, millimetres, centimetres.
constexpr double kTwipsPerUnit[8][2] = {{0, 0},     {1, 1},       {20, 20},       {15, 15},
                                        {120, 240}, {1440, 1440}, {56.69, 56.69}, {566.93, 566.93}};

class Drawer {
public:
    Drawer(double zoom, FormPicture& picture) : m_zoom(zoom), m_picture(picture) {}

    // The units inside container, whose inner size in pixels is width x height.
    Units unitsInside(const DesignControl& container, const Units& outer, double width,
                      double height) {
        if (!ownsScale(container)) return outer;
        const int64_t mode = container.number("ScaleMode").value_or(1);
        Units units;
        if (mode >= 1 && mode <= 7) {
            units.x = kTwipsPerUnit[mode][0] / kTwipsPerPixel * m_zoom;
            units.y = kTwipsPerUnit[mode][1] / kTwipsPerPixel * m_zoom;
            return units;
        }
        const auto scaleWidth = decimal(container, "ScaleWidth");
        const auto scaleHeight = decimal(container, "ScaleHeight");
        if (mode == 0 && scaleWidth && scaleHeight && *scaleWidth != 0 && *scaleHeight != 0) {
            units.x = width / *scaleWidth;
            units.y = height / *scaleHeight;
            units.left = decimal(container, "ScaleLeft").value_or(0);
            units.top = decimal(container, "ScaleTop").value_or(0);
            return units;
        }
        m_picture.notes.push_back(container.name + ": ScaleMode " + std::to_string(mode) +
                                  (mode == 0 ? " without ScaleWidth and ScaleHeight" : ""));
        units.x = units.y = m_zoom / kTwipsPerPixel;
        return units;
    }

    void children(const DesignControl& container, const Units& units) {
        for (const DesignControl& child : container.children)
            if (!child.isMenu()) control(child, units);
    }

    Html take() { return m_out.take(); }
    HtmlBuffer& out() { return m_out; }

private:
    void control(const DesignControl& c, const Units& units);
    void line(const DesignControl& c, const Units& units, const Html& link);
    void look(const DesignControl& c, double w, double h);
    void choice(const DesignControl& c, double w, double h, const Html& caption);
    void shape(const DesignControl& c, double w, double h);

    double m_zoom;
    FormPicture& m_picture;
    HtmlBuffer m_out;
};

Html open(const DesignControl& c) {
    Html tip = escaped(c.name);
    if (const auto index = c.index()) tip += "(" + escaped(std::to_string(*index)) + ")";
    return "<a href=\"#" + attribute(controlAnchor(c.name)) + "\"><title>" + tip + " (" +
           escaped(c.className) + ")</title>";
}

Html viewport(double x, double y, double w, double h) {
    return "<svg x=\"" + coordinate(x) + "\" y=\"" + coordinate(y) + "\" width=\"" + coordinate(w) +
           "\" height=\"" + coordinate(h) + "\">";
}

Html rect(std::string_view cls, double x, double y, double w, double h, const Html& extra = {}) {
    return "<rect class=\"" + attribute(cls) + "\" x=\"" + coordinate(x) + "\" y=\"" +
           coordinate(y) + "\" width=\"" + coordinate(std::max(w, 0.0)) + "\" height=\"" +
           coordinate(std::max(h, 0.0)) + "\"" + extra + "/>";
}

Html text(std::string_view cls, double x, double y, const Html& content,
          std::string_view anchor = "start") {
    if (content.empty()) return {};
    return "<text class=\"" + attribute(cls) + "\" x=\"" + coordinate(x) + "\" y=\"" +
           coordinate(y) + "\" dominant-baseline=\"central\" text-anchor=\"" + attribute(anchor) +
           "\">" + content + "</text>";
}

bool is(const DesignControl& c, std::string_view kind) {
    return equalsIgnoreCase(c.className, kind);
}

void Drawer::line(const DesignControl& c, const Units& units, const Html& link) {
    const auto at = [&](const char* name, double origin, double scale) {
        return (decimal(c, name).value_or(0) - origin) * scale;
    };
    const Html ends = "x1=\"" + coordinate(at("X1", units.left, units.x)) + "\" y1=\"" +
                      coordinate(at("Y1", units.top, units.y)) + "\" x2=\"" +
                      coordinate(at("X2", units.left, units.x)) + "\" y2=\"" +
                      coordinate(at("Y2", units.top, units.y)) + "\"";
    m_out.Append(link + "<line class=\"lineHit\" " + ends + "/><line class=\"line\" " + ends +
                 "/></a>");
}

// A check box or option button: its tick and its caption beside it.
void Drawer::choice(const DesignControl& c, double w, double h, const Html& caption) {
    const double middle = h / 2;
    m_out.Append(rect("box area", 0, 0, w, h));
    const int64_t value = c.number("Value").value_or(0);
    if (is(c, "CheckBox")) {
        m_out.Append(rect("tick", 1.5, middle - 6, 12, 12));
        if (value != 0)
            m_out.Append("<path class=\"mark\" d=\"M4 " + coordinate(middle) + "l3 3l5-6\"/>");
    } else {
        m_out.Append("<circle class=\"tick\" cx=\"7.5\" cy=\"" + coordinate(middle) +
                     "\" r=\"6\"/>");
        if (value != 0)
            m_out.Append("<circle class=\"dot\" cx=\"7.5\" cy=\"" + coordinate(middle) +
                         "\" r=\"2.5\"/>");
    }
    m_out.Append(text("caption", 18, middle, caption));
}

// A shape: rectangle, square, oval, circle, rounded rectangle or square.
void Drawer::shape(const DesignControl& c, double w, double h) {
    const double middle = h / 2;
    const int64_t shape = c.number("Shape").value_or(0);
    const double side = std::min(w, h);
    const bool square = shape == 1 || shape == 3 || shape == 5;
    const double sw = square ? side : w, sh = square ? side : h;
    const double x = (w - sw) / 2, y = (h - sh) / 2;
    if (shape == 2 || shape == 3)
        m_out.Append("<ellipse class=\"box shape\" cx=\"" + coordinate(w / 2) + "\" cy=\"" +
                     coordinate(middle) + "\" rx=\"" + coordinate(sw / 2 - 0.5) + "\" ry=\"" +
                     coordinate(sh / 2 - 0.5) + "\"/>");
    else
        m_out.Append(rect("box shape", x + 0.5, y + 0.5, sw - 1, sh - 1,
                          shape >= 4 ? Html(" rx=\"8\"") : Html()));
}

// What the control looks like inside its box of w x h pixels.
void Drawer::look(const DesignControl& c, double w, double h) {
    const Html caption = captionText(c.text("Caption"));
    const double middle = h / 2;
    const bool graphical = c.number("Style").value_or(0) == 1;
    if (is(c, "CommandButton") || ((is(c, "CheckBox") || is(c, "OptionButton")) && graphical)) {
        m_out.Append(rect("box button", 0.5, 0.5, w - 1, h - 1, " rx=\"3\""));
        m_out.Append(text("caption", w / 2, middle, caption, "middle"));
    } else if (is(c, "CheckBox") || is(c, "OptionButton")) {
        choice(c, w, h, caption);
    } else if (is(c, "Frame")) {
        const AccessKeyCaption parts = splitAccessKey(shortCaption(c.text("Caption")));
        const double textWidth =
            static_cast<double>(parts.before.size() + parts.key.size() + parts.after.size()) * 6 +
            4;
        m_out.Append(rect("box frameLine", 0.5, 7.5, w - 1, h - 8));
        if (!caption.empty()) {
            m_out.Append(rect("face", 6, 0, std::min(textWidth, w - 8), 14));
            m_out.Append(text("caption", 8, 7, caption));
        }
    } else if (is(c, "Label")) {
        const int64_t align = c.number("Alignment").value_or(0);
        m_out.Append(
            rect(c.number("BorderStyle").value_or(0) == 1 ? "box field" : "box area", 0, 0, w, h));
        const double x = align == 1 ? w - 2 : (align == 2 ? w / 2 : 2);
        m_out.Append(text("caption", x, std::min(middle, 8.0), caption,
                          align == 1 ? "end" : (align == 2 ? "middle" : "start")));
    } else if (is(c, "TextBox")) {
        m_out.Append(rect("box field", 0.5, 0.5, w - 1, h - 1));
        m_out.Append(text("caption", 3, std::min(middle, 10.0), captionText(c.text("Text"))));
    } else if (is(c, "ComboBox") || is(c, "ListBox") || is(c, "DriveListBox") ||
               is(c, "DirListBox") || is(c, "FileListBox")) {
        const bool combo = is(c, "ComboBox") || is(c, "DriveListBox");
        m_out.Append(rect("box field", 0.5, 0.5, w - 1, h - 1));
        m_out.Append(rect("face", w - 17, 1, 16, h - 2));
        if (combo)
            m_out.Append("<path class=\"mark\" d=\"M" + coordinate(w - 13) + " " +
                         coordinate(middle - 2) + "h8l-4 4z\"/>");
        m_out.Append(text("caption", 3, std::min(middle, 10.0),
                          combo ? captionText(c.text("Text")) : escaped(c.name)));
    } else if (is(c, "PictureBox") || is(c, "Image")) {
        // An image has no border of its own, nor a picture box of BorderStyle 0.
        const bool border = is(c, "PictureBox") && c.number("BorderStyle").value_or(1) != 0;
        m_out.Append(rect(border ? "box picture" : "box picture borderless", 0.5, 0.5, w - 1, h - 1,
                          " fill=\"url(#formHatch)\""));
    } else if (is(c, "Shape")) {
        shape(c, w, h);
    } else {
        // A control of a library or of the project: its class and name.
        m_out.Append(rect("box other", 0.5, 0.5, w - 1, h - 1));
        m_out.Append(text("kind", 3, std::min(middle, 8.0), escaped(c.className)));
        if (h >= 30) m_out.Append(text("caption", 3, std::min(middle, 8.0) + 14, escaped(c.name)));
    }
}

void Drawer::control(const DesignControl& c, const Units& units) {
    const Html link = open(c);
    const bool visible = c.flag("Visible", true);
    if (!visible) m_picture.dimmed = true;
    if (is(c, "Line")) {
        m_out.Append(visible ? Html("<g class=\"control\">")
                             : Html("<g class=\"control hidden\">"));
        line(c, units, link);
        m_out.Append("</g>");
        return;
    }
    const auto width = decimal(c, "Width");
    const auto height = decimal(c, "Height");
    double x = (decimal(c, "Left").value_or(0) - units.left) * units.x;
    double y = (decimal(c, "Top").value_or(0) - units.top) * units.y;
    if (x / m_zoom < kFarLeft) return;  // on a hidden tab
    const bool component = !width && !height;
    double w = component ? kIconSide : width.value_or(0) * units.x;
    double h = component ? kIconSide : height.value_or(0) * units.y;
    if (w < 0) x += w, w = -w;  // a scale that counts leftwards or upwards
    if (h < 0) y += h, h = -h;
    w = std::min(w, kLimit);
    h = std::min(h, kLimit);
    const bool dim = !visible || component;
    if (component) m_picture.dimmed = true;
    m_out.Append(dim ? Html("<g class=\"control hidden\">") : Html("<g class=\"control\">"));
    m_out.Append(link + viewport(x, y, w, h));
    if (component) {
        m_out.Append(rect("box other", 0.5, 0.5, w - 1, h - 1));
        m_out.Append(text("kind", w / 2, h / 2, escaped(c.className.substr(0, 5)), "middle"));
    } else {
        look(c, w, h);
    }
    m_out.Append("</svg></a>");
    if (std::any_of(c.children.begin(), c.children.end(),
                    [](const DesignControl& child) { return !child.isMenu(); })) {
        m_out.Append(viewport(x, y, w, h));
        children(c, unitsInside(c, units, w, h));
        m_out.Append("</svg>");
    }
    m_out.AppendLn("</g>");
}

double twipsAsPixels(const DesignControl& form, const char* name, const char* otherwise) {
    const auto value = decimal(form, name) ? decimal(form, name) : decimal(form, otherwise);
    return std::clamp(value.value_or(4800) / kTwipsPerPixel, 1.0, 1e7);
}

// The menu bar: the visible menus of the top level, their access keys underlined.
void menuBar(HtmlBuffer& out, const DesignControl& form, double x, double y, double width) {
    out.Append(viewport(x, y, width, kMenuBar));
    out.Append(rect("menubar", 0, 0, width, kMenuBar));
    double at = 6;
    for (const DesignControl& menu : form.children) {
        if (!menu.isMenu() || !menu.flag("Visible", true)) continue;
        const std::string caption = shortCaption(menu.text("Caption"));
        out.Append(open(menu) + text("caption", at, kMenuBar / 2, captionText(caption)) + "</a>");
        at += static_cast<double>(caption.size()) * 6.5 + 12;
    }
    out.AppendLn("</svg>");
}

}  // namespace

std::string controlAnchor(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string anchor = "ctl_";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '_') {
            anchor += c;
        } else {
            anchor += '-';
            anchor += kHex[byte >> 4];
            anchor += kHex[byte & 15];
        }
    }
    return anchor;
}

AccessKeyCaption splitAccessKey(std::string_view caption) {
    AccessKeyCaption parts;
    std::string* into = &parts.before;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&' || i + 1 == caption.size()) {
            *into += caption[i];
        } else if (caption[i + 1] == '&') {
            *into += '&';
            ++i;
        } else if (parts.key.empty() && into == &parts.before) {
            // The key is one character, however many bytes it takes.
            size_t end = i + 2;
            while (end < caption.size() &&
                   (static_cast<unsigned char>(caption[end]) & 0xC0) == 0x80)
                ++end;
            parts.key = std::string(caption.substr(i + 1, end - i - 1));
            into = &parts.after;
            i = end - 1;
        }
    }
    return parts;
}

FormPicture drawForm(const FormDesign& design, std::string_view label) {
    FormPicture picture;
    if (design.empty()) return picture;
    const DesignControl& form = design.form;
    const bool window = is(form, "Form") || is(form, "MDIForm");
    const bool framed = window && form.number("BorderStyle").value_or(2) != 0;
    const bool menus = window && std::any_of(form.children.begin(), form.children.end(),
                                             [](const DesignControl& c) {
                                                 return c.isMenu() && c.flag("Visible", true);
                                             });
    const double clientWidth = twipsAsPixels(form, "ClientWidth", "Width");
    const double clientHeight = twipsAsPixels(form, "ClientHeight", "Height");
    const double zoom =
        std::min({1.0, kMaxPictureSide / clientWidth, kMaxPictureSide / clientHeight});
    const double border = framed ? kBorder : 1;
    const double title = framed ? kTitleBar : 0;
    const double bar = menus ? kMenuBar : 0;
    const double width = clientWidth * zoom + 2 * border;
    const double height = clientHeight * zoom + title + bar + 2 * border;

    Drawer drawer(zoom, picture);
    HtmlBuffer& out = drawer.out();
    out.AppendLn("<svg class=\"formPicture\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
                 coordinate(width) + " " + coordinate(height) + "\" width=\"" + coordinate(width) +
                 "\" height=\"" + coordinate(height) + "\" role=\"group\" aria-label=\"" +
                 attribute(label) +
                 "\" font-family=\"Tahoma, Verdana, sans-serif\" font-size=\"11\">");
    out.AppendLn("<title>" + escaped(label) + "</title>");
    out.AppendLn(
        "<defs><pattern id=\"formHatch\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\" "
        "patternTransform=\"rotate(45)\"><line class=\"hatch\" x1=\"0\" y1=\"0\" x2=\"0\" "
        "y2=\"6\"/></pattern></defs>");
    out.Append(rect("window", 0, 0, width, height));
    if (framed) {
        out.Append(open(form) + viewport(border, border, width - 2 * border, title));
        out.Append(rect("titlebar", 0, 0, width - 2 * border, title));
        out.Append(text("titleText", 6, title / 2, captionText(form.text("Caption"))));
        out.AppendLn("</svg></a>");
    }
    if (menus) menuBar(out, form, border, border + title, width - 2 * border);
    out.Append(viewport(border, border + title + bar, clientWidth * zoom, clientHeight * zoom));
    out.AppendLn(rect("client", 0, 0, clientWidth * zoom, clientHeight * zoom));
    drawer.children(form,
                    drawer.unitsInside(form, Units{}, clientWidth * zoom, clientHeight * zoom));
    out.AppendLn("</svg>");
    out.Append("</svg>");
    picture.svg = drawer.take();
    return picture;
}

}  // namespace tarnwick
