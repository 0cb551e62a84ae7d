// With password protection on, the real saver asks for the password: a wrong one keeps it
// running, the right one ends it. Other programs cannot get past the lock: a grab they hold
// at the start is taken from them once they let go, a close request opens the prompt, and
// a window they unmap, reparent, move or resize comes straight back.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstdlib>
#include <ostream>
#include <string>

#include "os/password_store.h"
#include "support/x/on_x.h"

namespace {

using e2e::SaverProcess;
using e2e::SleepMs;
using e2e::WaitUntil;

class PasswordOnX : public e2e::OnX {
protected:
    void SetUp() override {
        OnX::SetUp();
        if (IsSkipped()) return;
        // The saver started below uses this hive.
        tavro_test::ScopedEnv hive("TAVRO_HIVE", dir_ / "hive.txt");
        ASSERT_TRUE(os::SetSaverPassword("kestrel"));
        ASSERT_TRUE(os::SetPasswordRequired(true));
    }

    Display* d() { return x_.display(); }
    Window root() { return DefaultRootWindow(x_.display()); }

    // True when another program (the saver) holds both the keyboard and the pointer: this
    // test's own grabs are refused. A grab that this test gets is let go at once.
    bool OtherHoldsInput() {
        const bool keyboard = XGrabKeyboard(d(), root(), False, GrabModeAsync, GrabModeAsync,
                                            CurrentTime) != GrabSuccess;
        if (!keyboard) XUngrabKeyboard(d(), CurrentTime);
        const bool pointer = XGrabPointer(d(), root(), False, 0, GrabModeAsync, GrabModeAsync,
                                          None, None, CurrentTime) != GrabSuccess;
        if (!pointer) XUngrabPointer(d(), CurrentTime);
        XSync(d(), False);
        return keyboard && pointer;
    }

    bool Viewable(Window w) {
        XWindowAttributes a;
        return XGetWindowAttributes(d(), w, &a) && a.map_state == IsViewable;
    }

    // Where a window stands: its parent, its place in that parent and its size, whether it
    // is viewable, and its index among the root's children (bottom first; -1 for none).
    struct Standing {
        Window parent = 0;
        int x = 0, y = 0, width = 0, height = 0;
        bool viewable = false;
        int stacked = -1;
    };
    Standing StandingOf(Window w) {
        Standing s;
        XWindowAttributes a;
        Window root_ret = 0, *children = nullptr;
        unsigned n = 0;
        if (!XGetWindowAttributes(d(), w, &a) ||
            !XQueryTree(d(), w, &root_ret, &s.parent, &children, &n))
            return s;
        if (children) XFree(children);
        s = {s.parent, a.x, a.y, a.width, a.height, a.map_state == IsViewable, -1};
        if (XQueryTree(d(), root(), &root_ret, &root_ret, &children, &n)) {
            for (unsigned i = 0; i < n; ++i)
                if (children[i] == w) s.stacked = static_cast<int>(i);
            if (children) XFree(children);
        }
        return s;
    }
    // The saver's window covers the whole screen as a shown child of the root.
    bool Covers(const Standing& s) {
        return s.parent == root() && s.viewable && s.x == 0 && s.y == 0 &&
               s.width == x_.width() && s.height == x_.height();
    }

    // Starts the saver and waits until its window shows and it holds the input.
    Window StartSaver(SaverProcess& saver) {
        saver.Start({"/s"});
        const Window w = x_.WaitForWindow("Screen saver", 3000);
        EXPECT_NE(w, 0u) << saver.Stderr();
        EXPECT_TRUE(WaitUntil([&] { return OtherHoldsInput(); }, 3000)) << "no grab";
        return w;
    }

    // The prompt's window once it shows (0 when it does not within ms).
    Window Prompt(int ms = 3000) { return x_.WaitForWindow("Screen Saver", ms); }
    bool PromptGone(int ms) {
        return WaitUntil([&] { return x_.WaitForWindow("Screen Saver", 1) == 0; }, ms);
    }
};

TEST_F(PasswordOnX, WrongPasswordKeepsTheSaverRightOneEndsIt) {
    SaverProcess saver(dir_.path());
    ASSERT_NE(StartSaver(saver), 0u);

    x_.Key("space");
    ASSERT_NE(Prompt(), 0u) << "no password prompt";
    x_.Type("falcon");
    x_.Key("Return");
    ASSERT_TRUE(PromptGone(4000)) << "a wrong password left the prompt open";
    ASSERT_TRUE(saver.Running()) << "a wrong password ended the saver";

    x_.Key("space");
    ASSERT_NE(Prompt(), 0u) << "no second prompt";
    x_.Type("kestrel");
    x_.Key("Return");
    const auto code = saver.Wait(3000);
    ASSERT_TRUE(code.has_value()) << "the right password did not end the saver";
    EXPECT_EQ(*code, 0);
}

TEST_F(PasswordOnX, InputHeldByAnotherProgramAtTheStartIsTakenOnceItIsFree) {
    ASSERT_EQ(XGrabKeyboard(d(), root(), False, GrabModeAsync, GrabModeAsync, CurrentTime),
              GrabSuccess);
    ASSERT_EQ(XGrabPointer(d(), root(), False, 0, GrabModeAsync, GrabModeAsync, None, None,
                           CurrentTime),
              GrabSuccess);
    XSync(d(), False);
    SaverProcess saver(dir_.path());
    saver.Start({"/s"});
    ASSERT_NE(x_.WaitForWindow("Screen saver", 3000), 0u) << saver.Stderr();
    // The other program keeps the input for a while after the saver started.
    SleepMs(1000);
    XUngrabKeyboard(d(), CurrentTime);
    XUngrabPointer(d(), CurrentTime);
    XSync(d(), False);
    EXPECT_TRUE(WaitUntil([&] { return OtherHoldsInput(); }, 3000))
        << "the saver did not take the input once it was free";

    x_.Key("space");
    ASSERT_NE(Prompt(), 0u) << "a key did not reach the saver";
    x_.Type("kestrel");
    x_.Key("Return");
    const auto code = saver.Wait(3000);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0);
}

TEST_F(PasswordOnX, ACloseRequestOpensThePromptInsteadOfEndingTheSaver) {
    SaverProcess saver(dir_.path());
    const Window w = StartSaver(saver);
    ASSERT_NE(w, 0u);
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = w;
    close.xclient.message_type = XInternAtom(d(), "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(d(), "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(d(), w, False, NoEventMask, &close);
    XSync(d(), False);
    ASSERT_NE(Prompt(), 0u) << "a close request did not ask for the password";
    EXPECT_TRUE(saver.Running()) << "a close request ended the saver";

    x_.Key("Escape");
    ASSERT_TRUE(PromptGone(3000));
    EXPECT_FALSE(saver.Wait(300).has_value()) << "Cancel ended the saver";
}

TEST_F(PasswordOnX, SaverAndPromptUnmappedByAnotherProgramComeBackAtOnce) {
    SaverProcess saver(dir_.path());
    const Window w = StartSaver(saver);
    ASSERT_NE(w, 0u);
    XUnmapWindow(d(), w);
    XSync(d(), False);
    EXPECT_TRUE(WaitUntil([&] { return Viewable(w) && OtherHoldsInput(); }, 3000))
        << "the unmapped saver did not come back with the grab";

    x_.Key("space");
    const Window prompt = Prompt();
    ASSERT_NE(prompt, 0u);
    XUnmapWindow(d(), prompt);
    XSync(d(), False);
    EXPECT_TRUE(WaitUntil([&] { return Viewable(prompt) && OtherHoldsInput(); }, 3000))
        << "the unmapped prompt did not come back with the grab";
    x_.Type("kestrel");
    x_.Key("Return");
    const auto code = saver.Wait(3000);
    ASSERT_TRUE(code.has_value()) << "the prompt that came back took no password";
    EXPECT_EQ(*code, 0);
}

// What another program does to one of the saver's windows other than unmapping it: puts it
// inside a hidden window of its own, shrinks it or moves it away.
struct TakenAway {
    const char* name;
    bool prompt_open;  // the prompt shows when it happens
    bool to_prompt;    // done to the prompt rather than the saver
    enum Act { Reparent, Shrink, Move } act;
};

void PrintTo(const TakenAway& c, std::ostream* out) { *out << c.name; }

class PasswordOnXTakenAway : public PasswordOnX,
                             public ::testing::WithParamInterface<TakenAway> {};

TEST_P(PasswordOnXTakenAway, ComesBackAtOnceWithTheGrab) {
    const TakenAway c = GetParam();
    SaverProcess saver(dir_.path());
    const Window w = StartSaver(saver);
    ASSERT_NE(w, 0u);
    Window prompt = 0;
    if (c.prompt_open) {
        x_.Key("space");
        prompt = Prompt();
        ASSERT_NE(prompt, 0u);
    }
    const Window target = c.to_prompt ? prompt : w;
    const Standing prompt_before = prompt ? StandingOf(prompt) : Standing{};
    ASSERT_TRUE(Covers(StandingOf(w)));

    const Window hidden = XCreateSimpleWindow(d(), root(), 0, 0, 40, 40, 0, 0, 0);
    switch (c.act) {
        case TakenAway::Reparent:
            XReparentWindow(d(), target, hidden, 0, 0);
            break;
        case TakenAway::Shrink:
            XMoveResizeWindow(d(), target, 0, 0, 5, 5);
            break;
        case TakenAway::Move:
            XMoveWindow(d(), target, 300, 200);
            break;
    }
    XSync(d(), False);
    const auto back = [&] {
        const Standing saver_now = StandingOf(w);
        if (!Covers(saver_now)) return false;
        if (prompt != 0) {
            const Standing prompt_now = StandingOf(prompt);
            // The prompt stands where it stood, above the saver.
            if (!prompt_now.viewable || prompt_now.parent != root() ||
                prompt_now.x != prompt_before.x || prompt_now.y != prompt_before.y ||
                prompt_now.width != prompt_before.width ||
                prompt_now.height != prompt_before.height ||
                prompt_now.stacked < saver_now.stacked)
                return false;
        }
        return OtherHoldsInput();
    };
    EXPECT_TRUE(WaitUntil(back, 1000)) << "not back with the grab within a second";
    EXPECT_TRUE(saver.Running()) << "the saver ended without the password";

    if (prompt == 0) {
        x_.Key("space");
        ASSERT_NE(Prompt(), 0u) << "a key did not reach the saver";
    }
    x_.Type("kestrel");
    x_.Key("Return");
    const auto code = saver.Wait(3000);
    XDestroyWindow(d(), hidden);
    XSync(d(), False);
    ASSERT_TRUE(code.has_value()) << "the password did not end the saver";
    EXPECT_EQ(*code, 0);
}

INSTANTIATE_TEST_SUITE_P(
    ByAnotherProgram, PasswordOnXTakenAway,
    ::testing::Values(TakenAway{"SaverReparented", false, false, TakenAway::Reparent},
                      TakenAway{"SaverReparentedUnderThePrompt", true, false, TakenAway::Reparent},
                      TakenAway{"PromptReparented", true, true, TakenAway::Reparent},
                      TakenAway{"SaverShrunk", false, false, TakenAway::Shrink},
                      TakenAway{"SaverMoved", false, false, TakenAway::Move}),
    [](const ::testing::TestParamInfo<TakenAway>& info) { return std::string(info.param.name); });

}  // namespace
