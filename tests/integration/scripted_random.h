// A random source for event tests: hands out the values a case scripts, in order, and
// counts the draws. Past the end of the script it gives 0.5 and notes the overrun, so a
// case can tell a tick that drew more than it should.
#pragma once

#include <cstddef>
#include <deque>
#include <initializer_list>

#include "forms/random.h"

namespace tavro_test {

class ScriptedRandom {
public:
    ScriptedRandom() = default;
    ~ScriptedRandom() { forms::SetRandomSource({}); }
    ScriptedRandom(const ScriptedRandom&) = delete;
    ScriptedRandom& operator=(const ScriptedRandom&) = delete;

    // Replaces what is left of the script, installs this source (again: a fixture's set-up
    // may have put the generator back) and starts counting afresh.
    void Script(std::initializer_list<float> draws) {
        script_.assign(draws.begin(), draws.end());
        used_ = 0;
        overrun_ = false;
        forms::SetRandomSource([this] {
            ++used_;
            if (script_.empty()) {
                overrun_ = true;
                return 0.5f;
            }
            const float u = script_.front();
            script_.pop_front();
            return u;
        });
    }
    int used() const { return used_; }
    bool overrun() const { return overrun_; }
    std::size_t left() const { return script_.size(); }

private:
    std::deque<float> script_;
    int used_ = 0;
    bool overrun_ = false;
};

// The largest float below 1: the top of the random source's range.
inline constexpr float kTopDraw = 0.99999994f;

}  // namespace tavro_test
