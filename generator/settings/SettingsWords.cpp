#include "generator/settings/SettingsWords.h"

#include "support/Text.h"

namespace tarnwick {

std::string applyWords(const std::string& list, const Word* begin, const Word* end,
                       GenerationSettings& settings) {
    for (const Word* entry = begin; entry != end; ++entry) settings.*entry->flag = false;
    for (const std::string& item : splitList(list)) {
        const std::string word = toLower(item);
        bool known = false;
        for (const Word* entry = begin; entry != end; ++entry) {
            if (word == entry->word) {
                settings.*entry->flag = true;
                known = true;
            }
        }
        if (!known) return word;
    }
    return {};
}

std::optional<PageLayout> layoutOfWord(std::string_view word) {
    const std::string lower = toLower(trimBlanks(word));
    for (const PageLayout layout : {PageLayout::Frames, PageLayout::Modern})
        if (lower == layoutWord(layout)) return layout;
    return std::nullopt;
}

std::string wordList(const Word* begin, const Word* end) {
    std::string text;
    for (const Word* w = begin; w != end; ++w)
        text += std::string(text.empty() ? "" : ", ") + w->word;
    return text;
}

std::string wordsOn(const Word* begin, const Word* end, const GenerationSettings& settings) {
    std::string text;
    for (const Word* w = begin; w != end; ++w)
        if (settings.*w->flag) text += std::string(text.empty() ? "" : ",") + w->word;
    return text;
}

}  // namespace tarnwick
