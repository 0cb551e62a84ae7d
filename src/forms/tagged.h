// Any control with a Tag: a free text property that the form's definition sets and code
// reads (it has no effect on the control). Like every property it goes back to empty when
// the form unloads.
#pragma once

#include <string>
#include <utility>

#include "forms/control.h"

namespace forms {

template <class Base>
class Tagged : public Base {
public:
    using Base::Base;

    const std::string& Tag() {
        this->Touch();
        return tag_;
    }
    void SetTag(std::string tag) {
        this->Touch();
        tag_ = std::move(tag);
    }
    void Destroy() override {
        tag_.clear();
        Base::Destroy();
    }

private:
    std::string tag_;
};

}  // namespace forms
