#include "generator/settings/SettingsFields.h"

#include <array>

#include "model/CHelper.h"
#include "support/Text.h"

namespace tarnwick {

GenerationSettings GenerationSettings::dialogDefaults() {
    GenerationSettings settings;
    for (const SettingsField& field : kSettingsFields) settings.*field.flag = field.byDefault;
    return settings;
}

std::optional<PageLayout> layoutOfWord(std::string_view word) {
    const std::string lower = toLower(trimBlanks(word));
    for (const PageLayout layout : {PageLayout::Frames, PageLayout::Modern})
        if (lower == layoutWord(layout)) return layout;
    return std::nullopt;
}

std::string applyWords(const std::string& text, FieldList list, GenerationSettings& settings) {
    for (const SettingsField& field : kSettingsFields)
        if (field.list == list) settings.*field.flag = false;
    for (const std::string& item : splitList(text)) {
        const std::string word = toLower(item);
        bool known = false;
        for (const SettingsField& field : kSettingsFields) {
            if (field.list == list && word == field.word) {
                settings.*field.flag = true;
                known = true;
            }
        }
        if (!known) return word;
    }
    return {};
}

std::string wordList(FieldList list) {
    std::string text;
    for (const SettingsField& field : kSettingsFields)
        if (field.list == list) text += std::string(text.empty() ? "" : ", ") + field.word;
    return text;
}

std::string wordsOn(FieldList list, const GenerationSettings& settings) {
    std::string text;
    for (const SettingsField& field : kSettingsFields)
        if (field.list == list && settings.*field.flag)
            text += std::string(text.empty() ? "" : ",") + field.word;
    return text;
}

namespace {

// The field of list whose word is the list name given; null when none is.
bool GenerationSettings::*fieldOfListName(FieldList list, std::string_view kindListName) {
    const std::string word = toLower(kindListName);
    for (const SettingsField& field : kSettingsFields)
        if (field.list == list && !word.empty() && word == field.word) return field.flag;
    return nullptr;
}

}  // namespace

bool GenerationSettings::*switchOf(ModuleKind kind) {
    static const auto flags = [] {
        std::array<bool GenerationSettings::*, kModuleKindCount> found{};
        for (int k = 0; k < kModuleKindCount; ++k)
            found[k] =
                fieldOfListName(FieldList::Kinds, kindTraits(static_cast<ModuleKind>(k)).listName);
        return found;
    }();
    return flags[static_cast<size_t>(kind)];
}

bool GenerationSettings::*switchOf(ElementKind kind) {
    static const auto flags = [] {
        std::array<bool GenerationSettings::*, kElementKindCount> found{};
        for (const ElementKind k : kVocabularyOrder)
            found[static_cast<size_t>(k)] =
                fieldOfListName(FieldList::Members, kindTraits(k).listName);
        return found;
    }();
    return flags[static_cast<size_t>(kind)];
}

}  // namespace tarnwick
