// Feeds the framework's random source exactly the draws a case scripts, in order, and
// counts them. Past the end of the script it gives 0.5 and notes the overrun, so a case
// can tell a tick that drew more than it should; a strict script also fails the case there.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <deque>
#include <initializer_list>

#include "runtime/random.h"

namespace tavro_test {

class ScriptedDraws {
public:
    // Not installed until the first Script; overruns are only noted.
    ScriptedDraws() = default;
    // Installed at once with these draws.
    explicit ScriptedDraws(std::deque<float> draws, bool strict = true) : strict_(strict) {
        Install(std::move(draws));
    }
    ~ScriptedDraws() { runtime::SetRandomSource({}); }
    ScriptedDraws(const ScriptedDraws&) = delete;
    ScriptedDraws& operator=(const ScriptedDraws&) = delete;

    // Replaces what is left of the script, installs this source (again: a fixture's set-up
    // may have put the generator back) and starts counting afresh.
    void Script(std::initializer_list<float> draws) { Install(std::deque<float>(draws)); }

    int used() const { return used_; }
    bool overrun() const { return overrun_; }
    std::size_t left() const { return script_.size(); }

private:
    void Install(std::deque<float> draws) {
        script_ = std::move(draws);
        used_ = 0;
        overrun_ = false;
        runtime::SetRandomSource([this] {
            ++used_;
            if (script_.empty()) {
                if (strict_) ADD_FAILURE() << "unexpected random draw";
                overrun_ = true;
                return 0.5f;
            }
            const float u = script_.front();
            script_.pop_front();
            return u;
        });
    }

    std::deque<float> script_;
    bool strict_ = false;
    int used_ = 0;
    bool overrun_ = false;
};

// The largest float below 1: the top of the random source's range.
inline constexpr float kTopDraw = 0.99999994f;

}  // namespace tavro_test
