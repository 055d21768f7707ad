#include "encoding/text_words.h"
#include "encoding/text_parts.h"
#include "encoding/translit.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(TextWords, UpperCasesLatinAndRussianLettersOnly) {
    EXPECT_EQ(UpperCaseCyr("abcxyz ABC 019 абвгдеёжзийклмнопрстуфхцчшщъыьэюя"),
              "ABCXYZ ABC 019 АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ");
    // Other letters, and bytes that are not UTF-8, stay as they are.
    EXPECT_EQ(UpperCaseCyr("üґі"), "üґі");
    EXPECT_EQ(UpperCaseCyr("a\xD1"), "A\xD1");
    EXPECT_EQ(UpperCaseCyr("\xD1\xD0\xB0"), "\xD1\xD0\x90");
}

TEST(TextWords, ComparesIgnoringCase) {
    struct Case {
        std::string a, b;
        TextMatch match;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"Да", "да", TextMatch::EqualIgnoringCase, "Да ~ да"},
        {"file.SIG", "FILE.sig", TextMatch::EqualIgnoringCase, "file.SIG ~ FILE.sig"},
        {"Ёлка", "ёЛКА", TextMatch::EqualIgnoringCase, "Ёлка ~ ёЛКА"},
        {"Да", "Нет", TextMatch::Different, "Да <> Нет"},
        {"Е", "Ё", TextMatch::Different, "Е <> Ё"},
        {"Über", "über", TextMatch::Different, "Über <> über"},
        {"", "", TextMatch::Equal, " = "},
    };
    for (const auto& c : cases) {
        std::string text;
        EXPECT_EQ(CompareTexts(c.a, c.b, text), c.match) << c.a << " " << c.b;
        EXPECT_EQ(text, c.text);
    }
    const std::vector<std::string> list = {"a.txt", "B.DOC", "b.doc"};
    EXPECT_EQ(FindTextInList(list, "b.doc"), 1);
    EXPECT_EQ(FindTextInList(list, "A.TXT"), 0);
    EXPECT_EQ(FindTextInList(list, "c"), -1);
}

TEST(TextWords, YesNoAndScripts) {
    EXPECT_TRUE(IsYes("Да"));
    EXPECT_TRUE(IsYes("да"));
    EXPECT_FALSE(IsYes("Нет"));
    EXPECT_FALSE(IsYes("Да "));
    EXPECT_EQ(YesNoOfInt(0), "Нет");
    EXPECT_EQ(YesNoOfInt(2), "");

    EXPECT_EQ(CharScript(U'z'), "лат.");
    EXPECT_EQ(CharScript(U'Я'), "рус.");
    EXPECT_EQ(CharScript(U'1'), "");
    EXPECT_EQ(CharScript(U'ü'), "");
    EXPECT_EQ(TextScript("Ivan Petrov"), "лат.");
    EXPECT_EQ(TextScript("Ivan Petrov ж"), "рус.");
    EXPECT_EQ(TextScript("Ёж"), "рус.");
    EXPECT_EQ(TextScript(""), "лат.");
    EXPECT_EQ(TextScript("12 ü \xD0"), "лат.");
}

TEST(TextWords, Transliterates) {
    struct Case {
        std::string in, out;
    };
    const std::vector<Case> cases = {
        {"Щукин Юрий", "SCHukin YUriy"},
        {"Объект", "Obekt"},
        {"ЁЖИК ёжик", "YOZHIK yozhik"},
        {"Ъ ь", " "},
        {"абвгдеёжзийклмнопрстуфхцчшщъыьэюя", "abvgdeyozhziyklmnoprstufhcchshschyeyuya"},
        {"Test-1 ü №", "Test-1 ü №"},
        {"a\xD0", "a\xD0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Translit(c.in), c.out) << c.in;
    }
}

TEST(TextParts, CutsPadsAndAddsToOptionalLists) {
    EXPECT_EQ(TextInParentheses("ГОСТ Р 34.10-2012 (256 бит)"), "256 бит");
    EXPECT_EQ(TextInParentheses("a (b) (c)"), "b");
    EXPECT_EQ(TextInParentheses("a ) b ("), "a ) b (");
    EXPECT_EQ(TextInParentheses("()"), "");

    EXPECT_EQ(BracketPart("[75] Crypto-Pro GOST R 34.10-2001", 1), "75");
    EXPECT_EQ(BracketPart("[75] Crypto-Pro GOST R 34.10-2001", 2), "Crypto-Pro GOST R 34.10-2001");
    EXPECT_EQ(BracketPart("[75]", 2), "");
    EXPECT_EQ(BracketPart("[75] x", 3), "");
    EXPECT_EQ(BracketPart("75 x", 1), "");
    EXPECT_EQ(BracketPart("]x", 1), "");
    EXPECT_EQ(BracketPart("Ж75] x", 1), "75");  // never cuts inside a character
    EXPECT_EQ(BracketPart("[75]Жx", 2), "x");

    EXPECT_EQ(KeyValueOf("CN=Иванов;O=Org;SO=x", "O"), "Org");
    EXPECT_EQ(KeyValueOf("SO=x;O=Org", "O"), "Org");
    EXPECT_EQ(KeyValueOf("a=1; b=2", "b"), "2");
    EXPECT_EQ(KeyValueOf("a=1;b=", "b"), "");
    EXPECT_EQ(KeyValueOf("a=1=2;b", "a"), "1=2");

    EXPECT_EQ(IndentText(-2, "x"), "x");
    EXPECT_EQ(PadRightZeros(6, "101"), "101000");
    EXPECT_EQ(PadRightZeros(3, "Жё"), "Жё0");  // counted in characters

    std::vector<std::string> list = {"a"};
    EXPECT_TRUE(AddToOptionalList(&list, "b"));
    EXPECT_FALSE(AddToOptionalList(nullptr, "b"));
    AddLinesToOptionalList(nullptr, list);
    AddLinesToOptionalList(&list, list);  // a list added to itself
    EXPECT_EQ(list, (std::vector<std::string>{"a", "b", "a", "b"}));
}

}  // namespace
}  // namespace velmora
