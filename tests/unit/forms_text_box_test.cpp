// The single-line text box: typing, editing keys, caret, masking, length limit, Change.
#include <gtest/gtest.h>

#include "forms/forms.h"
#include "os/window.h"
#include "support/form_fixture.h"

namespace {

class EntryForm : public forms::Form {
public:
    EntryForm() : forms::Form("EntryForm") {}
    forms::TextBox Entry{*this, "Entry"};
    int changes = 0;

protected:
    void Design() override {
        tavro_test::PixelClient(*this, 200, 60);
        Entry.Move(10, 10, 120, 21);
        Entry.OnChange = [this] { ++changes; };
    }
};

using TextBoxTest = tavro_test::FormFixture<EntryForm>;

TEST_F(TextBoxTest, TypingInsertsAtTheCaretAndRaisesChangePerCharacter) {
    Type("abc");
    EXPECT_EQ(form_.Entry.Text(), "abc");
    EXPECT_EQ(form_.Entry.SelStart(), 3);
    EXPECT_EQ(form_.changes, 3);
    Key(forms::vbKeyHome);
    Type("x");
    Key(forms::vbKeyEnd);
    Type("y");
    Key(forms::vbKeyLeft);
    Key(forms::vbKeyLeft);
    Type("z");
    EXPECT_EQ(form_.Entry.Text(), "xabzcy");
    EXPECT_EQ(form_.Entry.SelStart(), 4);
}

TEST_F(TextBoxTest, BackspaceAndDeleteStopAtTheEnds) {
    Type("abcd");
    Key(forms::vbKeyBack);
    EXPECT_EQ(form_.Entry.Text(), "abc");
    Key(forms::vbKeyDelete);  // caret at the end: nothing to delete
    EXPECT_EQ(form_.Entry.Text(), "abc");
    Key(forms::vbKeyHome);
    Key(forms::vbKeyBack);  // caret at the start: nothing before it
    EXPECT_EQ(form_.Entry.Text(), "abc");
    Key(forms::vbKeyDelete);
    EXPECT_EQ(form_.Entry.Text(), "bc");
    EXPECT_EQ(form_.Entry.SelStart(), 0);
    Key(forms::vbKeyLeft);  // stays at 0
    EXPECT_EQ(form_.Entry.SelStart(), 0);
    Key(forms::vbKeyEnd);
    Key(forms::vbKeyRight);  // stays at the end
    EXPECT_EQ(form_.Entry.SelStart(), 2);
    EXPECT_EQ(form_.changes, 4 + 2);  // four typed, one backspace, one delete
}

TEST_F(TextBoxTest, MaxLengthLimitsTypingButNotCode) {
    form_.Entry.SetMaxLength(3);
    Type("abcdef");
    EXPECT_EQ(form_.Entry.Text(), "abc");
    form_.Entry.SetText("longer than three");
    EXPECT_EQ(form_.Entry.Text(), "longer than three");
}

TEST_F(TextBoxTest, SettingTextFromCodeRunsChangeOnlyWhenItDiffers) {
    form_.Entry.SetText("hello");
    EXPECT_EQ(form_.changes, 1);
    form_.Entry.SetText("hello");
    EXPECT_EQ(form_.changes, 1);
    EXPECT_EQ(form_.Entry.SelStart(), 0);
    form_.Entry.SetSelStart(99);
    EXPECT_EQ(form_.Entry.SelStart(), 5);
}

TEST_F(TextBoxTest, PasswordCharMasksWhatIsShownNotTheText) {
    form_.Entry.SetPasswordChar('*');
    Type("s3cret");
    EXPECT_EQ(form_.Entry.Text(), "s3cret");
    EXPECT_EQ(form_.Entry.DisplayText(), "******");
    form_.Entry.SetPasswordChar(0);
    EXPECT_EQ(form_.Entry.DisplayText(), "s3cret");
}

TEST_F(TextBoxTest, MaskedAndPlainTextDrawDifferently) {
    Type("iiii");
    const os::Rect r = form_.Entry.RectOnForm();
    auto snapshot = [&] {
        forms::DoEvents();
        std::vector<std::uint32_t> px;
        const os::Surface* s = os::WindowSurface(form_.hWnd());
        for (int y = r.top + 2; y < r.bottom - 2; ++y)
            for (int x = r.left + 2; x < r.right - 2; ++x) px.push_back(s->pixel(x, y));
        return px;
    };
    const auto plain = snapshot();
    form_.Entry.SetPasswordChar('*');
    const auto masked = snapshot();
    EXPECT_NE(plain, masked);
    form_.Entry.SetPasswordChar(0);
    EXPECT_EQ(snapshot(), plain);
}

TEST_F(TextBoxTest, ControlCharactersAndKeyAsciiZeroAreNotInserted) {
    form_.Entry.OnKeyPress = [](int& KeyAscii) {
        if (KeyAscii == '!') KeyAscii = 0;
    };
    Type("a!b");
    host().PushKey(id_, 0, 1);  // a control character
    forms::DoEvents();
    EXPECT_EQ(form_.Entry.Text(), "ab");
}

TEST_F(TextBoxTest, ClickPlacesTheCaret) {
    Type("wwwwwwww");
    const os::Rect r = form_.Entry.RectOnForm();
    host().PushClick(id_, r.left + 3, r.top + 5);
    forms::DoEvents();
    EXPECT_EQ(form_.Entry.SelStart(), 0);
    host().Advance(1000);
    host().PushClick(id_, r.right - 3, r.top + 5);
    forms::DoEvents();
    EXPECT_EQ(form_.Entry.SelStart(), 8);
}

}  // namespace
