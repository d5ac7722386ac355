#include "core/masks/lettercase.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

using namespace vorlane;

TEST(LetterCase, Conversions) {
    struct Case {
        QString in, first, words, translit;
    };
    const Case cases[] = {
        {"", "", "", ""},
        {"HELLO WORLD", "Hello world", "Hello World", "HELLO WORLD"},
        {"12 monkeys", "12 Monkeys", "12 Monkeys", "12 monkeys"},
        {"  123abc def", "  123Abc def", "  123Abc Def", "  123abc def"},
        {"ab\r\ncd", "Ab\r\nCd", "Ab\r\nCd", "ab\r\ncd"},
        {"hello_world.mp3", "Hello_world.mp3", "Hello_World.Mp3", "hello_world.mp3"},
        {"rock'n'roll", "Rock'n'roll", "Rock'N'Roll", "rock'n'roll"},
        {"o'neil e-mail 2nd", "O'neil e-mail 2nd", "O'Neil E-Mail 2Nd", "o'neil e-mail 2nd"},
        {"rock'n'roll e-mail", "Rock'n'roll e-mail", "Rock'N'Roll E-Mail", "rock'n'roll e-mail"},
        {"me@home", "Me@home", "Me@home", "me@home"},
        // Ё and ё are letters here, also at the start of a word.
        {"ёлка", "Ёлка", "Ёлка", "jolka"},
        {"пётр иванов", "Пётр иванов", "Пётр Иванов", "pjotr ivanov"},
        {"ЩЕДРИН Ёж", "Щедрин ёж", "Щедрин Ёж", "SHHEDRIN JOzh"},
        {"Щука Ёж", "Щука ёж", "Щука Ёж", "SHHuka JOzh"},
        // The other letters of the 128-191 block are letters too and pass
        // transliteration unchanged; the signs there stay delimiters.
        {"їжак і єнот", "Їжак і єнот", "Їжак І Єнот", "їzhak і єnot"},
        {"київ", "Київ", "Київ", "kiїv"},
        {"ґанок ўсё ђак", "Ґанок ўсё ђак", "Ґанок Ўсё Ђак", "ґanok ўsjo ђak"},
        {"a«b»c№d", "A«b»c№d", "A«B»C№D", "a«b»c№d"},
        // A combining mark belongs to its letter; a letter outside the BMP is one letter.
        {"e\u0301cole de\u0301ja\u0300", "E\u0301cole de\u0301ja\u0300", "E\u0301cole De\u0301ja\u0300",
         "e\u0301cole de\u0301ja\u0300"},
        {"𐐨x 𐐨", "𐐀x 𐐨", "𐐀x 𐐀", "𐐨x 𐐨"},
        // A letter that Windows-1251 lacks is a word letter.
        {"éa èb", "Éa èb", "Éa Èb", "éa èb"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FirstLetterUp(c.in), c.first) << c.in.toStdString();
        EXPECT_EQ(UpFirstInEachWord(c.in), c.words) << c.in.toStdString();
        EXPECT_EQ(Translit(c.in), c.translit) << c.in.toStdString();
    }
    EXPECT_EQ(lowerCase("ПРИВЕТ World"), "привет world");
    EXPECT_EQ(lowerCase("HELLO WORLD\r\nSECOND LINE"), "hello world\r\nsecond line");
    EXPECT_EQ(upperCase("привет ёж"), "ПРИВЕТ ЁЖ");
    EXPECT_EQ(upperCase("привет мир"), "ПРИВЕТ МИР");
}

TEST(LetterCase, TranslitTable) {
    const QString capitals = "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ";
    const QStringList latin = {"A", "B",  "V",  "G",   "D",  "E", "ZH", "Z",  "I",  "J", "K",
                               "L", "M",  "N",  "O",   "P",  "R", "S",  "T",  "U",  "F", "KH",
                               "C", "CH", "SH", "SHH", "''", "Y", "'",  "EH", "JU", "JA"};
    for (int i = 0; i < capitals.size(); ++i) {
        EXPECT_EQ(Translit(capitals.mid(i, 1)), latin[i]);
        EXPECT_EQ(Translit(capitals.mid(i, 1).toLower()), latin[i].toLower());
    }
    EXPECT_EQ(Translit("Жук Щука"), "ZHuk SHHuka");
    EXPECT_EQ(Translit("abc 123 -_!"), "abc 123 -_!");
}
