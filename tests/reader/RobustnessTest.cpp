// Hostile and huge module texts: the reader neither crashes nor hangs (nothing quadratic).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "reader/CParser.h"

namespace tarnwick {
namespace {

const std::string kHeader = "Attribute VB_Name = \"Big\"\r\n";

std::shared_ptr<CModule> readHostile(const std::string& code) {
    CParser parser;
    return parser.readModuleText(kHeader + code, moduletype::Module, "Big.bas");
}

TEST(Robustness, BinaryJunk) {
    std::mt19937 random(12345);
    const char* pieces[] = {"Sub ", "(",     ")",     "\"",   "'", " _\r\n",  "End Sub", "@", ":",
                            "\r\n", "Type ", "Enum ", " As ", "=", "Public ", "Declare "};
    for (int round = 0; round < 200; ++round) {
        std::string text = kHeader;
        const int length = 1 + static_cast<int>(random() % 400);
        for (int i = 0; i < length; ++i) {
            if (random() % 3 == 0) {
                text += pieces[random() % (sizeof pieces / sizeof *pieces)];
            } else {
                text += static_cast<char>(random() % 256);
            }
        }
        CParser parser;
        auto module = parser.readModuleText(text, moduletype::Module, "junk.bas");
        ASSERT_NE(module, nullptr) << round;
    }
}

// Their time is measured in bench/bench_hostile.cpp; here every piece must still be read.
TEST(Robustness, HugeInputsKeepEveryPiece) {
    std::string code, many, tags = "' Huge", line = "Public Function F(";
    for (int i = 0; i < 20000; ++i) many += "    a" + std::to_string(i) + " As Long, _\r\n";
    for (int i = 0; line.size() < 2000000; ++i) {
        line += "ByVal p" + std::to_string(i) + " As Long, ";
        if (i % 10 == 0) tags += " @p" + std::to_string(i) + " arg";
    }
    // A continued declaration, an unrecognised continued statement, a
    // continued comment, a continued header, a 2 MB header, many attributes.
    code += "Private Declare Sub Huge Lib \"x\" ( _\r\n" + many + "    z As Long)\r\n";
    code += "x = Array( _\r\n" + many + "    1)\r\n' comment _\r\n" + many + "    end\r\n";
    code += "Public Sub Wide( _\r\n" + many + "    z As Long)\r\nEnd Sub\r\n";
    code += tags + "\r\n" + line + "q) As Long\r\nEnd Function\r\n";
    for (int i = 0; i < 30000; ++i)
        code += "Public Sub S" + std::to_string(i) + "()\r\nAttribute S" + std::to_string(i) +
                ".VB_Description = \"d" + std::to_string(i) + "\"\r\nEnd Sub\r\n";
    auto m = readHostile(code);
    ASSERT_EQ(m->Subroutines().count(), 30001);
    auto f = m->Functions().at(1);
    EXPECT_EQ(std::to_string(m->Declarations().at(1)->Arguments()->count()) + " " +
                  std::to_string(m->Subroutines().byName("Wide")->Arguments()->count()) + " " +
                  m->Subroutines().byName("S29999")->Description() + " " +
                  f->Arguments()->at(1)->Description() + " " + f->Returns()->DataType(),
              "20001 20001 d29999 arg Long");
    EXPECT_GT(f->Arguments()->count(), 90000);
}

TEST(Robustness, LongRunsOfBlanksAndUnbalancedText) {
    std::string blanks(100000, ' ');
    std::string code = blanks + "\r\n";
    code += "Private Const X = \"" + blanks + "\r\n";  // unterminated string
    code += "Public Sub Open(((((" + blanks + "\r\n";  // unbalanced parentheses
    code += "End Sub\r\n";
    code += "Public Function G(a As String = \")\") As Long\r\nEnd Function\r\n";
    code += "Public Sub " + blanks + "_\r\n";
    auto m = readHostile(code);
    // The last line is no Sub: nothing but blanks follows the keyword.
    ASSERT_EQ(m->Subroutines().count() + m->Functions().count(), 2);
    EXPECT_EQ(m->Functions().at(1)->Returns()->DataType(), "Long");
}

TEST(Robustness, UnendedBlocksAndEmptyPieces) {
    for (const char* code :
         {"Public Type T\r\n", "Enum E\r\n", "Sub S(\r\n", "Property Get\r\n", "Declare\r\n",
          "Const\r\n", "Implements\r\n", "Event (\r\n", "Private Type\r\n  ' only a comment\r\n",
          "Enum E\r\nEnd Enum", "Dim  As ", "Function F() As", "Private Enum E\r\n\r\n", ""}) {
        auto m = readHostile(code);
        ASSERT_NE(m, nullptr) << code;
    }
}

}  // namespace
}  // namespace tarnwick
