#include "generator/settings/SettingsWords.h"

#include "support/Text.h"

namespace tarnwick {

std::vector<std::string> splitWords(const std::string& list) {
    std::vector<std::string> words;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        const std::string word(trimSpaces(std::string_view(list).substr(start, comma - start)));
        if (!word.empty()) words.push_back(toLower(word));
        start = comma + 1;
    }
    return words;
}

std::string applyWords(const std::string& list, const Word* begin, const Word* end,
                       GenerationSettings& settings) {
    for (const Word* entry = begin; entry != end; ++entry) settings.*entry->flag = false;
    for (const auto& word : splitWords(list)) {
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
    const std::string lower = toLower(trimSpaces(word));
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
