#include "generator/pages/ChangesPage.h"

#include "generator/analysis/ApiDiff.h"
#include "generator/pages/modHtmlDetail.h"
#include "generator/site/CrossLinks.h"
#include "generator/site/PageContext.h"
#include "model/CHelper.h"
#include "model/CProject.h"
#include "support/Escape.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// The translation key and English text of each verdict, and its class on the page.
struct VerdictLabel {
    const char* key;
    const char* text;
    const char* cssClass;
};

VerdictLabel labelOf(ApiVerdict verdict) {
    switch (verdict) {
        case ApiVerdict::Breaks:
            return {"ChangeBreaks", "Breaks binary compatibility", "breaks"};
        case ApiVerdict::Behaviour:
            return {"ChangeBehaviour", "Compatible; old clients keep the old value", "behaviour"};
        case ApiVerdict::Compatible:
            return {"ChangeCompatible", "Compatible", "compatible"};
        case ApiVerdict::NotBinary:
            break;
    }
    return {"ChangeNotBinary", "No binary interface", "notBinary"};
}

const CModule* moduleNamed(const CProject& project, const std::string& name) {
    for (const ModuleKind kind : kDocumentedModuleKinds)
        for (const auto& module : project.listOfKind(kind)->elements())
            if (equalsIgnoreCase(module->Name(), name)) return module.get();
    return nullptr;
}

// "CAccount.Post", linked to its page when the site has one (a removed
// member has none).
Html elementCell(const CProject& project, const ApiChange& change, const PageContext& ctx) {
    const std::string name =
        change.member.empty() ? change.module : change.module + "." + change.member;
    const CModule* module = moduleNamed(project, change.module);
    const std::string page = module && ctx.links && change.kind != ApiChangeKind::Removed
                                 ? ctx.links->seePage(name, *module)
                                 : std::string();
    if (page.empty()) return escaped(name);
    return "<A href=\"" + url(page) + "\">" + escaped(name) + "</A>";
}

}  // namespace

Html changeMark(const CModule& module, const Element& member, const PageContext& ctx) {
    if (!ctx.changes) return {};
    bool added = false;
    std::string changed;
    for (const ApiChange& change : ctx.changes->changes) {
        if (change.kind == ApiChangeKind::Removed ||
            !equalsIgnoreCase(change.member, member.Name()) ||
            !equalsIgnoreCase(change.module, module.Name()))
            continue;
        added = added || change.kind == ApiChangeKind::Added;
        changed += (changed.empty() ? "" : "; ") + change.message;
    }
    if (!added && changed.empty()) return {};
    const CHelper helper(ctx.translation, ctx.language);
    return " <SPAN class=\"changeMark\">" +
           (added ? trText(helper, "ChangeNew", "New")
                  : trText(helper, "ChangeChanged", "Changed") + ": " + escaped(changed)) +
           "</SPAN>";
}

PageBody buildChangesPage(const CProject& project, const ApiDiff& diff, const std::string& since,
                          const PageContext& ctx) {
    const CHelper helper(ctx.translation, ctx.language);
    HtmlBuffer page;
    page.AppendLn("<H3>" + trText(helper, "ChangesSince", "Changes since") + " " + escaped(since) +
                  "</H3>");
    for (const std::string& note : diff.notes)
        page.AppendLn("<P class=\"changesNote\">" + escaped(note) + "</P>");
    if (diff.changes.empty()) {
        page.AppendLn("<P>" + trText(helper, "ChangesNone", "The public interface is unchanged.") +
                      "</P>");
        return modHtml::detail::rootPage(kChangesPage, helper.Translate("Changes", "Changes"),
                                         page);
    }
    page.AppendLn("<TABLE cellspacing=\"0\" class=\"summary\" id=\"changes\">");
    page.AppendLn("<TR><TH>&nbsp;" + trText(helper, "ChangeVerdict", "Verdict") +
                  "&nbsp;</TH><TH>&nbsp;" + trText(helper, "ChangeElement", "Element") +
                  "&nbsp;</TH><TH width=\"100%\">&nbsp;" + trText(helper, "ChangeWhat", "Change") +
                  "&nbsp;</TH></TR>");
    for (const ApiChange& change : diff.changes) {
        const VerdictLabel label = labelOf(change.verdict);
        page.AppendLn("<TR class=\"" + attribute(label.cssClass) + "\"><TD><NOBR>&nbsp;" +
                      trText(helper, label.key, label.text) + "&nbsp;</NOBR></TD><TD><NOBR>&nbsp;" +
                      elementCell(project, change, ctx) + "&nbsp;</NOBR></TD><TD>&nbsp;" +
                      escaped(change.message) + "</TD></TR>");
    }
    page.AppendLn("</TABLE>");
    return modHtml::detail::rootPage(kChangesPage, helper.Translate("Changes", "Changes"), page);
}

}  // namespace tarnwick
