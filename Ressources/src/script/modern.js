/* Tarnwick documentation, modern layout: colour scheme, navigation tree,
 * header search and the menu of narrow screens.
 *
 * Loaded in the head of every page, before the page is drawn: the colour
 * scheme the reader chose last is put on the page at once; the rest waits
 * until the page is read. The navigation comes from nav-index.js
 * (tarnwickNav: the kinds and their modules), a module's members from its
 * nav/<folder>/<page>.js when the module is opened; the search from
 * search-index.js (tarnwickIndex) with the matching of search.js, both
 * loaded the first time a search box gets the focus. All are script files
 * beside the pages, so the site works from file:// without a server.
 */
(function () {
    "use strict";
    var SCHEME_KEY = "tarnwick-scheme";
    var HITS = 8;        // results under the header box
    var NAV_HITS = 100;  // results of the navigation's filter
    var html = document.documentElement;

    try {
        var saved = window.localStorage.getItem(SCHEME_KEY);
        if (saved === "dark" || saved === "light") html.setAttribute("data-scheme", saved);
    } catch (e) {
        /* no storage (a file:// page in some browsers): the system's scheme */
    }

    function siteRoot() {
        return document.body.getAttribute("data-root") || "";
    }

    function element(tag, className, text) {
        var e = document.createElement(tag);
        if (className) e.className = className;
        if (text !== undefined) e.textContent = text;
        return e;
    }

    function pageLink(path, text) {
        var a = element("a", "", text);
        a.href = siteRoot() + path.split("/").map(encodeURIComponent).join("/");
        return a;
    }

    /* This page's address without query and fragment. */
    function here() {
        return location.href.split("#")[0].split("?")[0];
    }

    function setUpScheme() {
        var button = document.getElementById("scheme");
        if (!button) return;
        button.addEventListener("click", function () {
            var now = html.getAttribute("data-scheme") ||
                (window.matchMedia && window.matchMedia("(prefers-color-scheme: dark)").matches
                    ? "dark" : "light");
            var next = now === "dark" ? "light" : "dark";
            html.setAttribute("data-scheme", next);
            try {
                window.localStorage.setItem(SCHEME_KEY, next);
            } catch (e) {
                /* remembered for this page only */
            }
        });
    }

    /* The navigation's tree, and its entry of this page, brought into view
     * when the column shows. */
    var navTree = null, currentEntry = null;

    function showCurrent() {
        var nav = document.getElementById("nav");
        // Hidden (the menu of a narrow screen is closed): when the menu opens.
        if (!currentEntry || !nav || !nav.clientHeight) return;
        var top = currentEntry.getBoundingClientRect().top - nav.getBoundingClientRect().top;
        nav.scrollTop += top - nav.clientHeight / 3;
    }

    function setUpMenu() {
        var button = document.getElementById("menu");
        if (!button) return;
        button.addEventListener("click", function () {
            var open = document.body.classList.toggle("navOpen");
            button.setAttribute("aria-expanded", open ? "true" : "false");
            if (open) showCurrent();
        });
    }

    /* ---- scripts loaded on demand ---------------------------------------- */

    var scriptsAsked = {};

    /* Adds the script at path (site-relative) once; then runs when ready()
     * holds. Script elements, not fetches: they load from file:// too. */
    function loadScript(path, ready, then) {
        if (ready()) return then();
        var waiting = scriptsAsked[path];
        if (waiting) return waiting.push(then);
        waiting = scriptsAsked[path] = [then];
        var script = document.createElement("script");
        script.src = siteRoot() + path.split("/").map(encodeURIComponent).join("/");
        script.onload = function () {
            if (!ready()) return;
            waiting.forEach(function (f) { f(); });
            waiting.length = 0;
        };
        document.head.appendChild(script);
    }

    /* ---- navigation tree ------------------------------------------------ */

    /* The members of the modules whose scripts came, by "Classes/CAccount". */
    var moduleMembers = {};

    /* Called by nav/<folder>/<page>.js: a module's member kinds and members. */
    window.tarnwickNavModule = function (page, kinds, members) {
        moduleMembers[page] = {kinds: kinds, members: members};
    };

    function modulePage(group, module) {
        return group[0] + "/" + module[1];
    }

    /* Runs then with the module's members ([] for none) once they are here. */
    function withMembers(group, module, then) {
        var page = modulePage(group, module);
        if (!module[2]) return then([]);
        loadScript("nav/" + page + ".js", function () { return moduleMembers[page]; },
            function () {
                var known = moduleMembers[page];
                then(known.members.map(function (member) {
                    return [member[0], group[0] + "/" + member[1] + ".html", known.kinds[member[2]]];
                }));
            });
    }

    function pageItem(className, page) {
        var item = element("li", className);
        var a = pageLink(page[1], page[0]);
        if (page[2]) a.title = page[2];
        item.appendChild(a);
        return item;
    }

    /* Fills a module's list with its pages at once, its members when they come; once. */
    function fillModule(node, group, module, then) {
        if (node.getAttribute("data-filled")) return then && then();
        node.setAttribute("data-filled", "1");
        var list = element("ul");
        list.hidden = true;
        window.tarnwickNav.tabs.forEach(function (tab) {
            list.appendChild(pageItem("page", [tab[1], modulePage(group, module) + tab[0] + ".html"]));
        });
        node.appendChild(list);
        withMembers(group, module, function (members) {
            members.forEach(function (member) { list.appendChild(pageItem("member", member)); });
            if (then) then();
        });
    }

    /* text as markup: what could end an attribute or start a tag as a reference. */
    function markup(text) {
        return String(text).replace(/[&<>"]/g, function (c) { return "&#" + c.charCodeAt(0) + ";"; });
    }

    /* Fills a kind's list with its modules, closed; once. Gives the module
     * entries in the order of group[3]. A kind may hold hundreds of modules:
     * its list is made as one text, the fastest way a browser has. */
    function fillKind(kind, group) {
        if (kind.moduleEntries) return kind.moduleEntries;
        var list = element("ul"), root = siteRoot(), items = [];
        group[3].forEach(function (module, i) {
            var path = modulePage(group, module) + ".html", name = markup(module[0]);
            items.push("<li><div class=\"branch module\" data-i=\"" + i + "\">" +
                "<button type=\"button\" class=\"twisty\" aria-expanded=\"false\" aria-label=\"" +
                name + "\"></button><a href=\"" +
                markup(root + path.split("/").map(encodeURIComponent).join("/")) + "\">" +
                name + "</a></div></li>");
        });
        list.hidden = true;
        list.innerHTML = items.join("");
        kind.appendChild(list);
        kind.moduleEntries = list.getElementsByClassName("module");
        return kind.moduleEntries;
    }

    /* A branch of the tree: a button that opens and closes it beside the
     * link to its page, its list below. Each is a control of its own for the
     * keyboard and for screen readers: nothing interactive inside another. */
    function branch(className, link) {
        var node = element("div", "branch " + className);
        var button = element("button", "twisty");
        button.type = "button";
        button.setAttribute("aria-expanded", "false");
        button.setAttribute("aria-label", link.textContent);
        node.appendChild(button);
        node.appendChild(link);
        return node;
    }

    /* Shows or hides a branch's list (made by its fill). */
    function show(node, open) {
        node.firstChild.setAttribute("aria-expanded", open ? "true" : "false");
        var list = node.lastChild;
        if (list.tagName === "UL") list.hidden = !open;
    }

    /* Opening a kind or a module fills it: one listener for the whole tree. */
    function fillOpened(event) {
        var button = event.target;
        if (button.className !== "twisty") return;
        var node = button.parentNode, kind = node.parentNode.parentNode.parentNode;
        var open = button.getAttribute("aria-expanded") !== "true";
        if (open && node.navGroup) fillKind(node, node.navGroup);
        else if (open && kind.navGroup)
            fillModule(node, kind.navGroup, kind.navGroup[3][+node.getAttribute("data-i")]);
        show(node, open);
    }

    /* This page's path inside the site ("Classes/CAccount.html"); empty when it lies elsewhere. */
    function sitePath() {
        var base = pageLink("", "").href, at = here();
        try {
            return at.indexOf(base) === 0 ? decodeURIComponent(at.slice(base.length)) : "";
        } catch (e) {
            return "";
        }
    }

    /* Opens the module this page belongs to: one of its tabs is known at once,
     * a member only from the scripts of the modules its name may belong to. */
    function openCurrent(kind, group, at) {
        var stem = at.slice(group[0].length + 1, -5);
        var openHolding = function (i) {
            return function (members) {
                if (members.some(function (member) { return member[1] === at; })) open(i);
            };
        };
        var open = function (i) {
            var entry = fillKind(kind, group)[i];
            fillModule(entry, group, group[3][i], function () {
                if (!currentEntry) currentEntry = markCurrent(navTree);
                showCurrent();
            });
            show(kind, true);
            show(entry, true);
        };
        var tabs = window.tarnwickNav.tabs.map(function (tab) { return tab[0]; });
        var modules = group[3];
        // A plain loop: a kind may hold hundreds of modules, and most fail the first test.
        for (var i = 0; i < modules.length; i++) {
            if (stem.lastIndexOf(modules[i][1], 0) !== 0) continue;
            var rest = stem.slice(modules[i][1].length);
            if (tabs.indexOf(rest) >= 0) {
                open(i);
            } else if (modules[i][2] && rest.charAt(0) === "_") {
                withMembers(group, modules[i], openHolding(i));
            }
        }
    }

    function renderTree(tree) {
        var at = sitePath();
        tree.addEventListener("click", fillOpened);
        /* A group's site: its start page and projects above the kinds. */
        (window.tarnwickNav.projects || []).forEach(function (project) {
            var item = element("div", "project");
            item.appendChild(project[2] ? element("strong", "", project[0])
                                        : pageLink(project[1], project[0]));
            tree.appendChild(item);
        });
        window.tarnwickNav.groups.forEach(function (group) {
            var kind = branch("kind", pageLink(group[2], group[1]));
            kind.appendChild(element("span", "count", String(group[3].length)));
            kind.navGroup = group;
            if (group[2] === at) {
                fillKind(kind, group);
                show(kind, true);
            } else if (at.indexOf(group[0] + "/") === 0) {
                openCurrent(kind, group, at);
            }
            tree.appendChild(kind);
        });
    }

    /* The modules and members whose name holds text, NAV_HITS at most, by name. */
    function renderFilterHits(hits, text) {
        var rows = window.tarnwickIndex.rows, count = 0;
        hits.textContent = "";
        window.tarnwickScan(window.tarnwickPrepare().names, text.toLowerCase(), function (k) {
            var item = element("li");
            item.appendChild(pageLink(rows[k][3], rows[k][0]));
            if (rows[k][2] >= 0) item.appendChild(element("small", "", " " + rows[rows[k][2]][0]));
            hits.appendChild(item);
            return ++count < NAV_HITS;
        });
    }

    /* Marks container's first link to this page. The tree's links are
     * compared as written, without making hundreds of addresses whole. */
    function markCurrent(container) {
        var links = container.getElementsByTagName("a"), at = here();
        var written = container === navTree ? pageLink(sitePath(), "").getAttribute("href") : null;
        for (var i = 0; i < links.length; i++) {
            if (written !== null ? links[i].getAttribute("href") === written : links[i].href === at) {
                links[i].className += " current";
                links[i].setAttribute("aria-current", "page");
                return links[i];
            }
        }
        return null;
    }

    function setUpNavigation() {
        var nav = document.getElementById("nav");
        if (!nav || !window.tarnwickNav) return;
        var filter = element("input", "filter");
        filter.type = "search";
        filter.placeholder = window.tarnwickNav.filter;
        filter.setAttribute("aria-label", window.tarnwickNav.filter);
        var tree = navTree = element("div", "tree");
        var hits = element("ul", "hits");
        hits.hidden = true;
        nav.insertBefore(filter, nav.firstChild);
        nav.insertBefore(tree, filter.nextSibling);
        nav.insertBefore(hits, tree);
        renderTree(tree);
        if (!currentEntry) currentEntry = markCurrent(tree) || markCurrent(document.getElementById("plain"));
        showCurrent();
        var filterNow = function () {
            var text = filter.value.trim();
            tree.hidden = text !== "";
            hits.hidden = text === "";
            if (text) renderFilterHits(hits, text);
        };
        filter.addEventListener("focus", function () { withIndex(function () {}); });
        filter.addEventListener("input", function () { withIndex(filterNow); });
    }

    /* ---- header search -------------------------------------------------- */

    /* The search index and the search page's matching (search.js), both
     * loaded the first time a box is used. */
    function withIndex(then) {
        loadScript("search-index.js", function () { return window.tarnwickIndex; }, function () {
            loadScript("src/script/search.js", function () { return window.tarnwickFind; }, then);
        });
    }

    function setUpSearch() {
        var box = document.getElementById("find");
        if (!box) return;
        var list = element("ul", "found");
        list.id = "found";
        list.hidden = true;
        list.setAttribute("role", "listbox");
        box.parentNode.appendChild(list);
        var active = -1;

        function show() {
            var text = box.value.trim();
            list.textContent = "";
            active = -1;
            if (!text || !window.tarnwickFind) {
                list.hidden = true;
                return;
            }
            // As search.html answers: every word, in names first, then in descriptions.
            var index = window.tarnwickIndex;
            window.tarnwickFind(text, HITS).forEach(function (number) {
                var row = index.rows[number];
                var item = element("li");
                item.setAttribute("role", "option");
                var a = pageLink(row[3], row[0]);
                item.appendChild(a);
                var where = index.kinds[row[1]];
                if (row[2] >= 0) where += " \u00b7 " + index.rows[row[2]][0];
                item.appendChild(element("small", "", where));
                list.appendChild(item);
            });
            list.hidden = !list.firstChild;
        }

        function move(step) {
            var items = list.children;
            if (!items.length) return;
            if (active >= 0) items[active].classList.remove("active");
            active = (active + step + items.length) % items.length;
            items[active].classList.add("active");
        }

        // The index is made ready for the search on the first focus, before the first key.
        box.addEventListener("focus", function () {
            withIndex(function () {
                window.tarnwickPrepare();
                show();
            });
        });
        box.addEventListener("input", function () { withIndex(show); });
        box.addEventListener("keydown", function (event) {
            if (event.key === "ArrowDown" || event.key === "ArrowUp") {
                move(event.key === "ArrowDown" ? 1 : -1);
                event.preventDefault();
            } else if (event.key === "Enter" && active >= 0) {
                // A result chosen with the arrows opens; else the form opens search.html?q=.
                location.href = list.children[active].firstChild.href;
                event.preventDefault();
            } else if (event.key === "Escape") {
                list.hidden = true;
            }
        });
        // A click on a result must not first take the focus from the box.
        list.addEventListener("mousedown", function (event) { event.preventDefault(); });
        box.addEventListener("blur", function () { list.hidden = true; });

        document.addEventListener("keydown", function (event) {
            var target = event.target, tag = target.tagName;
            if (event.key !== "/" || event.ctrlKey || event.metaKey || event.altKey ||
                tag === "INPUT" || tag === "TEXTAREA" || tag === "SELECT" || target.isContentEditable)
                return;
            event.preventDefault();
            box.focus();
        });
    }

    document.addEventListener("DOMContentLoaded", function () {
        setUpScheme();
        setUpMenu();
        setUpNavigation();
        setUpSearch();
    });
})();
