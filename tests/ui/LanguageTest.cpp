
namespace {

// The walk is no empty check: Polish is told apart from English, and the
// Polish window is full of it.
TEST(PolishText, ToldApartFromEnglish) {
    for (const char* polish : {"Wyślij program", "Nowy plik", "Program 3 linia 05", "We/Wy",
                               "Czysc", "Plik o podanej nazwie juz istnieje."})
        EXPECT_TRUE(LooksPolish(QString::fromUtf8(polish))) << polish;
    for (const char* english : {"Send program", "New file", "Program 3 line 05", "I/O",
                                "[05]  X_DST  +0012000", "KX-RD4 - PC", "Program 0", ""})
        EXPECT_FALSE(LooksPolish(QString::fromUtf8(english))) << english;
}

TEST_F(ShellFixture, TheWalkFindsThePolishWindowPolish) {
    const QStringList polish = PolishTextsIn(window.get());
    for (const char* name : {"BitBtn6: Wyślij program", "GroupBox1: Operacje na plikach",
                             "LanguageBox: Język"})
        EXPECT_TRUE(polish.contains(QString::fromUtf8(name))) << name;
}

} // namespace
