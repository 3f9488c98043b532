/* Tarnwick documentation: page behaviour.
 *
 * The object-model page draws each element kind as a branch row whose click
 * handler calls toggleById with the kind name; the members of that branch
 * sit in the next row, which carries that name as its id and starts hidden
 * (class "hidden"). Written for old and new browsers alike: no classList,
 * no arrow functions.
 */

function hasClass(element, name) {
    return (" " + element.className + " ").indexOf(" " + name + " ") >= 0;
}

function addClass(element, name) {
    if (!hasClass(element, name)) {
        element.className = element.className ? element.className + " " + name : name;
    }
}

function removeClass(element, name) {
    var text = (" " + element.className + " ").replace(" " + name + " ", " ");
    element.className = text.replace(/^\s+|\s+$/g, "");
}

/* The row before the member row is the branch row that was clicked. */
function branchRowOf(element) {
    var row = element.previousSibling;
    while (row && row.nodeType !== 1) {
        row = row.previousSibling;
    }
    return row;
}

/* Shows the element with this id when it is hidden, hides it otherwise.
 * Returns false so a link calling it does not navigate. */
function toggleById(id) {
    var element = document.getElementById(id);
    if (!element) {
        return false;
    }
    var branch = branchRowOf(element);
    if (hasClass(element, "hidden")) {
        removeClass(element, "hidden");
        if (branch) {
            addClass(branch, "open");
            branch.setAttribute("aria-expanded", "true");
        }
    } else {
        addClass(element, "hidden");
        if (branch) {
            removeClass(branch, "open");
            branch.setAttribute("aria-expanded", "false");
        }
    }
    return false;
}

/* Opens or closes every branch of the object model at once. */
function showAll(show) {
    var rows = document.getElementsByTagName("tr");
    for (var i = 0; i < rows.length; i++) {
        var row = rows[i];
        if (!row.id || !row.parentNode) {
            continue;
        }
        var branch = branchRowOf(row);
        if (!branch || !branch.getAttribute("onclick")) {
            continue;
        }
        if (show === hasClass(row, "hidden")) {
            toggleById(row.id);
        }
    }
    return false;
}

/* Branch rows can be reached with the Tab key and opened with Enter or Space. */
function makeBranchesKeyboardReady() {
    var rows = document.getElementsByTagName("tr");
    for (var i = 0; i < rows.length; i++) {
        var row = rows[i];
        var handler = row.getAttribute("onclick");
        if (!handler || handler.indexOf("toggleById") < 0) {
            continue;
        }
        row.setAttribute("tabindex", "0");
        row.setAttribute("role", "button");
        row.setAttribute("aria-expanded", "false");
        row.onkeydown = function (event) {
            event = event || window.event;
            var key = event.key || event.keyCode;
            if (key === "Enter" || key === " " || key === 13 || key === 32) {
                this.onclick();
                if (event.preventDefault) {
                    event.preventDefault();
                }
                return false;
            }
            return true;
        };
    }
}

/* A module's code page: line n of its listing answers to the address #Ln
 * ("..._Code.html#L120"), in a frame as on its own. The line
 * shown by the address is marked. Member pages number their excerpt from
 * 1 and keep no addresses. */
function addressCodeLines() {
    if (!document.querySelectorAll || !/_Code\.html$/.test(location.pathname)) {
        return;
    }
    var numbers = document.querySelectorAll("table.LineNumbers tr");
    var lines = document.querySelectorAll("table.CodeLines tr");
    // A listing whose lines carry their addresses already keeps them.
    var addressed = document.getElementById("L1") !== null;
    for (var i = 0; i < numbers.length && !addressed; i++) {
        numbers[i].id = "L" + (i + 1);
    }
    var marked = [];
    function mark() {
        for (var m = 0; m < marked.length; m++) {
            removeClass(marked[m], "marked");
        }
        marked = [];
        var line = /^#L(\d+)$/.exec(location.hash);
        var n = line ? parseInt(line[1], 10) : 0;
        if (n < 1 || n > numbers.length) {
            return;
        }
        marked = [numbers[n - 1]];
        if (lines[n - 1]) {
            marked.push(lines[n - 1]);
        }
        for (var k = 0; k < marked.length; k++) {
            addClass(marked[k], "marked");
        }
        numbers[n - 1].scrollIntoView({block: "center"});
    }
    mark();
    window.addEventListener("hashchange", mark, false);
}

if (window.addEventListener) {
    window.addEventListener("load", makeBranchesKeyboardReady, false);
    window.addEventListener("load", addressCodeLines, false);
} else if (window.attachEvent) {
    window.attachEvent("onload", makeBranchesKeyboardReady);
}
