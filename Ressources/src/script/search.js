/* Tarnwick documentation: the site search.
 *
 * search.html?q=TEXT lists the modules and members whose name or description
 * holds every word of TEXT, letter case ignored, names first; the list
 * follows the search box as the user types, without loading the page again.
 * Result links open in the window (or frame) of the search page. The index
 * is the global tarnwickIndex that search-index.js defines (a script, since
 * browsers fetch nothing from a file:// site); its rows are [name, kind
 * number, module row or -1, page, summary], and a sixth element holds the
 * description's other words where it has any.
 * Written for old and new browsers alike: no arrow functions, no classList.
 */

var tarnwickLowered = null;
var TARNWICK_SHOWN = 500;

/* texts joined into one lower-case text, each after a \u0001, and where each
 * starts. A query scans it with indexOf (one fast native call) instead of
 * looking at every row. */
function tarnwickJoinLowered(texts) {
    var starts = new Array(texts.length + 1);
    var at = 0;
    for (var k = 0; k < texts.length; k++) {
        starts[k] = at;
        at += texts[k].length + 1;
    }
    starts[texts.length] = at;
    var all = ("\u0001" + texts.join("\u0001")).toLowerCase();
    if (all.length !== at) {
        // A letter whose lower case is longer: lower every text on its own.
        var lowered = new Array(texts.length);
        for (var r = 0; r < texts.length; r++) {
            lowered[r] = texts[r].toLowerCase();
        }
        return tarnwickJoinLowered(lowered);
    }
    return {all: all, starts: starts};
}

/* Made once per page: the rows' names, and their "name summary words". The
 * rows come sorted by name from the generator, so the matches come out in
 * name order and need no sort. */
function tarnwickPrepare() {
    if (tarnwickLowered) {
        return tarnwickLowered;
    }
    var rows = tarnwickIndex.rows;
    var names = new Array(rows.length);
    var texts = new Array(rows.length);
    for (var k = 0; k < rows.length; k++) {
        names[k] = rows[k][0];
        texts[k] = rows[k][0] + " " + rows[k][4] + (rows[k][5] ? " " + rows[k][5] : "");
    }
    tarnwickLowered = {names: tarnwickJoinLowered(names), texts: tarnwickJoinLowered(texts)};
    return tarnwickLowered;
}

function tarnwickWords(query) {
    var parts = query.toLowerCase().split(/\s+/);
    var words = [];
    for (var i = 0; i < parts.length; i++) {
        if (parts[i]) {
            words.push(parts[i]);
        }
    }
    return words;
}

function tarnwickHoldsAll(text, words) {
    for (var w = 0; w < words.length; w++) {
        if (text.indexOf(words[w]) < 0) {
            return false;
        }
    }
    return true;
}

/* Calls take(row, text) for the rows of joined (tarnwickJoinLowered) whose
 * text holds needle, in order, until take returns false. */
function tarnwickScan(joined, needle, take) {
    var starts = joined.starts;
    var count = starts.length - 1;
    var k = 0;
    var from = 0;
    while (k < count) {
        var hit = joined.all.indexOf(needle, from);
        if (hit < 0) {
            return;
        }
        // The row whose text holds the hit: the last whose \u0001 is not after it.
        while (starts[k + 1] <= hit) {
            k++;
        }
        if (take(k, joined.all.substring(starts[k] + 1, starts[k + 1])) === false) {
            return;
        }
        from = starts[k + 1];
        k++;
    }
}

/* The row numbers that match the query, best first: the exact name, names
 * that start with the first word, names holding every word, then rows whose
 * summary holds the rest; by name within each group. With limit, the first
 * limit of them, found without looking further than they need. */
function tarnwickFind(query, limit) {
    var words = tarnwickWords(query);
    if (!words.length || typeof tarnwickIndex === "undefined") {
        return [];
    }
    var wanted = limit || Infinity;
    var lowered = tarnwickPrepare();
    var whole = words.join(" ");
    var longest = words[0];
    for (var w = 1; w < words.length; w++) {
        if (words[w].length > longest.length) {
            longest = words[w];
        }
    }
    var exact = [];
    var starting = [];
    var holding = [];
    var described = [];
    // Names that start with the first word: the rows after a \u0001 and it.
    tarnwickScan(lowered.names, "\u0001" + words[0], function (k, name) {
        if (name === whole) {
            exact.push(k);
        } else if (tarnwickHoldsAll(name, words)) {
            starting.push(k);
        }
    });
    var found = exact.concat(starting);
    tarnwickScan(lowered.names, longest, function (k, name) {
        if (holding.length + found.length >= wanted) {
            return false;
        }
        if (name.indexOf(words[0]) !== 0 && tarnwickHoldsAll(name, words)) {
            holding.push(k);
        }
    });
    found = found.concat(holding);
    var names = lowered.names;
    tarnwickScan(lowered.texts, longest, function (k, text) {
        if (described.length + found.length >= wanted) {
            return false;
        }
        var name = names.all.substring(names.starts[k] + 1, names.starts[k + 1]);
        if (!tarnwickHoldsAll(name, words) && tarnwickHoldsAll(text, words)) {
            described.push(k);
        }
    });
    found = found.concat(described);
    return limit ? found.slice(0, limit) : found;
}

/* The q parameter of the page's address ("+" is a blank). */
function tarnwickQuery() {
    var match = /[?&]q=([^&#]*)/.exec(window.location.search || "");
    if (!match) {
        return "";
    }
    var raw = match[1].replace(/\+/g, " ");
    try {
        return decodeURIComponent(raw);
    } catch (e) {
        return unescape(raw);
    }
}

function tarnwickCell(row, text, link) {
    var cell = document.createElement("TD");
    if (link) {
        var a = document.createElement("A");
        a.setAttribute("href", link);
        a.appendChild(document.createTextNode(text));
        cell.appendChild(a);
    } else {
        cell.appendChild(document.createTextNode(text));
    }
    row.appendChild(cell);
}

function tarnwickHeader(table, captions) {
    var row = document.createElement("TR");
    for (var i = 0; i < captions.length; i++) {
        var th = document.createElement("TH");
        th.appendChild(document.createTextNode(captions[i]));
        row.appendChild(th);
    }
    table.appendChild(row);
}

/* Fills search.html: texts holds the page's sentences in its language
 * (none, one, found, limited with %1 and %2; and the four column captions).
 * The list follows the search box as the user types; the form is not sent. */
function tarnwickShowSearch(texts) {
    var query = tarnwickQuery();
    var input = document.getElementById("searchQuery");
    var hint = document.getElementById("searchSummary");
    var hintText = hint ? hint.innerText || hint.textContent : "";
    if (input) {
        input.value = query;
        var update = function () {
            tarnwickList(texts, input.value, hintText);
            if (window.history && window.history.replaceState) {
                try {
                    window.history.replaceState(null, "", "?q=" + encodeURIComponent(input.value));
                } catch (e) {
                    // file:// pages may refuse; the list is shown all the same
                }
            }
        };
        input.oninput = update;
        if (input.form) {
            input.form.onsubmit = function () {
                update();
                return false;
            };
        }
    }
    tarnwickList(texts, query, hintText);
}

/* Shows the rows that match query in search.html (hint when it is empty). */
function tarnwickList(texts, query, hint) {
    var summary = document.getElementById("searchSummary");
    var table = document.getElementById("searchResults");
    while (table.firstChild) {
        table.removeChild(table.firstChild);
    }
    summary.innerHTML = "";
    if (!tarnwickWords(query).length) {
        summary.appendChild(document.createTextNode(hint));
        return;
    }
    var found = tarnwickFind(query);
    var message;
    if (!found.length) {
        // A function, not the query itself, as the replacement: "$&" or
        // "$'" in a query would otherwise stand for parts of the sentence.
        message = texts.none.replace("%1", function () {
            return query;
        });
    } else if (found.length > TARNWICK_SHOWN) {
        message = texts.limited.replace("%1", TARNWICK_SHOWN).replace("%2", found.length);
    } else if (found.length === 1 && texts.one) {
        message = texts.one.replace("%1", found.length);
    } else {
        message = texts.found.replace("%1", found.length);
    }
    summary.appendChild(document.createTextNode(message));
    if (!found.length) {
        return;
    }
    var body = document.createElement("TBODY");
    // A group's index names each page's project by its folder.
    var projects = tarnwickIndex.projects;
    var captions = [texts.name, texts.kind, texts.module, texts.description];
    if (projects) {
        captions.push(texts.project || "Project");
    }
    tarnwickHeader(body, captions);
    var rows = tarnwickIndex.rows;
    for (var i = 0; i < found.length && i < TARNWICK_SHOWN; i++) {
        var entry = rows[found[i]];
        var row = document.createElement("TR");
        row.className = "searchResult";
        tarnwickCell(row, entry[0], entry[3]);
        tarnwickCell(row, tarnwickIndex.kinds[entry[1]]);
        if (entry[2] >= 0) {
            tarnwickCell(row, rows[entry[2]][0], rows[entry[2]][3]);
        } else {
            tarnwickCell(row, "");
        }
        tarnwickCell(row, entry[4]);
        if (projects) {
            tarnwickCell(row, projects[entry[3].split("/")[0]] || "");
        }
        body.appendChild(row);
    }
    table.appendChild(body);
}
