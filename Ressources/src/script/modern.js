/* Tarnwick documentation, modern layout: colour scheme, navigation tree,
 * header search and the menu of narrow screens.
 *
 * Loaded in the head of every page, before the page is drawn: the colour
 * scheme the reader chose last is put on the page at once; the rest waits
 * until the page is read. The navigation comes from nav-index.js
 * (tarnwickNav), the search from search-index.js (tarnwickIndex), which is
 * loaded the first time the search box gets the focus. Both are script
 * files beside the pages, so the site works from file:// without a server.
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

    function setUpMenu() {
        var button = document.getElementById("menu");
        if (!button) return;
        button.addEventListener("click", function () {
            var open = document.body.classList.toggle("navOpen");
            button.setAttribute("aria-expanded", open ? "true" : "false");
        });
    }

    /* ---- navigation tree ------------------------------------------------ */

    function modulePages(group, module) {
        var nav = window.tarnwickNav, pages = [];
        nav.tabs.forEach(function (tab) {
            pages.push([tab[1], group[0] + "/" + module[1] + tab[0] + ".html"]);
        });
        module[2].forEach(function (member) {
            pages.push([member[0], group[0] + "/" + member[1] + ".html", nav.kinds[member[2]]]);
        });
        return pages;
    }

    /* A branch of the tree: a button that opens and closes it, the link to its page and
       a list below. The button stands beside the link, not around it, so each is a
       control of its own for the keyboard and for screen readers. */
    function branch(className, link, onOpen) {
        var node = element("div", "branch " + className);
        var button = element("button", "twisty");
        var list = element("ul");
        button.type = "button";
        button.setAttribute("aria-expanded", "false");
        button.setAttribute("aria-label", link.textContent);
        list.hidden = true;
        node.open = function (open) {
            button.setAttribute("aria-expanded", open ? "true" : "false");
            list.hidden = !open;
            if (open && onOpen) onOpen(list);
        };
        button.addEventListener("click", function () {
            node.open(list.hidden);
        });
        node.appendChild(button);
        node.appendChild(link);
        node.appendChild(list);
        return node;
    }

    /* Fills a module's list with its pages and members, once. */
    function fillModule(list, group, module) {
        if (list.firstChild) return;
        modulePages(group, module).forEach(function (page, i) {
            var item = element("li", i < window.tarnwickNav.tabs.length ? "page" : "member");
            var a = pageLink(page[1], page[0]);
            if (page[2]) a.title = page[2];
            item.appendChild(a);
            list.appendChild(item);
        });
    }

    function markCurrent(container) {
        var current = null, links = container.getElementsByTagName("a");
        for (var i = 0; i < links.length; i++) {
            if (links[i].href === here()) {
                current = links[i];
                break;
            }
        }
        if (!current) return null;
        current.className += " current";
        current.setAttribute("aria-current", "page");
        return current;
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

    function renderTree(tree) {
        var nav = window.tarnwickNav, at = sitePath(), found = null;
        nav.groups.forEach(function (group) {
            var modules = group[3];
            var kind = branch("kind", pageLink(group[2], group[1]));
            kind.insertBefore(element("span", "count", String(modules.length)), kind.lastChild);
            var list = kind.lastChild;
            modules.forEach(function (module) {
                var item = element("li");
                var node = branch("module", pageLink(group[0] + "/" + module[1] + ".html", module[0]),
                                  function (pages) { fillModule(pages, group, module); });
                item.appendChild(node);
                list.appendChild(item);
                if (!found && at.indexOf(group[0] + "/" + module[1]) === 0 &&
                    modulePages(group, module).some(function (page) { return page[1] === at; })) {
                    found = node;
                    node.open(true);
                    kind.open(true);
                }
            });
            if (group[2] === at) kind.open(true);
            tree.appendChild(kind);
        });
        return found;
    }

    function renderFilterHits(hits, text) {
        var nav = window.tarnwickNav, wanted = text.toLowerCase(), count = 0;
        hits.textContent = "";
        nav.groups.forEach(function (group) {
            group[3].forEach(function (module) {
                if (count >= NAV_HITS) return;
                if (module[0].toLowerCase().indexOf(wanted) >= 0) {
                    var item = element("li");
                    item.appendChild(pageLink(group[0] + "/" + module[1] + ".html", module[0]));
                    hits.appendChild(item);
                    ++count;
                }
                module[2].forEach(function (member) {
                    if (count >= NAV_HITS || member[0].toLowerCase().indexOf(wanted) < 0) return;
                    var item = element("li");
                    item.appendChild(pageLink(group[0] + "/" + member[1] + ".html", member[0]));
                    item.appendChild(element("small", "", " " + module[0]));
                    hits.appendChild(item);
                    ++count;
                });
            });
        });
    }

    function setUpNavigation() {
        var nav = document.getElementById("nav");
        if (!nav || !window.tarnwickNav) return;
        var filter = element("input", "filter");
        filter.type = "search";
        filter.placeholder = window.tarnwickNav.filter;
        filter.setAttribute("aria-label", window.tarnwickNav.filter);
        var tree = element("div", "tree");
        var hits = element("ul", "hits");
        hits.hidden = true;
        nav.insertBefore(filter, nav.firstChild);
        nav.insertBefore(tree, filter.nextSibling);
        nav.insertBefore(hits, tree);
        renderTree(tree);
        var current = markCurrent(tree) || markCurrent(nav);
        if (current) {
            var top = current.getBoundingClientRect().top - nav.getBoundingClientRect().top;
            nav.scrollTop += top - nav.clientHeight / 3;
        }
        filter.addEventListener("input", function () {
            var text = filter.value.trim();
            tree.hidden = text !== "";
            hits.hidden = text === "";
            if (text) renderFilterHits(hits, text);
        });
    }

    /* ---- header search -------------------------------------------------- */

    var indexWanted = false, indexReady = [];

    function withIndex(then) {
        if (window.tarnwickIndex) return then();
        indexReady.push(then);
        if (indexWanted) return;
        indexWanted = true;
        var script = document.createElement("script");
        script.src = siteRoot() + "search-index.js";
        script.onload = function () {
            indexReady.forEach(function (f) { f(); });
            indexReady = [];
        };
        document.head.appendChild(script);
    }

    /* The first HITS rows whose name starts with text, then those holding it. */
    function findNames(text) {
        var rows = window.tarnwickIndex.rows, wanted = text.toLowerCase(), first = [], rest = [];
        for (var i = 0; i < rows.length && first.length < HITS; i++) {
            var at = rows[i][0].toLowerCase().indexOf(wanted);
            if (at === 0) first.push(rows[i]);
            else if (at > 0 && rest.length < HITS) rest.push(rows[i]);
        }
        return first.concat(rest).slice(0, HITS);
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
            if (!text || !window.tarnwickIndex) {
                list.hidden = true;
                return;
            }
            var index = window.tarnwickIndex;
            findNames(text).forEach(function (row) {
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

        box.addEventListener("focus", function () { withIndex(show); });
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
