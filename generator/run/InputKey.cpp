#include "generator/run/InputKey.h"

#include "generator/settings/SettingsFields.h"
#include "support/File.h"
#include "support/Hash.h"

namespace tarnwick {

namespace {

// Stands for the bytes of a missing file.
constexpr uint64_t kMissing = 0x6D697373696E6721ull;

}  // namespace

bool InputKey::stampsUnchanged(const std::map<std::string, InputRecord>& recorded) {
    if (recorded.empty()) return false;
    for (const auto& [path, record] : recorded) {
        if (!(stampOf(path) == record.stamp)) return false;
    }
    return true;
}

uint64_t InputKey::add(const std::string& path) {
    if (const auto known = m_after.find(path); known != m_after.end()) return known->second.hash;
    InputRecord record;
    record.stamp = stampOf(path);
    const auto before = m_before.find(path);
    const InputRecord* shared = nullptr;  // as another run of the group hashed it
    if (m_group)
        if (const auto found = m_group->byPath.find(path); found != m_group->byPath.end())
            shared = &found->second;
    if (before != m_before.end() && before->second.stamp == record.stamp) {
        record.hash = before->second.hash;
    } else if (shared && shared->stamp == record.stamp) {
        record.hash = shared->hash;
    } else if (!record.stamp.present()) {
        record.hash = File(path).IsPresent() ? 0 : kMissing;
    } else {
        auto bytes = File(path).ReadBytes(kModuleReadLimit);
        record.hash = bytes ? hashBytes(bytes.value(), kMissing) | 1 : 0;
    }
    // One that cannot be read is recorded too: when its stat changes (a FIFO
    // becomes a file) the next run reads the project again.
    m_after[path] = record;
    if (m_group) m_group->byPath[path] = record;
    return record.hash;
}

uint64_t InputKey::settingsKey(const GenerationRequest& request, const PageContext& ctx,
                               uint64_t given) {
    const GenerationSettings& s = request.settings;
    // Every field of the table, so a re-run never keeps pages made with
    // another value of any of them.
    std::string text;
    for (const SettingsField& field : kSettingsFields) text += s.*field.flag ? '1' : '0';
    text += layoutWord(s.layout);
    for (const std::string& part : {request.language, request.codePage, ctx.codePage.name(),
                                    ctx.productName, ctx.version, ctx.homepage, ctx.copyright})
        text += '\n' + part;
    text += request.crossReferences ? "\nreferences" : "\nno references";
    text += "\ndefines";
    for (const std::string& define : request.defines) text += '\n' + define;
    return hashBytes(text, given) | 1;
}

}  // namespace tarnwick
