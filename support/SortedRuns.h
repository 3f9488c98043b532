// A stable sort for lists that arrive as a few sorted runs. A group's index
// pages read each project's rows back in their order: merging those runs
// costs a pass, where sorting the whole list compares each row a dozen
// times.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

namespace tarnwick {

// Sorts [first, last) by less as std::stable_sort does: equal elements keep
// their order. A range of at most maxRuns ascending runs is merged run by
// run; any other range is left to std::stable_sort once the runs outnumber
// maxRuns.
template <class It, class Less>
void stableSortRuns(It first, It last, Less less, std::size_t maxRuns = 8) {
    std::vector<It> bounds{first};  // where each run starts, then last
    for (It it = first; it != last;) {
        const It next = std::next(it);
        if (next == last) break;
        if (less(*next, *it)) {
            if (bounds.size() == maxRuns) {
                std::stable_sort(first, last, less);
                return;
            }
            bounds.push_back(next);
        }
        it = next;
    }
    bounds.push_back(last);
    // Neighbours merge in pairs, so the earlier run's elements stay first
    // among equals.
    while (bounds.size() > 2) {
        std::vector<It> merged{bounds.front()};
        std::size_t i = 0;
        for (; i + 2 < bounds.size(); i += 2) {
            std::inplace_merge(bounds[i], bounds[i + 1], bounds[i + 2], less);
            merged.push_back(bounds[i + 2]);
        }
        if (i + 1 < bounds.size()) merged.push_back(bounds[i + 1]);  // an odd run waits
        bounds = std::move(merged);
    }
}

}  // namespace tarnwick
