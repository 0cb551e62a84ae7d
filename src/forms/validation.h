// The Validate event: a control that implements Validating is asked before the focus leaves
// it for another control of its form (by a click, Tab, an access key or a focus move from
// code). Its handler runs nested in that move and may set Cancel to keep the focus where
// it is; a press that would have moved the focus is then dropped.
#pragma once

namespace forms {

class Validating {
public:
    // Whether a Validate handler is set (without one the focus leaves freely).
    virtual bool HasValidateHandler() const = 0;
    // Runs the handler; a nonzero Cancel keeps the focus in this control.
    virtual void RunValidate(int& Cancel) = 0;

protected:
    ~Validating() = default;
};

}  // namespace forms
