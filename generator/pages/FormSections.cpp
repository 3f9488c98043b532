#include "generator/pages/FormSections.h"

#include <algorithm>
#include <initializer_list>
#include <set>

#include "generator/pages/FormPicture.h"
#include "generator/site/CrossLinks.h"
#include "generator/site/GroupSite.h"
#include "model/CHelper.h"
#include "model/ReferenceIndex.h"
#include "support/Hash.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// A translated sentence (text, escaped) with %1, %2, ... filled in by markup.
Html fillIn(const Html& sentence, std::initializer_list<Html> values) {
    std::string text = sentence.str();
    int n = 1;
    for (const Html& value : values) {
        const std::string mark = "%" + std::to_string(n++);
        const size_t at = text.find(mark);
        if (at != std::string::npos) text.replace(at, mark.size(), value.str());
    }
    return Html::trusted(std::move(text));
}

// A caption for a page: its access key underlined.
Html captionMarkup(std::string_view caption) {
    const AccessKeyCaption parts = splitAccessKey(caption);
    Html text = escaped(parts.before);
    if (!parts.key.empty()) text += "<U>" + escaped(parts.key) + "</U>";
    return text + escaped(parts.after);
}

// One entry of a tree: a control, or all members of a control array of
// one container (in file order, their indexes and their controls together).
struct Entry {
    std::vector<const DesignControl*> members;
    std::vector<int64_t> indexes;
};

std::vector<Entry> entriesOf(const std::vector<const DesignControl*>& parents, bool menus) {
    std::vector<Entry> entries;
    std::unordered_map<std::string, size_t> arrays;  // lower name -> entry
    for (const DesignControl* parent : parents) {
        for (const DesignControl& child : parent->children) {
            if (child.isMenu() != menus) continue;
            const auto index = child.index();
            if (index) {
                const auto [at, added] = arrays.try_emplace(toLower(child.name), entries.size());
                if (!added) {
                    entries[at->second].members.push_back(&child);
                    entries[at->second].indexes.push_back(*index);
                    continue;
                }
            }
            entries.push_back({{&child}, {}});
            if (index) entries.back().indexes.push_back(*index);
        }
    }
    return entries;
}

class SectionWriter {
public:
    SectionWriter(const CModule& module, const CProject& project, const PageContext& ctx)
        : m_module(module),
          m_project(project),
          m_ctx(ctx),
          m_helper(ctx.translation, ctx.language),
          m_handlers(controlHandlers(module)) {}

    void controls(HtmlBuffer& out, const DesignControl& form);
    void menus(HtmlBuffer& out, const DesignControl& form);

private:
    // The picture of the design with its legends.
    void picture(HtmlBuffer& out) const;
    void tree(HtmlBuffer& out, const std::vector<const DesignControl*>& parents, bool menus);
    Html opening(const Entry& entry);
    Html typeOf(const DesignControl& control) const;
    Html handlers(const std::string& key) const;
    Html uses(std::string_view name) const;

    const CModule& m_module;
    const CProject& m_project;
    const PageContext& m_ctx;
    CHelper m_helper;
    ControlHandlers m_handlers;
    std::set<std::string> m_anchors;  // given once each: an array split over containers
};

// <LI id="ctl_optSize"><B>optSize</B>(0, 1): the entry's start, its address
// on the first entry of that name.
Html SectionWriter::opening(const Entry& entry) {
    const DesignControl& first = *entry.members.front();
    const std::string anchor = controlAnchor(first.name);
    Html item = "<LI";
    if (m_anchors.insert(anchor).second) item += " id=\"" + attribute(anchor) + "\"";
    item += "><B>" + escaped(first.name) + "</B>";
    if (!entry.indexes.empty()) {
        item += "(";
        for (size_t i = 0; i < entry.indexes.size(); ++i)
            item += (i > 0 ? Html(", ") : Html()) + escaped(std::to_string(entry.indexes[i]));
        item += ")";
    }
    return item;
}

// The control's type, linked to its page when it is a user control of the
// project or, in a group, a public one of a project this one references
// (its page is in that project's folder).
Html SectionWriter::typeOf(const DesignControl& control) const {
    const bool vb = equalsIgnoreCase(control.library, "VB");
    const std::string shown = vb ? control.className : control.typeName();
    std::string page;
    if (m_ctx.links && equalsIgnoreCase(control.library, m_project.displayName())) {
        for (const auto& candidate : m_project.UserControls().elements())
            if (equalsIgnoreCase(candidate->Name(), control.className))
                page = m_ctx.links->modulePage(*candidate);
    } else if (m_ctx.group && m_ctx.settings.UserControls && !vb && !control.library.empty()) {
        page = m_ctx.group->classPage(control.library + "." + control.className);
    }
    return "<SPAN class=\"controlType\">" + CrossLinks::link(page, shown) + "</SPAN>";
}

// " <SPAN class="handlers">Handlers: <A ...>Click</A>, ...</SPAN>"; empty when none.
Html SectionWriter::handlers(const std::string& key) const {
    const auto found = m_handlers.find(key);
    if (found == m_handlers.end()) return {};
    Html text = " <SPAN class=\"handlers\">" + trText(m_helper, "Handlers", "Handlers") + ": ";
    bool first = true;
    for (const ControlHandler& handler : found->second) {
        if (!first) text += ", ";
        first = false;
        const std::string page =
            m_ctx.links ? m_ctx.links->memberPage(m_module, *handler.routine) : std::string();
        text += CrossLinks::link(page, handler.event);
    }
    return text + "</SPAN>";
}

// " <SPAN class="uses">Used in: <A ...>Form_Load</A>, <A ...>frmMain.Save</A></SPAN>":
// the routines whose code names the control (the form itself for ""), each
// once; empty when no code does.
Html SectionWriter::uses(std::string_view name) const {
    std::vector<std::pair<const CModule*, const Element*>> seen;
    Html text;
    for (const DesignUse* use : m_project.crossReferences().usesOfControl(m_module, name)) {
        const std::pair where{use->fromModule, use->from};
        if (std::find(seen.begin(), seen.end(), where) != seen.end()) continue;
        seen.push_back(where);
        std::string shown = use->fromModule == &m_module ? "" : use->fromModule->Name();
        if (use->from) shown += (shown.empty() ? "" : ".") + use->from->Name();
        if (shown.empty()) shown = m_module.Name();  // its declarations
        std::string page;
        if (m_ctx.links)
            page = use->from ? m_ctx.links->memberPage(*use->fromModule, *use->from)
                             : m_ctx.links->modulePage(*use->fromModule);
        text += (seen.size() > 1 ? Html(", ") : Html()) + CrossLinks::link(page, shown);
    }
    if (text.empty()) return {};
    return " <SPAN class=\"uses\">" + trText(m_helper, "UsedIn", "Used in") + ": " + text +
           "</SPAN>";
}

void SectionWriter::tree(HtmlBuffer& out, const std::vector<const DesignControl*>& parents,
                         bool menus) {
    const std::vector<Entry> entries = entriesOf(parents, menus);
    if (entries.empty()) return;
    out.AppendLn(menus ? Html("<UL class=\"menus\">") : Html("<UL class=\"controls\">"));
    for (const Entry& entry : entries) {
        const DesignControl& first = *entry.members.front();
        Html item = opening(entry);
        const std::string caption =
            first.text(menus || first.property("Caption") ? "Caption" : "Text");
        if (menus && caption == "-") {
            item += " <SPAN class=\"separator\">" + trText(m_helper, "MenuSeparator", "Separator") +
                    "</SPAN>";
        } else {
            if (!menus) item += " " + typeOf(first);
            if (!caption.empty()) item += " &quot;" + captionMarkup(caption) + "&quot;";
        }
        if (menus) {
            if (const DesignProperty* shortcut = first.property("Shortcut"))
                item += " <KBD>" + escaped(shortcutText(shortcut->value)) + "</KBD>";
            if (first.flag("Checked", false))
                item += " <SPAN class=\"state\">" + trText(m_helper, "MenuChecked", "checked") +
                        "</SPAN>";
        }
        if (!first.flag("Enabled", true))
            item += " <SPAN class=\"state\">" + trText(m_helper, "ControlDisabled", "disabled") +
                    "</SPAN>";
        if (!first.flag("Visible", true))
            item += " <SPAN class=\"state\">" + trText(m_helper, "ControlHidden", "not visible") +
                    "</SPAN>";
        out.AppendLn(item + handlers(toLower(first.name)) + uses(first.name));
        tree(out, entry.members, menus);
        out.AppendLn("</LI>");
    }
    out.AppendLn("</UL>");
}

void SectionWriter::picture(HtmlBuffer& out) const {
    std::string label = m_helper.Translate("FormPicture", "Picture of %1");
    if (const size_t at = label.find("%1"); at != std::string::npos)
        label.replace(at, 2, m_module.Name());
    const FormPicture picture = drawForm(*m_module.Design(), label);
    out.AppendLn("<DIV class=\"formPicture\">");
    out.AppendLn(picture.svg);
    out.AppendLn("</DIV>");
    if (picture.dimmed)
        out.AppendLn(
            "<P class=\"pictureLegend\">" +
            trText(m_helper, "FormPictureDimmed", "Dimmed: not visible when the form opens.") +
            "</P>");
    for (const std::string& note : picture.notes)
        out.AppendLn("<P class=\"pictureLegend\">" +
                     trText(m_helper, "FormPictureTwips", "Drawn in twips:") + " " + escaped(note) +
                     "</P>");
}

void SectionWriter::controls(HtmlBuffer& out, const DesignControl& form) {
    out.AppendLn("<H3 id=\"Controls\">" + trText(m_helper, "Controls", "Controls") + "</H3>");
    // A data environment or report draws nothing of its own: only controls make a picture.
    if (m_module.Kind() != ModuleKind::Designer || !form.children.empty()) picture(out);
    // The form itself is the root of the tree, with the handlers of its own events.
    const std::string anchor = controlAnchor(form.name);
    m_anchors.insert(anchor);
    out.AppendLn("<UL class=\"controls\">");
    Html root =
        "<LI id=\"" + attribute(anchor) + "\"><B>" + escaped(form.name) + "</B> " + typeOf(form);
    if (const std::string caption = form.text("Caption"); !caption.empty())
        root += " &quot;" + captionMarkup(caption) + "&quot;";
    out.AppendLn(root + handlers("") + uses(""));
    tree(out, {&form}, false);
    out.AppendLn("</LI>");
    out.AppendLn("</UL>");
}

void SectionWriter::menus(HtmlBuffer& out, const DesignControl& form) {
    const bool any = std::any_of(form.children.begin(), form.children.end(),
                                 [](const DesignControl& c) { return c.isMenu(); });
    if (!any) return;
    out.AppendLn("<H3 id=\"Menus\">" + trText(m_helper, "Menus", "Menus") + "</H3>");
    tree(out, {&form}, true);
}

// A caption as plain text: "&Open..." -> "Open...".
std::string plainCaption(std::string_view caption) {
    const AccessKeyCaption parts = splitAccessKey(caption);
    return parts.before + parts.key + parts.after;
}

void addEntries(std::vector<IndexEntry>& entries, const DesignControl& parent, size_t module,
                std::set<std::string>& seen) {
    for (const DesignControl& child : parent.children) {
        if (seen.insert(toLower(child.name)).second) {
            const std::string caption = plainCaption(child.text("Caption"));
            IndexEntry entry{child.name,
                             child.isMenu() ? "Menu" : "Control",
                             static_cast<int>(module),
                             entries[module].path + "#" + controlAnchor(child.name),
                             child.isMenu() ? caption : child.className,
                             toLower(child.isMenu() ? std::string() : caption),
                             entries[module].owner};
            entries.push_back(std::move(entry));
        }
        addEntries(entries, child, module, seen);
    }
}

}  // namespace

DesignCounts designCounts(const FormDesign& design) {
    std::vector<IndexEntry> entries(1);
    std::set<std::string> seen;
    addEntries(entries, design.form, 0, seen);
    DesignCounts counts;
    for (size_t i = 1; i < entries.size(); ++i)
        ++(entries[i].kind == "Menu" ? counts.menus : counts.controls);
    return counts;
}

std::vector<IndexEntry> withControlEntries(std::vector<IndexEntry> entries) {
    const size_t modules = entries.size();
    for (size_t i = 0; i < modules; ++i) {
        const CModule* owner = entries[i].owner;
        if (entries[i].module >= 0 || owner == nullptr || !owner->Design()) continue;
        std::set<std::string> seen;
        addEntries(entries, owner->Design()->form, i, seen);
    }
    return entries;
}

uint64_t designUsesKey(const CModule& module, const CProject& project) {
    const FormDesign* design = module.Design().get();
    if (design == nullptr || design->empty()) return 0;
    std::vector<IndexEntry> names(1);
    std::set<std::string> seen;
    addEntries(names, design->form, 0, seen);
    names.front().name.clear();  // the form itself
    uint64_t key = 0;
    for (const IndexEntry& name : names) {
        for (const DesignUse* use : project.crossReferences().usesOfControl(module, name.name)) {
            if (use->fromModule == &module) continue;  // its own file is in the key already
            key = hashBytes(name.name + '\n' + use->fromModule->Name() + '\n' +
                                (use->from ? use->from->Name() : std::string()),
                            key);
        }
    }
    return key;
}

ControlHandlers controlHandlers(const CModule& module) {
    ControlHandlers handlers;
    const FormDesign* design = module.Design().get();
    if (design == nullptr || design->empty()) return handlers;
    for (const auto& routine : module.Subroutines().elements()) {
        const auto handled = handledEvent(design, module.Kind(), routine->Name());
        if (!handled) continue;
        const std::string key = handled->control ? toLower(handled->control->name) : std::string();
        handlers[key].push_back({handled->event, routine.get()});
    }
    return handlers;
}

std::string shortcutText(std::string_view code) {
    std::string keys;
    std::string_view rest = trimSpaces(code);
    bool ctrl = false, shift = false, alt = false;
    for (; !rest.empty(); rest.remove_prefix(1)) {
        if (rest.front() == '^')
            ctrl = true;
        else if (rest.front() == '+')
            shift = true;
        else if (rest.front() == '%')
            alt = true;
        else
            break;
    }
    std::string key;
    if (rest.size() == 1 && rest != "{") {
        key = std::string(rest);
    } else if (rest.size() > 2 && rest.front() == '{' && rest.back() == '}') {
        key = std::string(rest.substr(1, rest.size() - 2));
        static const std::pair<const char*, const char*> kNames[] = {
            {"INSERT", "Ins"},          {"DEL", "Del"},
            {"DELETE", "Del"},          {"BKSP", "Backspace"},
            {"BACKSPACE", "Backspace"}, {"BS", "Backspace"}};
        for (const auto& [written, shown] : kNames)
            if (equalsIgnoreCase(key, written)) key = shown;
    } else {
        return std::string(code);
    }
    if (ctrl) keys += "Ctrl+";
    if (shift) keys += "Shift+";
    if (alt) keys += "Alt+";
    return keys + key;
}

Html formSections(const CModule& module, const CProject& project, const PageContext& ctx) {
    const FormDesign* design = module.Design().get();
    if (design == nullptr || design->empty()) return {};
    SectionWriter writer(module, project, ctx);
    HtmlBuffer out;
    writer.controls(out, design->form);
    writer.menus(out, design->form);
    return out.take();
}

Html handlesLine(const Element& routine, const CModule& module, const PageContext& ctx) {
    const FormDesign* design = module.Design().get();
    if (design == nullptr || design->empty() || routine.Kind() != ElementKind::Subroutine)
        return {};
    const auto handled = handledEvent(design, module.Kind(), routine.Name());
    if (!handled) return {};
    const DesignControl& control = handled->control ? *handled->control : design->form;
    const CHelper helper(ctx.translation, ctx.language);
    const std::string page = ctx.links ? ctx.links->modulePage(module) : std::string();
    const Html target =
        page.empty() ? escaped(control.name)
                     : CrossLinks::link(page + "#" + controlAnchor(control.name), control.name);
    return "<P class=\"handles\">" +
           fillIn(trText(helper, "HandlesEvent", "Handles the %1 event of %2 (%3)"),
                  {escaped(handled->event), target, escaped(control.className)}) +
           "</P>";
}

Html usedOnSection(const CModule& control, const CProject& project, const PageContext& ctx) {
    if (control.Kind() != ModuleKind::UserControl || !ctx.links) return {};
    const auto places = ctx.links->placesOf(control, project.displayName());
    if (places.empty()) return {};
    const CHelper helper(ctx.translation, ctx.language);
    HtmlBuffer list;
    list.AppendLn("<H3 id=\"UsedOn\">" + trText(helper, "UsedOn", "Used on") + "</H3>");
    list.AppendLn("<UL class=\"usedOn\">");
    for (const auto& [entry, count] : places)
        list.AppendLn("<LI>" + CrossLinks::link(entry->path, entry->name) +
                      (count > 1 ? " (" + escaped(std::to_string(count)) + "&times;)" : Html()) +
                      "</LI>");
    list.AppendLn("</UL>");
    return list.take();
}

}  // namespace tarnwick
