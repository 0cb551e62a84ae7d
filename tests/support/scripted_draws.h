// Feeds the framework's random source exactly the given draws, in order. A draw past the
// end fails the case when strict, and otherwise gives 0.25 for ever.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <deque>

#include "forms/random.h"

namespace tavro_test {

class ScriptedDraws {
public:
    explicit ScriptedDraws(std::deque<float> draws, bool strict = true)
        : draws_(std::move(draws)), strict_(strict) {
        forms::SetRandomSource([this] {
            if (draws_.empty()) {
                if (strict_) ADD_FAILURE() << "unexpected random draw";
                return 0.25f;
            }
            const float u = draws_.front();
            draws_.pop_front();
            return u;
        });
    }
    ~ScriptedDraws() { forms::SetRandomSource(nullptr); }
    ScriptedDraws(const ScriptedDraws&) = delete;
    ScriptedDraws& operator=(const ScriptedDraws&) = delete;
    std::size_t left() const { return draws_.size(); }

private:
    std::deque<float> draws_;
    bool strict_;
};

}  // namespace tavro_test
