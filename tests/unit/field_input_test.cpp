#include "os/field_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

std::vector<double> ReadAllNumbers(const std::string& text) {
    auto reader = os::FieldReader::FromText(text);
    std::vector<double> values;
    double v = 0;
    while (reader.ReadNumber(v)) values.push_back(v);
    return values;
}

TEST(FieldInput, CommasAndLineEndsSeparateFieldsAlike) {
    const std::vector<double> expected{1, 2, 3, 4};
    EXPECT_EQ(ReadAllNumbers("1,2,3,4"), expected);
    EXPECT_EQ(ReadAllNumbers("1\r\n2\r\n3\r\n4\r\n"), expected);
    EXPECT_EQ(ReadAllNumbers("1\n2\n3\n4\n"), expected);
    EXPECT_EQ(ReadAllNumbers("1\r2\r3\r4\r"), expected);
    EXPECT_EQ(ReadAllNumbers("1, 2\n3,4"), expected);
}

TEST(FieldInput, BlanksAroundNumbersAreIgnored) {
    EXPECT_EQ(ReadAllNumbers("  7 ,\t8\t, 9  \r\n"), (std::vector<double>{7, 8, 9}));
}

TEST(FieldInput, NumberForms) {
    EXPECT_EQ(ReadAllNumbers("-3,+4,2.5,.25,-.5,5."),
              (std::vector<double>{-3, 4, 2.5, 0.25, -0.5, 5}));
    // Only the leading number counts; no exponent form; text gives 0.
    EXPECT_EQ(ReadAllNumbers("7x,abc,1e3,12 34"), (std::vector<double>{7, 0, 1, 12}));
    const auto huge = ReadAllNumbers(std::string(400, '9'));
    ASSERT_EQ(huge.size(), 1u);
    EXPECT_TRUE(std::isinf(huge[0]));
    EXPECT_EQ(ReadAllNumbers("0." + std::string(400, '0') + "1"), (std::vector<double>{0}));
}

TEST(FieldInput, EmptyFieldsReadAsZeroAndEmptyText) {
    EXPECT_EQ(ReadAllNumbers("1,,3"), (std::vector<double>{1, 0, 3}));
    // A comma directly before the line end closes an empty field.
    EXPECT_EQ(ReadAllNumbers("1,\n3"), (std::vector<double>{1, 0, 3}));
    auto reader = os::FieldReader::FromText(",x");
    std::string text = "stale";
    ASSERT_TRUE(reader.ReadText(text));
    EXPECT_EQ(text, "");
    ASSERT_TRUE(reader.ReadText(text));
    EXPECT_EQ(text, "x");
}

TEST(FieldInput, BlankLinesCarryNoField) {
    EXPECT_EQ(ReadAllNumbers("\n\n1\r\n  \r\n\r\n2\n \n"), (std::vector<double>{1, 2}));
    auto reader = os::FieldReader::FromText("5\r\n\r\n   \n");
    double v = 0;
    EXPECT_FALSE(reader.AtEnd());
    ASSERT_TRUE(reader.ReadNumber(v));
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_FALSE(reader.ReadNumber(v));
}

TEST(FieldInput, TextFields) {
    auto reader = os::FieldReader::FromText(
        "  Cross  , \"a, b\" , \"closed\"tail,\"open, to the line end\n\"\",last");
    std::string text;
    std::vector<std::string> texts;
    while (reader.ReadText(text)) texts.push_back(text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Cross", "a, b", "closed", "open, to the line end",
                                               "", "last"}));
}

TEST(FieldInput, TextThenNumbersKeepTheirPlaces) {
    auto reader = os::FieldReader::FromText("1, 1, \"A, B\"\r\n100, 200\r\n");
    double a = 0, b = 0, c = 0, d = 0;
    std::string name;
    ASSERT_TRUE(reader.ReadNumber(a));
    ASSERT_TRUE(reader.ReadNumber(b));
    ASSERT_TRUE(reader.ReadText(name));
    ASSERT_TRUE(reader.ReadNumber(c));
    ASSERT_TRUE(reader.ReadNumber(d));
    EXPECT_EQ(name, "A, B");
    EXPECT_EQ(c, 100);
    EXPECT_EQ(d, 200);
    EXPECT_TRUE(reader.AtEnd());
}

TEST(FieldInput, EmptyInputHasNoField) {
    auto reader = os::FieldReader::FromText("");
    EXPECT_TRUE(reader.AtEnd());
    std::string text;
    EXPECT_FALSE(reader.ReadText(text));
}

TEST(FieldInput, Files) {
    const tavro_test::TempDir temp("tavro-field-input");
    ASSERT_TRUE(temp.ok());
    const std::filesystem::path dir = temp.path();
    const auto file = dir / "fields.txt";
    std::ofstream(file, std::ios::binary) << "4,\"x\"\r\n5";
    auto reader = os::FieldReader::OpenFile(file.string());
    ASSERT_TRUE(reader.has_value());
    double v = 0;
    std::string text;
    ASSERT_TRUE(reader->ReadNumber(v));
    EXPECT_EQ(v, 4);
    ASSERT_TRUE(reader->ReadText(text));
    EXPECT_EQ(text, "x");
    ASSERT_TRUE(reader->ReadNumber(v));
    EXPECT_EQ(v, 5);
    EXPECT_TRUE(reader->AtEnd());

    EXPECT_FALSE(os::FieldReader::OpenFile((dir / "missing.txt").string()).has_value());
    EXPECT_FALSE(os::FieldReader::OpenFile(dir.string()).has_value());
}

}  // namespace
