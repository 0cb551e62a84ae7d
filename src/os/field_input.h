// Sequential text input, field by field, as the platform reads data files: fields are
// separated by commas and line ends, blanks around a field are skipped, a text field may
// be quoted, an empty field reads as 0 (number) or "" (text), and numbers always use "."
// as the decimal point, whatever the locale.
//
// Line ends: CR LF, a lone LF and a lone CR all end a line. A line holding nothing but
// blanks carries no field and is skipped, so blank lines between or after records do not
// shift the fields. A comma directly before a line end still closes an empty field.
#pragma once

#include <istream>
#include <memory>
#include <optional>
#include <string>

namespace os {

class FieldReader {
public:
    // Reads from a text held in memory.
    static FieldReader FromText(std::string text);
    // Opens a file for reading; nothing when it cannot be opened (missing, a folder,
    // no permission).
    static std::optional<FieldReader> OpenFile(const std::string& path);

    FieldReader(FieldReader&&) noexcept;
    FieldReader& operator=(FieldReader&&) noexcept;
    ~FieldReader();

    // True when no further field is left: only blanks and line ends remain, or the
    // input failed.
    bool AtEnd();

    // Reads the next field as a number: the leading number of its text (optional sign,
    // digits, a fraction after "."), 0 when the field is empty or does not begin with a
    // number. False when no field is left.
    bool ReadNumber(double& value);

    // Reads the next field as text: the quoted text without its quotes (commas inside
    // belong to it; it ends at the closing quote or at the line end), or the unquoted
    // text up to the next comma or line end with its outer blanks removed. False when no
    // field is left.
    bool ReadText(std::string& text);

private:
    explicit FieldReader(std::unique_ptr<std::istream> in);

    int Peek();
    int Get();
    void SkipBlanks();
    void SkipBlankLines();
    void ConsumeLineEnd(int first);
    // After a field's value: skips what is left up to the separator and consumes it.
    void FinishField();
    // Positions at the start of the next field; false when none is left.
    bool BeginField();

    std::unique_ptr<std::istream> in_;
    bool lineStart_ = true;  // nothing read yet on the current line
};

// The leading decimal number of a text (after leading blanks), 0 when there is none.
// Locale-independent; no exponent form.
double LeadingNumber(const std::string& text);

}  // namespace os
