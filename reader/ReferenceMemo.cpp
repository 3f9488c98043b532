#include "reader/ReferenceMemo.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "model/FormDesign.h"
#include "support/Hash.h"

namespace tarnwick {

namespace {

constexpr std::string_view kHeader = "tarnwick references 1\n";
constexpr size_t kNumbers = 6;  // per reference and per use
constexpr size_t kRecordBytes = kNumbers * 4;

void put32(std::string& out, int32_t value) {
    char bytes[4];
    std::memcpy(bytes, &value, 4);
    out.append(bytes, 4);
}

void put64(std::string& out, uint64_t value) {
    char bytes[8];
    std::memcpy(bytes, &value, 8);
    out.append(bytes, 8);
}

// Reads the numbers of a memo one after the other; ok() false once one is missing.
class Reader {
public:
    explicit Reader(std::string_view text) : m_rest(text) {}
    uint64_t u64() { return take<uint64_t>(); }
    uint32_t u32() { return take<uint32_t>(); }
    std::string_view bytes(size_t count) {
        if (count > m_rest.size()) {
            m_ok = false;
            return {};
        }
        const std::string_view out = m_rest.substr(0, count);
        m_rest.remove_prefix(count);
        return out;
    }
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_rest.empty(); }

private:
    template <typename T>
    T take() {
        T value = 0;
        const std::string_view b = bytes(sizeof(T));
        if (m_ok) std::memcpy(&value, b.data(), sizeof(T));
        return value;
    }
    std::string_view m_rest;
    bool m_ok = true;
};

int32_t number(std::string_view records, size_t record, size_t field) {
    int32_t value = 0;
    std::memcpy(&value, records.data() + record * kRecordBytes + field * 4, 4);
    return value;
}

void addControls(const DesignControl& parent, std::vector<const DesignControl*>& out) {
    for (const DesignControl& child : parent.children) {
        out.push_back(&child);
        addControls(child, out);
    }
}

uint64_t hashText(std::string_view text, uint64_t key) {
    return hashBytes("\n", hashBytes(text, key));
}

uint64_t hashNumber(int64_t value, uint64_t key) {
    return hashBytes(std::string_view(reinterpret_cast<const char*>(&value), sizeof value), key);
}

// What other modules' code is resolved against in module m.
uint64_t declarationsKey(const CModule& m, const std::vector<const DesignControl*>& controls,
                         uint64_t key) {
    key = hashText(m.Name(), hashNumber(m.ModuleType(), key));
    key = hashText(m.Path(), key);
    if (const auto& attributes = m.Attributes()) {
        for (const std::string& name : attributes->Keys(true))
            key = hashText(attributes->item(name), hashText(name, key));
    }
    if (m.Design()) key = hashText(m.Design()->form.className, key);
    for (const DesignControl* c : controls) {
        key = hashText(c->library, hashText(c->className, hashText(c->name, key)));
        key = hashNumber(c->index().value_or(-1), key);
    }
    // In CModule::anyMember's order: a reference's member is its position there.
    m.anyMember([&](const Element& e) {
        key = hashNumber(static_cast<int64_t>(e.Kind()) * 16 + e.scope(), key);
        key = hashText(e.DataType(), hashText(e.Syntax(), hashText(e.Name(), key)));
        const bool hasFields = e.Kind() == ElementKind::Enum || e.Kind() == ElementKind::Type;
        if (const auto fields = hasFields ? e.Variables() : nullptr) {
            for (const auto& field : fields->elements())
                key = hashText(field->Source(),
                               hashText(field->DataType(), hashText(field->Name(), key)));
        }
        key = hashBytes("\f", key);
        return false;
    });
    return key;
}

}  // namespace

ReferenceMemo::ReferenceMemo(uint64_t given, std::function<uint64_t(const CModule&)> fileKey)
    : m_given(given), m_fileKey(std::move(fileKey)) {}

void ReferenceMemo::load(std::string_view recorded) {
    m_recorded.clear();
    // The last 8 bytes are the hash of the rest: a memo cut off or damaged is none.
    if (!recorded.starts_with(kHeader) || recorded.size() < kHeader.size() + 8) return;
    const std::string_view body = recorded.substr(0, recorded.size() - 8);
    uint64_t check = 0;
    std::memcpy(&check, recorded.data() + body.size(), 8);
    if (hashBytes(body) != check) return;
    m_text.assign(body.substr(kHeader.size()));
    Reader r(m_text);
    if (r.u64() != m_given) return;
    m_recordedDeclarations = r.u64();
    const uint32_t modules = r.u32();
    std::vector<Recorded> recordedModules;
    for (uint32_t i = 0; i < modules && r.ok(); ++i) {
        Recorded module;
        module.file = r.u64();
        module.lineCut = r.u32() != 0;
        const uint32_t references = r.u32();
        const uint32_t uses = r.u32();
        module.references = r.bytes(static_cast<size_t>(references) * kRecordBytes);
        module.uses = r.bytes(static_cast<size_t>(uses) * kRecordBytes);
        recordedModules.push_back(module);
    }
    if (r.ok() && r.atEnd()) m_recorded = std::move(recordedModules);
}

void ReferenceMemo::start(const std::vector<const CModule*>& modules) {
    m_modules = modules;
    m_files.assign(modules.size(), 0);
    m_elements.assign(modules.size(), {});
    m_controls.assign(modules.size(), {});
    m_kept.assign(modules.size(), {});
    uint64_t key = m_given;
    for (size_t i = 0; i < modules.size(); ++i) {
        const CModule& m = *modules[i];
        m_moduleIds.emplace(&m, static_cast<int32_t>(i));
        m.anyMember([&](const Element& e) {
            m_elementIds.emplace(&e, static_cast<int32_t>(m_elements[i].size()));
            m_elements[i].push_back(&e);
            return false;
        });
        if (m.Design()) addControls(m.Design()->form, m_controls[i]);
        for (size_t c = 0; c < m_controls[i].size(); ++c)
            m_controlIds.emplace(m_controls[i][c], static_cast<int32_t>(c));
        key = declarationsKey(m, m_controls[i], key);
        m_files[i] = m_fileKey ? m_fileKey(m) : 0;
    }
    m_declarations = key | 1;
}

namespace {

// Where each line of source starts, and one past its end after the last.
std::vector<size_t> lineStarts(const std::string& source) {
    std::vector<size_t> starts{0};
    for (size_t at = source.find('\n'); at != std::string::npos; at = source.find('\n', at + 1))
        starts.push_back(at + 1);
    starts.push_back(source.size() + 1);
    return starts;
}

}  // namespace

const Element* ReferenceMemo::elementAt(size_t module, int32_t id) const {
    return id >= 0 && static_cast<size_t>(id) < m_elements[module].size()
               ? m_elements[module][static_cast<size_t>(id)]
               : nullptr;
}

bool ReferenceMemo::place(size_t i, std::string_view records, size_t r,
                          const std::vector<size_t>& starts, Place& out) const {
    const auto n = [&](size_t field) { return number(records, r, field); };
    const int32_t toModule = n(1), line = n(3), column = n(4), length = n(5);
    if (toModule < 0 || static_cast<size_t>(toModule) >= m_modules.size()) return false;
    out = {elementAt(i, n(0)), static_cast<size_t>(toModule), n(2), line, column, length};
    if (out.from == nullptr && n(0) != -1) return false;
    // The name lies inside its line of the module's code.
    if (line < 1 || static_cast<size_t>(line) >= starts.size() || column < 0 || length < 0)
        return false;
    const size_t width = starts[static_cast<size_t>(line)] - starts[line - 1] - 1;
    return static_cast<size_t>(column) + static_cast<size_t>(length) <= width;
}

bool ReferenceMemo::recall(size_t i, std::vector<Reference>& references,
                           std::vector<DesignUse>& uses, bool& lineCut) const {
    if (m_recorded.size() != m_modules.size() || m_recordedDeclarations != m_declarations ||
        i >= m_modules.size() || m_files[i] == 0 || m_recorded[i].file != m_files[i])
        return false;
    const Recorded& recorded = m_recorded[i];
    const CModule& module = *m_modules[i];
    const std::vector<size_t> starts = lineStarts(module.Source());
    Place p;
    std::vector<Reference> outReferences(recorded.references.size() / kRecordBytes);
    for (size_t r = 0; r < outReferences.size(); ++r) {
        if (!place(i, recorded.references, r, starts, p)) return false;
        const Element* to = elementAt(p.toModule, p.target);
        if (to == nullptr) return false;
        outReferences[r] = {&module, p.from, m_modules[p.toModule], to, p.line, p.column, p.length};
    }
    std::vector<DesignUse> outUses(recorded.uses.size() / kRecordBytes);
    for (size_t u = 0; u < outUses.size(); ++u) {
        if (!place(i, recorded.uses, u, starts, p)) return false;
        const auto& controls = m_controls[p.toModule];
        if (p.target < -1 || (p.target >= 0 && static_cast<size_t>(p.target) >= controls.size()))
            return false;
        outUses[u] = {&module,
                      p.from,
                      m_modules[p.toModule],
                      p.target < 0 ? nullptr : controls[static_cast<size_t>(p.target)],
                      p.line,
                      p.column,
                      p.length};
    }
    references = std::move(outReferences);
    uses = std::move(outUses);
    lineCut = recorded.lineCut;
    return true;
}

int32_t ReferenceMemo::elementId(const Element* e) const {
    if (e == nullptr) return -1;
    const auto found = m_elementIds.find(e);
    return found == m_elementIds.end() ? -2 : found->second;
}

int32_t ReferenceMemo::moduleId(const CModule* m) const {
    const auto found = m_moduleIds.find(m);
    return found == m_moduleIds.end() ? -2 : found->second;
}

int32_t ReferenceMemo::controlId(const DesignControl* c) const {
    if (c == nullptr) return -1;
    const auto found = m_controlIds.find(c);
    return found == m_controlIds.end() ? -2 : found->second;
}

void ReferenceMemo::keep(size_t i, std::span<const Reference> references,
                         std::span<const DesignUse> uses, bool lineCut) {
    if (i >= m_kept.size()) return;
    std::string& out = m_kept[i];
    out.clear();
    put64(out, m_files[i]);
    put32(out, lineCut ? 1 : 0);
    put32(out, static_cast<int32_t>(references.size()));
    put32(out, static_cast<int32_t>(uses.size()));
    for (const Reference& r : references) {
        const int32_t ids[3] = {elementId(r.from), moduleId(r.toModule), elementId(r.to)};
        // A member outside the lists (none is known) cannot be recorded: the
        // module is left for the next run to resolve.
        if (ids[0] == -2 || ids[1] < 0 || ids[2] < 0) {
            out.clear();
            return;
        }
        for (const int32_t n : {ids[0], ids[1], ids[2], r.line, r.column, r.length}) put32(out, n);
    }
    for (const DesignUse& u : uses) {
        const int32_t ids[3] = {elementId(u.from), moduleId(u.toModule), controlId(u.control)};
        if (ids[0] == -2 || ids[1] < 0 || ids[2] == -2) {
            out.clear();
            return;
        }
        for (const int32_t n : {ids[0], ids[1], ids[2], u.line, u.column, u.length}) put32(out, n);
    }
}

std::string ReferenceMemo::render() const {
    std::string out(kHeader);
    put64(out, m_given);
    put64(out, m_declarations);
    put32(out, static_cast<int32_t>(m_kept.size()));
    for (const std::string& kept : m_kept) {
        if (!kept.empty()) {
            out += kept;
            continue;
        }
        // Not kept: a file key no module has, nothing recalled.
        put64(out, 0);
        for (int n = 0; n < 3; ++n) put32(out, 0);
    }
    put64(out, hashBytes(out));
    return out;
}

}  // namespace tarnwick
